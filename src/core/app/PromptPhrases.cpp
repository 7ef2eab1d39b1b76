#include "app/PromptPhrases.h"

#include "text/Utf16Le.h"

#include <QFile>
#include <QSaveFile>

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

void PromptPhrases::Load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        phrases_.clear();
        return;
    }
    const QByteArray bytes = file.read(qint64(kMaxChars) * 2);
    phrases_ = ParsePromptPhrases(Utf16Le::Decode(bytes));
}

bool PromptPhrases::Save(const QString &path, const QString &text)
{
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        file.write(Utf16Le::Encode(text));
        ok = file.commit();
    }
    phrases_ = ParsePromptPhrases(text);
    return ok;
}

} // namespace quarvel
