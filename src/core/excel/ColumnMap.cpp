#include "excel/ColumnMap.h"

#include "excel/HeaderText.h"

namespace quarvel {

void ColumnMap::set(const QString &header, const QString &field)
{
    const QString key = HeaderText::Name(header);
    for (auto &entry : entries_)
        if (entry.first == key) {
            entry.second = field;
            return;
        }
    entries_.append({key, field});
}

std::optional<QString> ColumnMap::fieldOf(const QString &header) const
{
    for (const auto &[key, field] : entries_)
        if (key == header)
            return field;
    return std::nullopt;
}

QString ColumnMap::FieldNamed(const QString &text, const QList<ImportColumn> &columns)
{
    const QString wanted = HeaderText::Name(text);
    if (wanted.isEmpty())
        return QString();
    for (const ImportColumn &c : columns)
        if (HeaderText::Name(c.caption()) == wanted)
            return c.caption();
    for (const ImportColumn &c : columns)
        for (const QString &other : c.synonymList())
            if (HeaderText::Name(other) == wanted)
                return c.caption();
    return QString();
}

std::optional<ColumnMap> ColumnMap::Parse(const QString &text, const QList<ImportColumn> &columns, QString *error)
{
    ColumnMap map;
    const QString normalized = SheetValue::HalfWidth(text);
    for (const QString &pair : normalized.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(u'=');
        const QString header = eq < 0 ? QString() : pair.left(eq).trimmed();
        const QString target = eq < 0 ? QString() : pair.mid(eq + 1).trimmed();
        if (HeaderText::Name(header).isEmpty()) {
            if (error)
                *error = QStringLiteral("列对应“%1”应写成 表头=字段。").arg(pair.trimmed());
            return std::nullopt;
        }
        const QString field = FieldNamed(target, columns);
        if (!target.isEmpty() && target != QLatin1String("-") && field.isEmpty()) {
            QStringList known;
            for (const ImportColumn &c : columns)
                known << c.caption();
            if (error)
                *error = QStringLiteral("没有字段“%1”。可用的字段:%2").arg(target, known.join(u'、'));
            return std::nullopt;
        }
        map.set(header, field);
    }
    return map;
}

} // namespace quarvel
