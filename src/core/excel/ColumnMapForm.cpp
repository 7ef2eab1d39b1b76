#include "excel/ColumnMapForm.h"

#include "excel/SheetValue.h"

namespace quarvel {

ColumnMapForm::ColumnMapForm(const QString &sheet, int headerRow, const ImportHeader &header,
                             const SheetBlock &sampleRows)
    : sheet_(sheet), headerRow_(headerRow), known_(header.known())
{
    for (int c = 1; c <= int(header.texts().size()); ++c) {
        Column column{c, header.texts().at(c - 1), {}, QString(), QString(), -1};
        if (column.header.isEmpty())
            continue;
        for (const QList<SheetCell> &row : sampleRows) {
            const QString value =
                row.value(c - 1).shown.isEmpty() ? row.value(c - 1).importText().trimmed() : row.value(c - 1).shown;
            if (!value.isEmpty() && column.samples.size() < kSamples)
                column.samples << SheetValue::Quoted(value);
        }
        const int field = header.fieldOfColumn(c);
        if (field >= 0)
            column.field = header.caption(field);
        columns_.append(column);
    }
}

QString ColumnMapForm::title() const
{
    return QStringLiteral("工作表“%1”第%2行的表头对应到哪些字段").arg(sheet_).arg(headerRow_);
}

QStringList ColumnMapForm::fields() const
{
    QStringList out;
    for (const ImportColumn &c : known_)
        out << c.caption();
    return out;
}

bool ColumnMapForm::isRequired(const QString &field) const
{
    for (const ImportColumn &c : known_)
        if (c.caption() == field)
            return c.required;
    return false;
}

void ColumnMapForm::choose(int index, const QString &field)
{
    if (index < 0 || index >= int(columns_.size()))
        return;
    const QString chosen = field == NotImported() ? QString() : field;
    const QString before = columns_[index].field;
    if (before == chosen)
        return;
    for (Column &other : columns_)
        if (other.lentTo == index && other.lent == before && other.field.isEmpty()) {
            other.field = other.lent;
            other.lent.clear();
            other.lentTo = -1;
        }
    for (int i = 0; i < int(columns_.size()) && !chosen.isEmpty(); ++i)
        if (i != index && columns_[i].field == chosen) {
            columns_[i].field.clear();
            columns_[i].lent = chosen;
            columns_[i].lentTo = index;
        }
    columns_[index].field = chosen;
}

QStringList ColumnMapForm::missing() const
{
    QStringList out;
    for (const ImportColumn &c : known_) {
        if (!c.required)
            continue;
        bool fed = false;
        for (const Column &column : columns_)
            fed = fed || column.field == c.caption();
        if (!fed)
            out << c.caption();
    }
    return out;
}

QString ColumnMapForm::statusText() const
{
    const QStringList lacking = missing();
    if (!lacking.isEmpty())
        return QStringLiteral("还缺少:%1").arg(lacking.join(u'、'));
    return QStringLiteral("按“确定”导入,这个表头的对应关系会记住,下次同样的表格不用再选。");
}

ColumnMap ColumnMapForm::map() const
{
    ColumnMap out;
    for (const Column &column : columns_)
        out.set(column.header, column.field);
    return out;
}

} // namespace quarvel
