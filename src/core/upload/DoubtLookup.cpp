#include "upload/DoubtLookup.h"

#include "net/BaseData.h"
#include "net/Envelope.h"
#include "net/ListReply.h"
#include "net/ReplyText.h"
#include "net/ServerSession.h"
#include "query/WaybillLookup.h"
#include "storage/PreInputRecord.h"
#include "text/Gbk.h"

#include <cstdio>
#include <cstring>

namespace quarvel {

namespace {

// The columns both lists share, and where the two differ.
constexpr int kIdColumn = 0;
constexpr int kDateColumn = 1;
constexpr int kNumberColumn = 2;
constexpr int kItemTypeColumn = 3;
constexpr int kWeightColumn = 5;

int destinationColumn(bool recordList)
{
    return recordList ? 7 : 6;
}

int kindColumn(bool recordList)
{
    return recordList ? 8 : 7;
}

template <std::size_t N> QByteArray bytes(const char (&field)[N])
{
    return QByteArray(field, static_cast<qsizetype>(::strnlen(field, N)));
}

QByteArray weightText(double kilograms)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", kilograms);
    return buffer;
}

// The year, month and day of a date as a list shows it ("2026-01-07",
// "2026.1.7"): three runs of digits, nothing else but separators.
bool sameDay(const QByteArray &text, int year, int month, int day)
{
    int parts[3] = {};
    int count = 0;
    bool inNumber = false;
    for (char c : text.trimmed()) {
        if (c >= '0' && c <= '9') {
            if (!inNumber && ++count > 3)
                return false;
            inNumber = true;
            parts[count - 1] = parts[count - 1] * 10 + (c - '0');
            if (parts[count - 1] > 9999)
                return false;
        } else if (c == '-' || c == '.' || c == '/') {
            inNumber = false;
        } else {
            return false;
        }
    }
    return count == 3 && parts[0] == year && parts[1] == month && parts[2] == day;
}

// "0" alone on the first line: the server looked and found nothing, which a
// reply that cannot be read must not be taken for.
bool nothingFound(const QByteArray &reply)
{
    const qsizetype lineFeed = reply.indexOf('\n');
    return (lineFeed < 0 ? reply : reply.left(lineFeed)).trimmed() == "0";
}

} // namespace

DoubtLookup DoubtLookup::For(const ServerSession &session, const BaseData &baseData, const PreInputRecord &sent)
{
    DoubtLookup l;
    const ExpressKind *kind = baseData.kindByName(Gbk::field(sent.cemskind));
    if (!kind)
        return l;
    l.recordList_ = session.uploadTarget() == 1;
    l.number_ = bytes(sent.cnum);
    l.year_ = sent.ddate.year;
    l.month_ = sent.ddate.month;
    l.day_ = sent.ddate.day;
    l.destination_ = bytes(sent.cdes);
    l.kindCode_ = kind->code;
    l.itemType_ = sent.nitemtype;
    l.weight_ = weightText(sent.fweight);
    const QByteArray condition = Gbk::fromUnicode(
        WaybillLookup::ExactCondition(session.clientId(), session.uploadTarget(), Gbk::toUnicode(l.number_)));
    l.envelope_ = l.recordList_ ? Envelope::recordList(session, 1, 0, condition)
                                : Envelope::preInputList(session, 1, 0, condition);
    return l;
}

bool DoubtLookup::matches(const QList<QByteArray> &f) const
{
    if (f.size() <= kindColumn(recordList_))
        return false;
    return f.at(kNumberColumn) == number_ && sameDay(f.at(kDateColumn), year_, month_, day_) &&
           f.at(destinationColumn(recordList_)) == destination_ && f.at(kindColumn(recordList_)) == kindCode_ &&
           f.at(kItemTypeColumn).trimmed() == QByteArray::number(itemType_) &&
           weightText(ReplyText::decimal(f.at(kWeightColumn))) == weight_;
}

DoubtLookup::Result DoubtLookup::Judge(const QByteArray &reply) const
{
    const ListReply list = ListReply::parse(reply);
    if (!list.matched())
        return {nothingFound(reply) ? Verdict::NotHeld : Verdict::Unknown, 0};
    for (const QList<QByteArray> &fields : list.records) {
        if (!matches(fields))
            continue;
        const int id = ReplyText::integer(fields.at(kIdColumn));
        return {id > 0 ? Verdict::Held : Verdict::Unknown, id};
    }
    // Rows beyond this reply might hold it.
    return {list.total > list.records.size() ? Verdict::Unknown : Verdict::NotHeld, 0};
}

} // namespace quarvel
