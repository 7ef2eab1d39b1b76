// The upload status reply: only a first line that is a number alone may
// accept a record, and every status has its text.
#include "upload/UploadKind.h"
#include "upload/UploadStatus.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray reply(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const int status = quarvel::UploadStatus::read(reply);
    if (quarvel::UploadStatus::accepted(status)) {
        // An acceptance starts with a digit or blanks and a digit, and its
        // first line holds nothing after the number but blanks.
        const QByteArray first = reply.left(reply.indexOf('\n') < 0 ? reply.size() : reply.indexOf('\n'));
        bool digits = false;
        for (char c : first) {
            if (c >= '0' && c <= '9')
                digits = true;
            else if (c != ' ' && c != '\t' && c != '\r' && c != '+')
                __builtin_trap();
        }
        if (!digits)
            __builtin_trap();
    }
    if (quarvel::UploadStatus::text(quarvel::UploadKind::Shipments, status).isEmpty() != (status > 0) ||
        quarvel::UploadStatus::text(quarvel::UploadKind::Scans, status).isEmpty() != (status > 0))
        __builtin_trap();
    return 0;
}
