#pragma once

#include "app/ScriptedPrompter.h"
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
// columns named by fixed header texts in any order. Rows without a
// destination or an express kind and rows whose waybill number is already
// stored are skipped; rows without receiver, receiver address or receiver
// phone come in locked (not uploaded) as incomplete; a value that breaks
// its limit ends the import at its row.
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
        enum class Kind { Record, Skip, Refuse };
        Kind kind = Kind::Skip;
        PreInputRecord record{};
        bool incomplete = false;
        // The row's waybill number (as typed until one is made for it).
        QString what;
        // Skip: the reason; Refuse: the message naming the row and field;
        // Record: what makes it incomplete.
        QString why;
        // Values taken otherwise than typed: (what, note).
        QList<std::pair<QString, QString>> changes;
    };

    static const QList<ImportColumn> &Columns();
    // The header sheet leaves out "物品包装" and "托运备注": 44 columns.
    static QList<ImportColumn> ExportColumns();
    static QString SheetName() { return QStringLiteral("预录单格式"); }
    static QString FileName() { return QStringLiteral("预录单格式.xls"); }

    PreInputImport(PreInputFile &file, const Setting &setting);
    // Called for every record written (the list adds its row).
    void setWritten(std::function<void(const PreInputRecord &)> written) { written_ = std::move(written); }

    // Which headers have a column (checkHeader sets it from the sheet).
    void setPresent(const QList<bool> &present);
    // The record a row makes, without writing it.
    Converted Convert(int row, const QStringList &values);

    const QList<ImportColumn> &columns() const override { return Columns(); }
    QString checkHeader(const ImportHeader &header) override;
    int keyColumn() const override { return Number; }
    int lastRowWithoutKey() const override { return 20; }
    RowResult importRow(int row, const QStringList &values, SheetImportReport &report) override;
    QString finishedText(int written) const override;

private:
    class Row;

    PreInputFile &file_;
    Setting setting_;
    QString defaultKind_;
    QList<bool> present_;
    bool incompleteByLayout_ = false;
    ScriptedPrompter checks_;
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
