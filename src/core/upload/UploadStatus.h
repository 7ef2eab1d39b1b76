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

    // The status of an upload reply. Only a first line that is a number and
    // nothing else counts: a reply such as "200 OK" or "7abc" reads as 0 (a
    // refusal), so that no record is ever deleted on a reply the server did
    // not mean as an acceptance.
    static int read(const QByteArray &reply);
    static bool accepted(int status) { return status > 0; }
    // The reason shown in the row of a refused record ("数据错误", "单号重复",
    // "通讯错%d", ...); empty for an accepted one.
    static QString text(UploadKind kind, int status);
};

} // namespace quarvel
