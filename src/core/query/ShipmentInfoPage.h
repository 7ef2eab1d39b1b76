#pragma once

#include "query/ShipmentInfo.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace quarvel {

// The information page of one shipment: its title line and the generated
// page, as HTML for the page's browser view and as plain text for
// quarvelctl. Every value from the server is escaped before it goes into
// the HTML, so server data can never become markup, links or script.
class ShipmentInfoPage {
public:
    struct Line {
        enum Kind {
            Waybill, // the waybill number with its tracking link
            Field,   // "label:" and value
            Address, // a field whose label stands at the top
            Heading, // a group heading
        };
        Kind kind = Field;
        QString label;
        QString value;
    };

    // "№ %s [ID:%d] - 状态:%s"
    static QString Title(const ShipmentInfo &info);
    // The rows of the page in order; rows without a value are left out.
    static QList<Line> Lines(const ShipmentInfo &info);
    // The tracking page of a waybill on the server host.
    static QString TrackingUrl(const QByteArray &host, const QString &waybill);

    // The body: "<table width=100%>", a row per line, "</table>".
    static QString Body(const ShipmentInfo &info, const QByteArray &host);
    // The fixed page the body goes into, lines separated by CR LF.
    static QString Skeleton();
    // The skeleton with the body in its BODY element.
    static QString Document(const QString &body);
    static QString PlainText(const ShipmentInfo &info, const QByteArray &host);

    // Text made safe for HTML text and attribute values.
    static QString Escape(const QString &text);
};

} // namespace quarvel
