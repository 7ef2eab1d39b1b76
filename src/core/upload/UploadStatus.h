#pragma once

#include "upload/UploadKind.h"

#include <QByteArray>
#include <QString>

namespace quarvel {

// The server's answer to one upload and what the list shows for it.
class UploadStatus {
public:
    // The server holds the waybill number already ("单号重复").
    static constexpr int kWaybillHeld = -2;

    // The status of an upload reply: the decimal number it begins with
    // ("15 OK" is 15, blanks before it allowed); a reply that begins with
    // anything else (a tag, an empty line) reads as 0, a refusal.
    static int read(const QByteArray &reply);
    static bool accepted(int status) { return status > 0; }
    // The reason shown in the row of a refused record ("数据错误", "单号重复",
    // "通讯错%d", ...); empty for an accepted one.
    static QString text(UploadKind kind, int status);
};

} // namespace quarvel
