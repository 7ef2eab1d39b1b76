// Transaction replies: the status number, the balance lines with their
// summary text, and list pages with their records.
#include "net/BalanceReply.h"
#include "net/EnvelopeStatus.h"
#include "net/ListReply.h"
#include "net/ReplyText.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray reply(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const int status = quarvel::EnvelopeStatus::read(reply);
    (void)quarvel::EnvelopeStatus::text(status);
    if (const auto balance = quarvel::BalanceReply::parse(reply))
        (void)balance->text(QDateTime(QDate(2026, 1, 1), QTime(0, 0)));
    const quarvel::ListReply list = quarvel::ListReply::parse(reply);
    qsizetype bytes = 0;
    for (const auto &record : list.records)
        for (const QByteArray &field : record)
            bytes += field.size();
    if (bytes > reply.size())
        __builtin_trap();
    for (qsizetype at = quarvel::ReplyText::find(reply, '\n'); at >= 0;
         at = quarvel::ReplyText::find(reply, '\n', at + 1))
        if (at >= reply.size() || reply.at(at) != '\n')
            __builtin_trap();
    return 0;
}
