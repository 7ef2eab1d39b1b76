#include "excel/CsvRows.h"

namespace quarvel {

CsvRows::CsvRows(QByteArray text, char separator) : text_(std::move(text)), separator_(separator)
{
    if (text_.startsWith("\xEF\xBB\xBF"))
        text_.remove(0, 3);
    bool quoted = false;
    bool rowStart = true;
    for (qsizetype i = 0; i < text_.size(); ++i) {
        if (rowStart) {
            starts_.push_back(i);
            rowStart = false;
        }
        const char c = text_.at(i);
        if (c == '"')
            quoted = !quoted;
        else if (c == '\n' && !quoted)
            rowStart = true;
    }
}

QStringList CsvRows::row(int index) const
{
    QStringList fields;
    if (index < 0 || index >= count())
        return fields;
    QByteArray field;
    bool quoted = false;
    for (qsizetype i = starts_[std::size_t(index)]; i < text_.size(); ++i) {
        const char c = text_.at(i);
        if (quoted) {
            if (c == '"' && i + 1 < text_.size() && text_.at(i + 1) == '"') {
                field.append('"');
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field.append(c);
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
        } else if (c == separator_) {
            fields << QString::fromUtf8(field);
            field.clear();
        } else if (c == '\n') {
            break;
        } else if (c != '\r') {
            field.append(c);
        }
    }
    fields << QString::fromUtf8(field);
    return fields;
}

} // namespace quarvel
