#pragma once

#include "print/PrintTemplate.h"
#include "print/TemplateKind.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace quarvel {

class Prompter;
class ServerSession;

// "下载更新打印模版": the site's template list from KVGetSysModel, then each
// template's definition and spreadsheet, written into DATA_MODEL. A reply
// that does not hold all the bytes it announces, or names a template that is
// no plain file name, is skipped: nothing is written outside DATA_MODEL and
// no template is replaced by a cut one. Templates already loaded stay loaded.
class TemplateDownload {
public:
    static constexpr int kReplySize = 256000;
    static constexpr int kMaxEntries = 500;

    struct Entry {
        TemplateKind kind;
        QByteArray name; // GBK
    };
    struct Result {
        // -1 when the list could not be read at all.
        int stored = -1;
        QString message;
    };
    // Told before each template (done of total); false stops the download
    // there, with the templates stored so far kept.
    using Progress = std::function<bool(int done, int total)>;

    // A spreadsheet whose signature is unknown is stored when `officeOpens`
    // says the office reads it as a workbook.
    static Result Run(const ServerSession &session, const QString &modelFolder, const Progress &progress = {},
                      const PrintTemplate::WorkbookCheck &officeOpens = {});
    // Runs and shows the result.
    static int Download(const ServerSession &session, const QString &modelFolder, Prompter &prompter);
    static int Show(const Result &result, Prompter &prompter);

    // The list reply: one template per line after the first, each ended by a
    // line feed; the kind's digit, then the name. Entries with names that
    // cannot be file names are left out; at most 500.
    static QList<Entry> ParseList(const QByteArray &reply);
    // One template's reply: "+0", the definition length less one (T) and the
    // spreadsheet length (X) on lines, then T + 1 and X bytes. False when
    // the reply is malformed or holds fewer bytes than it announces.
    static bool ParseTemplate(const QByteArray &reply, QByteArray &definition, QByteArray &spreadsheet);
    // Writes both files of one entry: both are replaced whole, or neither
    // (a symbolic link in their place is refused); why not in `error`.
    static bool Store(const QString &modelFolder, const Entry &entry, const QByteArray &definition,
                      const QByteArray &spreadsheet, QString *error = nullptr);

    static QByteArray ListRequest(const QString &siteCode);
    static QByteArray TemplateRequest(const QString &siteCode, const QByteArray &name);
};

} // namespace quarvel
