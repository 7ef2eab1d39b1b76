#include "print/TemplatePairWrite.h"

#include <QFile>

namespace quarvel {

namespace {

bool writeWhole(QSaveFile &file, const QByteArray &bytes)
{
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

TemplatePairWrite::TemplatePairWrite(const QString &definitionPath, const QString &spreadsheetPath)
    : definition_(definitionPath), spreadsheet_(spreadsheetPath)
{
}

bool TemplatePairWrite::Prepare(const QByteArray &definition, const QByteArray &spreadsheet)
{
    QFile old(spreadsheet_.fileName());
    if (old.exists()) {
        if (!old.open(QIODevice::ReadOnly))
            return false;
        oldSpreadsheet_ = old.readAll();
    }
    // A file written aside but never committed is removed with this object.
    prepared_ = writeWhole(definition_, definition) && writeWhole(spreadsheet_, spreadsheet);
    return prepared_;
}

bool TemplatePairWrite::Commit()
{
    if (!prepared_)
        return false;
    prepared_ = false;
    if (!spreadsheet_.commit())
        return false;
    if (definition_.commit())
        return true;
    restoreSpreadsheet();
    return false;
}

void TemplatePairWrite::restoreSpreadsheet()
{
    if (!oldSpreadsheet_) {
        QFile::remove(spreadsheet_.fileName());
        return;
    }
    QSaveFile back(spreadsheet_.fileName());
    if (writeWhole(back, *oldSpreadsheet_))
        back.commit();
}

} // namespace quarvel
