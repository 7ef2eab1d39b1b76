#include "print/WaybillSheet.h"

#include "excel/ExcelSession.h"
#include "print/FieldValues.h"
#include "print/PrintTemplate.h"
#include "text/Gbk.h"

namespace quarvel {

namespace {

const QString kWaybillKind = QStringLiteral("面单");

void writeCell(ExcelSession &session, const PrintTemplate &waybillTemplate, const QByteArray &nameGbk,
               const QString &text)
{
    int column = 0;
    int row = 0;
    if (!text.isEmpty() && waybillTemplate.FindListCell(nameGbk, column, row) && column >= 1 && row >= 1)
        session.SetCellText(row, column, text);
}

} // namespace

QString WaybillSheet::Title(const FieldValues &values)
{
    return kWaybillKind + u'_' + values.number();
}

void WaybillSheet::Fill(ExcelSession &session, const PrintTemplate &waybillTemplate, const FieldValues &values)
{
    for (int i = 0; i < FieldVocabulary::kCount; ++i)
        writeCell(session, waybillTemplate, FieldVocabulary::NameGbk(i), values.at(i));
    for (const FieldValues::Named &n : values.named())
        writeCell(session, waybillTemplate, Gbk::fromUnicode(n.name), n.text);
}

PrintOutcome WaybillSheet::Print(const SheetPrinter::Setup &setup, const PrintTemplate &waybillTemplate,
                                 const FieldValues &values)
{
    SheetPrinter::Document document;
    document.sheetName = QStringLiteral("BILL");
    document.workPath = SheetPrinter::WorkPath(setup.tempFolder, QStringLiteral("BILL"));
    document.templateBytes = waybillTemplate.spreadsheet();
    document.title = Title(values);
    document.kind = kWaybillKind;
    document.waybill = values.number();
    document.templateName = waybillTemplate.name();
    return SheetPrinter(setup).Run(document, [&](ExcelSession &s) { Fill(s, waybillTemplate, values); });
}

} // namespace quarvel
