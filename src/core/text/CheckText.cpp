#include "text/CheckText.h"

#include "text/Gbk.h"

#include <cstring>

namespace quarvel {

namespace {

const QString kTitle = QStringLiteral("数据错误");

// The first character of the value that GBK cannot hold, for the message.
QString firstUnencodable(const QString &value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        const qsizetype n = value.at(i).isHighSurrogate() && i + 1 < value.size() ? 2 : 1;
        const QString one = value.mid(i, n);
        bool ok = false;
        Gbk::fromUnicode(one, &ok);
        if (!ok)
            return one;
        i += n - 1;
    }
    return {};
}

} // namespace

std::optional<QByteArray> CheckText(QString &value, int min, int max, const QString &caption, Prompter &prompter)
{
    value = value.trimmed();
    if (value.size() < min) {
        prompter.error(kTitle, QStringLiteral("[%1]不得短于 %2 字符。").arg(caption).arg(min));
        return std::nullopt;
    }
    bool ok = false;
    QByteArray gbk = Gbk::fromUnicode(value, &ok);
    if (!ok) {
        prompter.error(
            kTitle,
            QStringLiteral("[%1]含有不能保存的字符“%2”，请改用其他文字。").arg(caption, firstUnencodable(value)));
        return std::nullopt;
    }
    if (gbk.size() > max) {
        prompter.error(kTitle, QStringLiteral("[%1]长度不得超过 %2 字符。").arg(caption).arg(max));
        return std::nullopt;
    }
    return gbk;
}

bool CheckText(QString &value, int min, int max, const QString &caption, Prompter &prompter, char *field,
               std::size_t width)
{
    const std::optional<QByteArray> gbk = CheckText(value, min, max, caption, prompter);
    if (!gbk)
        return false;
    Gbk::setField(field, width, *gbk);
    return true;
}

} // namespace quarvel
