#pragma once

#include "excel/ImportText.h"
#include "excel/SheetImport.h"
#include "storage/PreInputRecord.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QSet>

#include <functional>

namespace quarvel {

class BaseData;
class PreInputFile;
class ProgramSettings;

// The pre-entry records' spreadsheet import ("打开Excel文件导入" on the
// pre-entry list) and the header it expects: one shipment per row, its
// columns named by their header texts (or the other headers customers use)
// in any order. Rows without a destination, rows whose waybill number is
// already stored and rows with a value that cannot be taken (a weight of
// "abc", a text too long for its field) are skipped with their reason.
// Rows that lack the receiver, the receiver address or phone, or whose
// destination or express kind the base data does not know come in locked
// (not uploaded until corrected on the page) as incomplete. Records are only
// ever appended.
class PreInputImport : public SheetImportRules {
public:
    enum Header {
        Number,
        From,
        Destination,
        Kind,
        ItemType,
        Pieces,
        Weight,
        Sender,
        SenderCorp,
        SenderAddr,
        SenderPhone,
        SenderZip,
        SenderCountry,
        SenderProv,
        SenderCity,
        Receiver,
        ReceiverCorp,
        ReceiverAddr,
        ReceiverPhone,
        ReceiverZip,
        ReceiverCountry,
        ReceiverProv,
        ReceiverCity,
        Goods,
        Quantity,
        Price,
        Pack,
        ConsignNote,
        Declare,
        Insure,
        Currency,
        Origin,
        Cod,
        CodSettle,
        PayWay,
        Remark,
        SenderSms,
        SenderMail,
        ReceiverMail,
        ReceiverSms,
        SenderAddr1,
        SenderAddr2,
        SenderAddr3,
        ReceiverAddr1,
        ReceiverAddr2,
        ReceiverAddr3,
        kHeaders
    };

    // What the import needs besides the file it writes.
    struct Setting {
        const BaseData &base;
        const ProgramSettings &settings;
        // The logged-in customer's id for generated waybill numbers, 0 when none.
        int clientId = 0;
        QDate today = QDate::currentDate();
    };

    struct Converted {
        enum class Kind { Record, Skip };
        Kind kind = Kind::Skip;
        PreInputRecord record{};
        bool incomplete = false;
        // The row's waybill number (as typed until one is made for it).
        QString what;
        // Skip: the reason; Record: what makes it incomplete.
        QString why;
        // Values taken otherwise than typed: (what, note).
        QList<std::pair<QString, QString>> changes;
    };

    static const QList<ImportColumn> &Columns();
    // The header sheet leaves out "物品包装" and "托运备注": 44 columns.
    static QList<ImportColumn> ExportColumns();
    static QString SheetName() { return QStringLiteral("预录单格式"); }
    static QString FileName() { return QStringLiteral("预录单格式.xls"); }
    // The heaviest weight the page's weight box takes, in kilograms.
    static constexpr double kMaxWeight = 999999999.999;

    PreInputImport(PreInputFile &file, const Setting &setting);
    // Called for every record written (the list adds its row).
    void setWritten(std::function<void(const PreInputRecord &)> written) { written_ = std::move(written); }

    // The record a row makes, without writing it.
    Converted Convert(const ImportRow &row);

    QString kind() const override { return QStringLiteral("records"); }
    const QList<ImportColumn> &columns() const override { return Columns(); }
    QString missingColumnsText() const override;
    void takeHeader(const ImportHeader &header) override;
    RowResult importRow(int row, const ImportRow &cells, SheetImportReport &report) override;
    QString finishedText(int written) const override;

private:
    class Row;

    PreInputFile &file_;
    Setting setting_;
    QString defaultKind_;
    QList<bool> present_;
    bool incompleteByLayout_ = false;
    ImportText checks_;
    bool numberStored(const QByteArray &number);

    // Numbers written by this import, with their sheet rows.
    QHash<QByteArray, int> numbersWritten_;
    // The numbers the file held when the import began, gathered once: a
    // search of the whole file for every row would make a large import slow.
    QSet<QByteArray> numbersStored_;
    bool storedKnown_ = false;
    std::function<void(const PreInputRecord &)> written_;
};

} // namespace quarvel
