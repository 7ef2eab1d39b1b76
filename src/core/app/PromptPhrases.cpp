#include "app/PromptPhrases.h"
#include "storage/FileReplace.h"

#include "text/Utf16Le.h"

#include <QFile>

namespace quarvel {

QStringList PromptPhrases::ParsePromptPhrases(const QString &text)
{
    QStringList list;
    qsizetype pos = 0;
    while (pos <= text.size()) {
        const qsizetype lf = text.indexOf(u'\n', pos);
        QString line = text.mid(pos, lf < 0 ? -1 : lf - pos);
        if (line.size() < 2)
            break;
        if (line.endsWith(u'\r'))
            line.chop(1);
        list.append(line);
        if (lf < 0)
            break;
        pos = lf + 1;
        while (pos < text.size() && (text.at(pos) == u'\r' || text.at(pos) == u' '))
            ++pos;
    }
    return list;
}

QString PromptPhrases::Join(const QStringList &phrases)
{
    QString text;
    for (const QString &p : phrases)
        text += p + QStringLiteral("\r\n");
    return text;
}

QString PromptPhrases::Load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        phrases_.clear();
        return {};
    }
    const QByteArray bytes = file.read(qint64(kMaxChars) * 2);
    QString damage;
    phrases_ = ParsePromptPhrases(Decode(bytes, &damage));
    if (file.size() > bytes.size())
        damage = QStringLiteral("超过 %1 个字符，后面的部分没有读入。").arg(kMaxChars);
    return damage;
}

QString PromptPhrases::Decode(const QByteArray &bytes, QString *damage)
{
    // The dialog writes whole UTF-16 characters and never a NUL or half of a
    // surrogate pair; anything else is damage, and the text ends there.
    const QString text = Utf16Le::Decode(bytes);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool pairStart = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        if (pairStart) {
            ++i;
            continue;
        }
        if (c.unicode() == 0 || c.isSurrogate()) {
            *damage = QStringLiteral("第 %1 个字符不是有效的文字，常用短语只读到它之前。").arg(i + 1);
            return text.left(i);
        }
    }
    if (bytes.size() % 2 != 0)
        *damage =
            QStringLiteral("文件长度是奇数（%1 字节），不是完整的 UTF-16 文本；最后一个字节已忽略。").arg(bytes.size());
    return text;
}

bool PromptPhrases::Save(const QString &path, const QString &text)
{
    const bool ok = FileReplace::Write(path, Utf16Le::Encode(text));
    phrases_ = ParsePromptPhrases(text);
    return ok;
}

} // namespace quarvel
