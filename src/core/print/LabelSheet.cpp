#include "print/LabelSheet.h"

#include "excel/ExcelSession.h"
#include "print/LabelSheetLayout.h"

#include <QStringList>

#include <algorithm>

namespace quarvel {

namespace {

const QString kLabelKind = QStringLiteral("标签");

} // namespace

void LabelSheet::Fill(ExcelSession &session, const LabelSheetLayout &layout, const QList<LabelFields> &labels)
{
    const int count = std::min<int>(int(labels.size()), layout.LabelsPerSheet());
    for (int label = 0; label < count; ++label)
        for (const LabelFields::Write &w : labels[label].writes()) {
            int column = 0;
            int row = 0;
            const bool placed = w.index >= 0 ? layout.PositionOf(w.index, label, column, row)
                                             : layout.PositionOfName(w.nameGbk, label, column, row);
            if (placed)
                session.SetCellText(row, column, w.text);
        }
}

QList<QList<LabelFields>> LabelSheet::Sheets(const QList<LabelFields> &labels, int labelsPerSheet)
{
    QList<QList<LabelFields>> sheets;
    const qsizetype step = std::max(1, labelsPerSheet);
    for (qsizetype from = 0; from < labels.size(); from += step)
        sheets.append(labels.mid(from, step));
    return sheets;
}

QString LabelSheet::Title(const QList<LabelFields> &labels)
{
    if (labels.isEmpty())
        return kLabelKind;
    const QString first = labels.first().number();
    const QString last = labels.last().number();
    return kLabelKind + u'_' + (labels.size() == 1 ? first : first + u'-' + last);
}

QString LabelSheet::Numbers(const QList<LabelFields> &labels)
{
    QStringList numbers;
    for (const LabelFields &l : labels)
        numbers << l.number();
    return numbers.join(u',');
}

PrintOutcome LabelSheet::Print(const SheetPrinter::Setup &setup, const LabelSheetLayout &layout,
                               const QList<LabelFields> &labels)
{
    const PrintTemplate *labelTemplate = layout.labelTemplate();
    if (!labelTemplate)
        return PrintOutcome::Failure(TemplateKinds::MissingText(TemplateKind::Label));
    SheetPrinter::Document document;
    document.sheetName = QStringLiteral("BILL");
    document.workPath = SheetPrinter::WorkPath(setup.tempFolder, QStringLiteral("BILL"));
    document.templateBytes = labelTemplate->spreadsheet();
    document.title = Title(labels);
    document.kind = kLabelKind;
    document.waybill = Numbers(labels);
    document.templateName = labelTemplate->name();
    return SheetPrinter(setup).Run(document, [&](ExcelSession &s) { Fill(s, layout, labels); });
}

} // namespace quarvel
