#pragma once

#include "excel/ImportText.h"
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
// address, optionally a code and the other fields. Every row that cannot
// come in is skipped with its reason: a missing name, phone or address, a
// name already in the address book (or earlier in the sheet), a code that is
// taken, a value that breaks its limit. Contacts are only ever appended.
class ContactImport : public SheetImportRules {
public:
    enum Header { Code, Name, Phone, Corp, Address, Country, Province, City, Zip, Mail, Sms, Remark, kHeaders };

    struct Converted {
        enum class Kind { Record, Skip };
        Kind kind = Kind::Skip;
        ContactRecord record{};
        // What the row is about (its name as typed) and, for a skip, why.
        QString what;
        QString why;
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
    Converted Convert(const ImportRow &row);

    QString kind() const override { return QStringLiteral("contacts"); }
    const QList<ImportColumn> &columns() const override { return Columns(); }
    QString missingColumnsText() const override;
    void takeHeader(const ImportHeader &header) override;
    RowResult importRow(int row, const ImportRow &cells, SheetImportReport &report) override;
    QString finishedText(int written) const override;

private:
    bool take(const ImportRow &row, QString (&v)[kHeaders], Converted &out);
    bool takeCode(QString &code, const QString &name, Converted &out);
    bool nameStored(const QByteArray &name);

    ContactFile &file_;
    ImportText checks_;
    bool hasCode_ = true;
    QList<bool> present_;

    // Names written by this import, with their sheet rows.
    QHash<QByteArray, int> namesWritten_;
    // The names the address book held when the import began, gathered once.
    QSet<QByteArray> namesStored_;
    bool storedKnown_ = false;
    std::function<void(const ContactRecord &)> written_;
};

} // namespace quarvel
