#include "preinput/FreightQuery.h"

#include "app/Prompter.h"
#include "net/BaseData.h"
#include "net/Envelope.h"
#include "net/ReplyText.h"
#include "net/ServerSession.h"
#include "storage/PreInputRecord.h"
#include "text/CheckText.h"
#include "text/Gbk.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace quarvel {

std::optional<double> FreightQuery::Ask(const ServerSession &session, const BaseData &baseData, Values values,
                                        Prompter &prompter)
{
    if (!session.loggedIn() || !(values.weight > 0) || values.destination.trimmed().isEmpty())
        return std::nullopt;
    if (!CheckText(values.kindName, 0, 15, QStringLiteral("快递类别"), prompter))
        return std::nullopt;
    const ExpressKind *kind = baseData.kindByName(values.kindName);
    if (!kind)
        return std::nullopt;
    const std::optional<QByteArray> destination =
        CheckText(values.destination, 1, 63, QStringLiteral("目的地"), prompter);
    if (!destination)
        return std::nullopt;
    std::vector<char> buffer(kReplySize);
    const int result = Envelope::Post(
        session,
        Envelope::freight(session, values.itemType, Envelope::WeightGrams(values.weight), *destination, kind->code),
        buffer);
    if (result <= 0)
        return std::nullopt;
    const QByteArray reply = ReplyText::cString(buffer.data(), result);
    const double freight = ReplyText::decimal(reply);
    if (!(freight > 0))
        return std::nullopt;
    if (ReplyText::find(reply, '\n') >= 0)
        prompter.inform(QStringLiteral("报价查询结果"), breakdown(reply));
    return freight;
}

QByteArray FreightQuery::envelopeFor(const ServerSession &session, const BaseData &baseData, const PreInputRecord &r)
{
    const QByteArray destination(r.cdes, static_cast<qsizetype>(::strnlen(r.cdes, sizeof r.cdes)));
    if (!(double(r.fweight) > 0) || destination.isEmpty())
        return {};
    const ExpressKind *kind = baseData.kindByName(Gbk::field(r.cemskind));
    if (!kind)
        return {};
    return Envelope::freight(session, r.nitemtype, Envelope::WeightGrams(r.fweight), destination, kind->code);
}

QString FreightQuery::breakdown(const QByteArray &reply)
{
    const qsizetype lineFeed = ReplyText::find(reply, '\n');
    if (lineFeed < 0)
        return {};
    QByteArray rest = reply.mid(lineFeed + 1);
    rest.chop(1);
    return Gbk::toUnicode(rest).replace(QStringLiteral("<BR>"), QStringLiteral("\r\n"));
}

int FreightQuery::cents(const QByteArray &reply)
{
    const double value = (ReplyText::decimal(reply) + 0.001) * 100;
    if (!(value > std::numeric_limits<int>::min() && value < std::numeric_limits<int>::max()))
        return 0;
    return static_cast<int>(value);
}

} // namespace quarvel
