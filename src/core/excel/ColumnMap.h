#pragma once

#include "excel/ImportColumn.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace quarvel {

// Which sheet header feeds which field, as the operator gave it (in the
// mapping dialog or with --map "手机=收件电话,详细地址=收件地址"): header
// texts as HeaderText reads them, each with a field's caption, or with
// nothing for a column not to import. It takes precedence over the headers
// an import recognises by itself.
class ColumnMap {
public:
    // Adds or replaces the entry of a header; an empty field: do not import the column.
    void set(const QString &header, const QString &field);
    // The field the header is mapped to (empty: not imported); no value when the map does not name the header.
    std::optional<QString> fieldOf(const QString &header) const;
    bool isEmpty() const { return entries_.isEmpty(); }
    const QList<std::pair<QString, QString>> &entries() const { return entries_; }

    // "header=field,header=field"; a field may be written as any of its
    // header texts. Empty with the reason in error when a pair cannot be read
    // or names no field of columns.
    static std::optional<ColumnMap> Parse(const QString &text, const QList<ImportColumn> &columns, QString *error);
    // The caption of the field a text names (its caption or one of its other
    // headers, as HeaderText reads them); empty when none.
    static QString FieldNamed(const QString &text, const QList<ImportColumn> &columns);

private:
    QList<std::pair<QString, QString>> entries_;
};

} // namespace quarvel
