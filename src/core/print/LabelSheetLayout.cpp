#include "print/LabelSheetLayout.h"

#include "excel/ExcelSession.h"
#include "text/Gbk.h"

namespace quarvel {

namespace {

QByteArray key(const char16_t *name)
{
    return Gbk::fromUnicode(QString::fromUtf16(name));
}

// A key's value when the template gives one that is accepted, else the default.
int keyValue(const PrintTemplate &t, const char16_t *name, int fallback, bool (*accepted)(int))
{
    const int value = t.GetNumber(key(name));
    return accepted(value) ? value : fallback;
}

} // namespace

bool LabelSheetLayout::Build(const PrintTemplate &labelTemplate)
{
    if (!labelTemplate.HasSpreadsheet())
        return false;
    readKeys(labelTemplate);
    for (int i = 0; i < FieldVocabulary::kCount; ++i) {
        Base &base = positions_[std::size_t(i)];
        if (!labelTemplate.FindListCell(FieldVocabulary::NameGbk(i), base.column, base.row))
            base = Base{};
    }
    template_ = labelTemplate;
    return true;
}

void LabelSheetLayout::readKeys(const PrintTemplate &t)
{
    labelsDown_ = keyValue(t, u"纵向标签个数", 1, [](int v) { return v >= 2 && v <= kMaxDown; });
    labelsAcross_ = keyValue(t, u"横向标签个数", 1, [](int v) { return v == kMaxAcross; });
    rowsPerLabel_ = keyValue(t, u"纵向每标签占有行数", 1, [](int v) { return v > 1; });
    columnsPerLabel_ = keyValue(t, u"横向每标签占有栏数", 1, [](int v) { return v > 1; });
    rowGap_ = keyValue(t, u"标签纵向间隔行数", 0, [](int v) { return v > 0; });
    columnGap_ = keyValue(t, u"标签横向间隔栏数", 0, [](int v) { return v > 0; });
}

void LabelSheetLayout::Clear()
{
    *this = LabelSheetLayout();
}

int LabelSheetLayout::SheetsFor(int records) const
{
    const int perSheet = LabelsPerSheet();
    return records <= 0 ? 0 : (records + perSheet - 1) / perSheet;
}

bool LabelSheetLayout::shift(Base base, int label, int &column, int &row) const
{
    if (!template_ || base.column < 1 || base.row < 1 || label < 0 || label >= LabelsPerSheet())
        return false;
    // The keys may be as large as an int: the sums are made wide and checked
    // against the sheet, so a huge key gives no position instead of a wrapped one.
    const qint64 c = base.column + qint64(label % labelsAcross_) * (qint64(columnsPerLabel_) + columnGap_);
    const qint64 r = base.row + qint64(label / labelsAcross_) * (qint64(rowsPerLabel_) + rowGap_);
    if (c > ExcelSession::kMaxColumns || r > ExcelSession::kMaxRows)
        return false;
    column = int(c);
    row = int(r);
    return true;
}

bool LabelSheetLayout::PositionOf(int index, int label, int &column, int &row) const
{
    if (index < 0 || index >= FieldVocabulary::kCount)
        return false;
    return shift(positions_[std::size_t(index)], label, column, row);
}

bool LabelSheetLayout::PositionOfName(const QByteArray &nameGbk, int label, int &column, int &row) const
{
    Base base;
    if (!template_ || !template_->FindListCell(nameGbk, base.column, base.row))
        return false;
    return shift(base, label, column, row);
}

} // namespace quarvel
