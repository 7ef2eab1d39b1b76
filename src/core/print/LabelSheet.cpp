#include "print/LabelSheet.h"

#include "excel/ExcelSession.h"
#include "print/LabelSheetLayout.h"

#include <QStringList>

#include <algorithm>

namespace quarvel {

namespace {

const QString kLabelKind = QStringLiteral("标签");

} // namespace

void LabelSheet::Fill(ExcelSession &session, const LabelSheetLayout &layout, const Positions &labels)
{
    const int count = std::min<int>(int(labels.size()), layout.LabelsPerSheet());
    for (int label = 0; label < count; ++label) {
        if (!labels[label])
            continue;
        for (const LabelFields::Write &w : labels[label]->writes()) {
            int column = 0;
            int row = 0;
            const bool placed = w.index >= 0 ? layout.PositionOf(w.index, label, column, row)
                                             : layout.PositionOfName(w.nameGbk, label, column, row);
            if (placed)
                session.SetCellText(row, column, w.text);
        }
    }
}

QList<QList<int>> LabelSheet::Sheets(const QList<int> &ids, int labelsPerSheet)
{
    QList<QList<int>> sheets;
    const qsizetype step = std::max(1, labelsPerSheet);
    for (qsizetype from = 0; from < ids.size(); from += step)
        sheets.append(ids.mid(from, step));
    return sheets;
}

QString LabelSheet::Title(const QStringList &numbers)
{
    if (numbers.isEmpty())
        return kLabelKind;
    return kLabelKind + u'_' + (numbers.size() == 1 ? numbers.first() : numbers.first() + u'-' + numbers.last());
}

QStringList LabelSheet::Numbers(const Positions &labels)
{
    QStringList numbers;
    for (const std::optional<LabelFields> &l : labels)
        if (l)
            numbers << l->number();
    return numbers;
}

PrintOutcome LabelSheet::Print(const SheetPrinter::Setup &setup, const LabelSheetLayout &layout,
                               const Positions &labels)
{
    const PrintTemplate *labelTemplate = layout.labelTemplate();
    if (!labelTemplate)
        return PrintOutcome::Failure(TemplateKinds::MissingText(TemplateKind::Label));
    SheetPrinter::Document document;
    document.sheetName = QStringLiteral("BILL");
    document.workPath = SheetPrinter::WorkPath(setup.tempFolder, QStringLiteral("BILL"));
    document.templateBytes = labelTemplate->spreadsheet();
    const QStringList numbers = Numbers(labels);
    document.title = Title(numbers);
    document.kind = kLabelKind;
    // The print ledger lists the sheet's numbers comma-separated.
    document.waybill = numbers.join(u',');
    document.templateName = labelTemplate->name();
    return SheetPrinter(setup).Run(document, [&](ExcelSession &s) { Fill(s, layout, labels); });
}

} // namespace quarvel
