#pragma once

#include "app/ScriptedPrompter.h"
#include "excel/SheetImport.h"
#include "storage/ContactRecord.h"

#include <QByteArray>
#include <QHash>
#include <QSet>

#include <functional>

namespace quarvel {

class ContactFile;

// The address book's spreadsheet import ("打开Excel文件导入" on the address
// book) and the header it expects: a contact per row with name, phone and
// address, optionally a code and the other fields. A row whose name is
// already in the address book (or earlier in the sheet) or whose code is
// taken is skipped; a value that breaks its limit ends the import at its row.
class ContactImport : public SheetImportRules {
public:
    enum Header { Code, Name, Phone, Corp, Address, Country, Province, City, Zip, Mail, Sms, Remark, kHeaders };

    struct Converted {
        enum class Kind { Record, Skip, Refuse };
        Kind kind = Kind::Skip;
        ContactRecord record{};
        // Skip: the reason; Refuse: the message naming the row and field.
        QString why;
        // Values taken as empty because they were too long: (header, note).
        QList<std::pair<QString, QString>> changes;
    };

    static const QList<ImportColumn> &Columns();
    // The header sheet holds the first eleven ("编码" to "短信电话").
    static QList<ImportColumn> ExportColumns();
    static QString SheetName() { return QStringLiteral("名录格式"); }
    static QString FileName() { return QStringLiteral("名录格式.xls"); }

    explicit ContactImport(ContactFile &file);
    // Called for every contact written (the list adds its row).
    void setWritten(std::function<void(const ContactRecord &)> written) { written_ = std::move(written); }

    // The contact a row makes, by the rules above, without writing it.
    Converted Convert(int row, const QStringList &values);

    const QList<ImportColumn> &columns() const override { return Columns(); }
    QString checkHeader(const ImportHeader &header) override;
    int keyColumn() const override { return Name; }
    int lastRowWithoutKey() const override { return 10; }
    RowResult importRow(int row, const QStringList &values, SheetImportReport &report) override;
    QString finishedText(int written) const override;

private:
    bool check(int row, QString &value, int min, int max, int header, char *field, std::size_t width, Converted &out);

    ContactFile &file_;
    ScriptedPrompter checks_;
    bool hasCode_ = true;
    QList<bool> present_;
    bool nameStored(const QByteArray &name);

    // Names written by this import, with their sheet rows.
    QHash<QByteArray, int> namesWritten_;
    // The names the address book held when the import began, gathered once.
    QSet<QByteArray> namesStored_;
    bool storedKnown_ = false;
    std::function<void(const ContactRecord &)> written_;
};

} // namespace quarvel
