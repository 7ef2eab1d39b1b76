#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace quarvel {

class BaseData;
class Prompter;
class ServerSession;

// The online price quotation of the pre-entry page: what a shipment of the
// page's item type and weight would cost to its destination with each
// express kind. Logged in, the server answers (operation 9) and a dialog
// shows it; otherwise the company's price page opens in the browser.
class PriceQuotation {
public:
    static constexpr int kReplySize = 64000;

    struct Request {
        QString destination;
        int itemType = 0;  // 0 文件, 1 包裹, 2 防水袋
        double weight = 0; // kg
    };

    struct Row {
        QString kind;
        QString freight; // "%.2f"
        QString remark;  // "预计 %d - %d 天" or empty
    };

    enum class Outcome {
        Refused,  // a check failed; its message was shown
        OpenPage, // not logged in: open `url` in the browser
        Failed,   // no connection; the message was shown
        NoResult, // the server has no quotation for it; the message was shown
        Shown,    // `title` and `rows` for the result dialog
    };

    struct Result {
        Outcome outcome = Outcome::Refused;
        QString url;
        QString title;
        QList<Row> rows;
    };

    static Result Run(const ServerSession &session, const BaseData &baseData, Request request, Prompter &prompter);

    // The company's price page; the destination is appended as typed.
    static QString pageUrl(const ServerSession &session, const Request &request);
    // "客户报价查询结果[%s,%.3fkg,%s]"
    static QString title(const Request &request);
    static QString itemTypeName(int itemType);
    // The rows of a reply: lines after the status line, kinds looked up by
    // code (unknown ones left out); a line that lacks a tab ends the list.
    static QList<Row> parse(const QByteArray &reply, const BaseData &baseData);
};

} // namespace quarvel
