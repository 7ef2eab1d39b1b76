#include "excel/ImportText.h"

#include "text/CheckText.h"
#include "text/ControlText.h"
#include "text/Gbk.h"

#include <limits>

namespace quarvel {

QString ImportText::TooLongText(const QString &caption, int max, qsizetype bytes)
{
    return QStringLiteral("[%1]超过 %2 字节(此行有 %3 字节)").arg(caption).arg(max).arg(bytes);
}

std::optional<QByteArray> ImportText::Check(QString &value, int min, int max, const QString &caption, QString &why)
{
    page_.clear();
    // A cell may hold line breaks, tabs or a terminal's escape sequences; a
    // field is one line of plain text.
    value = ControlText::Plain(value);
    std::optional<QByteArray> gbk = CheckText(value, min, std::numeric_limits<int>::max(), caption, page_);
    if (!gbk) {
        why = page_.lastText();
        return std::nullopt;
    }
    if (gbk->size() > max) {
        why = TooLongText(caption, max, gbk->size());
        return std::nullopt;
    }
    return gbk;
}

bool ImportText::Into(QString &value, int min, int max, const QString &caption, char *field, std::size_t width,
                      QString &why)
{
    const std::optional<QByteArray> gbk = Check(value, min, max, caption, why);
    if (gbk)
        Gbk::setField(field, width, *gbk);
    return gbk.has_value();
}

} // namespace quarvel
