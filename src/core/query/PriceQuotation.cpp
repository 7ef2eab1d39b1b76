#include "query/PriceQuotation.h"

#include "app/Prompter.h"
#include "net/BaseData.h"
#include "net/Envelope.h"
#include "net/EnvelopeStatus.h"
#include "net/ReplyText.h"
#include "net/ServerSession.h"
#include "text/CheckText.h"
#include "text/Gbk.h"

#include <vector>

namespace quarvel {

namespace {

QString fixed(double value, int decimals)
{
    return QString::asprintf("%.*f", decimals, value);
}

} // namespace

QString PriceQuotation::itemTypeName(int itemType)
{
    switch (itemType) {
    case 0:
        return QStringLiteral("文件");
    case 1:
        return QStringLiteral("包裹");
    case 2:
        return QStringLiteral("防水袋");
    default:
        return {};
    }
}

QString PriceQuotation::title(const Request &request)
{
    return QStringLiteral("客户报价查询结果[%1,%2kg,%3]")
        .arg(request.destination, fixed(request.weight, 3), itemTypeName(request.itemType));
}

QString PriceQuotation::pageUrl(const ServerSession &session, const Request &request)
{
    return QStringLiteral("http://%1/cgi-bin/VEdiz.dll?EmsPriceQuery&w=%2&itype=%3&fweight=%4&cdes=")
               .arg(QString::fromLatin1(session.configuredHost()), session.siteCode())
               .arg(request.itemType)
               .arg(fixed(request.weight, 3)) +
           request.destination;
}

QList<PriceQuotation::Row> PriceQuotation::parse(const QByteArray &reply, const BaseData &baseData)
{
    QList<Row> rows;
    qsizetype at = ReplyText::find(reply, '\n');
    while (at >= 0) {
        const qsizetype from = at + 1;
        at = ReplyText::find(reply, '\n', from);
        if (at < 0)
            break;
        const QByteArray line = reply.mid(from, at - from);
        const QList<QByteArray> parts = line.split('\t');
        if (parts.size() < 5)
            break;
        const ExpressKind *kind = baseData.kindByCode(parts[0]);
        if (!kind)
            continue;
        const int least = ReplyText::integer(parts[3]);
        const int most = ReplyText::integer(parts[4]);
        rows.append({kind->nameText(), fixed(ReplyText::decimal(parts[1]), 2),
                     least > 0 || most > 0 ? QStringLiteral("预计 %1 - %2 天").arg(least).arg(most) : QString()});
    }
    return rows;
}

PriceQuotation::Result PriceQuotation::Run(const ServerSession &session, const BaseData &baseData, Request request,
                                           Prompter &prompter)
{
    Result result;
    if (request.destination.isEmpty()) {
        prompter.warning(QString(), QStringLiteral("在线价格查询：\r\n目的地不能为空。"));
        return result;
    }
    if (!(request.weight > 0.001)) {
        prompter.warning(QString(), QStringLiteral("在线价格查询：\r\n必须提供重量。"));
        return result;
    }
    if (!session.loggedIn()) {
        result.outcome = Outcome::OpenPage;
        result.url = pageUrl(session, request);
        return result;
    }
    const std::optional<QByteArray> destination =
        CheckText(request.destination, 1, 63, QStringLiteral("目的地"), prompter);
    if (!destination)
        return result;
    std::vector<char> buffer(kReplySize);
    const int sent = Envelope::Post(
        session, Envelope::priceQuote(session, request.itemType, Envelope::WeightGrams(request.weight), *destination),
        buffer);
    result.outcome = Outcome::Failed;
    if (sent <= 0) {
        prompter.error(QString(), QStringLiteral("未能与服务器建立通信。"));
        return result;
    }
    const QByteArray reply = ReplyText::cString(buffer.data(), sent);
    if (EnvelopeStatus::read(reply) <= 0) {
        prompter.error(QString(), QStringLiteral("没有查询结果。"));
        result.outcome = Outcome::NoResult;
        return result;
    }
    result.outcome = Outcome::Shown;
    result.title = title(request);
    result.rows = parse(reply, baseData);
    return result;
}

} // namespace quarvel
