#include "net/ListReply.h"

#include "net/ReplyText.h"

namespace quarvel {

namespace {

QList<QByteArray> fields(const QByteArray &record)
{
    QList<QByteArray> all;
    qsizetype start = 0;
    for (qsizetype at = ReplyText::find(record, '\n'); at >= 0; at = ReplyText::find(record, '\n', start)) {
        all.append(record.mid(start, at - start));
        start = at + 1;
    }
    all.append(record.mid(start));
    return all;
}

} // namespace

ListReply ListReply::parse(const QByteArray &reply)
{
    ListReply r;
    r.total = ReplyText::integer(reply);
    const qsizetype lineFeed = ReplyText::find(reply, '\n');
    const qsizetype bel = lineFeed < 0 ? -1 : ReplyText::find(reply, ReplyText::kBel, lineFeed);
    if (r.total <= 0 || bel < 0)
        return r;
    r.matched_ = true;
    r.page = ReplyText::integer(reply, lineFeed + 1);
    qsizetype start = bel + 1;
    for (qsizetype end = ReplyText::find(reply, ReplyText::kBel, start); end >= 0;
         end = ReplyText::find(reply, ReplyText::kBel, start)) {
        r.records.append(fields(reply.mid(start, end - start)));
        start = end + 1;
    }
    return r;
}

} // namespace quarvel
