#include "print/ServerRecord.h"

#include "net/ReplyText.h"
#include "text/ControlText.h"
#include "text/Gbk.h"

namespace quarvel {

namespace {

constexpr qsizetype kMaxTagLength = 32;

bool isTagCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

} // namespace

ServerRecord ServerRecord::Parse(const QByteArray &reply)
{
    ServerRecord record;
    qsizetype at = 0;
    for (;;) {
        const qsizetype open = reply.indexOf("\a<", at);
        if (open < 0)
            break;
        const qsizetype nameStart = open + 2;
        qsizetype nameEnd = nameStart;
        while (nameEnd < reply.size() && nameEnd - nameStart <= kMaxTagLength && isTagCharacter(reply[nameEnd]))
            ++nameEnd;
        if (nameEnd == nameStart || nameEnd >= reply.size() || reply[nameEnd] != '>') {
            at = open + 1;
            continue;
        }
        const QByteArray tag = reply.mid(nameStart, nameEnd - nameStart);
        const QByteArray closing = "</" + tag + ">\a";
        const qsizetype close = reply.indexOf(closing, nameEnd + 1);
        if (close < 0) {
            at = open + 1;
            continue;
        }
        if (!record.fields_.contains(tag))
            record.fields_.insert(tag, reply.mid(nameEnd + 1, close - nameEnd - 1));
        // The closing BEL may open the next field.
        at = close + closing.size() - 1;
    }
    return record;
}

QString ServerRecord::text(const char *tag) const
{
    // The server's text fills single-line cells and fields.
    return ControlText::Plain(Gbk::toUnicode(bytes(tag)));
}

int ServerRecord::integer(const char *tag) const
{
    return ReplyText::integer(bytes(tag));
}

double ServerRecord::real(const char *tag) const
{
    return ReplyText::decimal(bytes(tag));
}

} // namespace quarvel
