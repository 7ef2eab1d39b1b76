#pragma once

#include "storage/RecordField.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <span>

namespace quarvel {

class Cli;
class ClientContext;
class RecordFile;

// What the list and show commands of the record files share: a listing only
// reads (so it may run beside the window holding the files), streamed as one
// JSON array or one tab-separated line a record; a show prints one record by
// its id, as JSON or a "name<TAB>value" line a field.
class RecordListing {
public:
    struct Kind {
        const char *command; // "records", "contacts", "scans"
        RecordFile &(*file)(ClientContext &);
        std::span<const RecordField> (*fields)();
        // The line of the plain listing, without its line break.
        QString (*line)(const char *record);
        QString (*notFound)(int iid);
        // What a show adds after the record's own fields (a record's goods
        // and pieces): into the JSON object, or as lines of text.
        void (*more)(ClientContext &context, int iid, QJsonObject &json, QString &text) = nullptr;
    };

    // [--json]
    static int list(Cli &cli, const QStringList &args, const Kind &kind);
    // IID [--json]
    static int show(Cli &cli, const QStringList &args, const Kind &kind);
};

} // namespace quarvel
