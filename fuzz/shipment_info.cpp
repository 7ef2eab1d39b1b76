// The information page from any reply: the values are escaped, so the page
// never holds more than its one tracking link and never a script.
#include "query/ShipmentInfoPage.h"

#include <cstddef>
#include <cstdint>

using namespace quarvel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray reply(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const ShipmentInfo info = ShipmentInfo::Parse(reply);
    const QString body = ShipmentInfoPage::Body(info, "127.0.0.1:8080");
    if (body.count(QStringLiteral("<a ")) != 1 || body.contains(QStringLiteral("<script"), Qt::CaseInsensitive) ||
        body.count(QStringLiteral("<table")) != 1 || !body.endsWith(QStringLiteral("</table>")))
        __builtin_trap();
    (void)ShipmentInfoPage::Title(info);
    (void)ShipmentInfoPage::PlainText(info, "127.0.0.1:8080");
    return 0;
}
