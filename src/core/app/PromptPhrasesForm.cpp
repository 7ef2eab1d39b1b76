#include "app/PromptPhrasesForm.h"

#include "app/ClientContext.h"
#include "app/PromptPhrases.h"
#include "app/Prompter.h"

namespace quarvel {

PromptPhrasesForm::PromptPhrasesForm(ClientContext &context) : context_(context)
{
    text = PromptPhrases::Join(context.promptPhrases().phrases());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString PromptPhrasesForm::Add(const QString &phrase)
{
    const QString trimmed = phrase.trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("常用短语不能为空。");
    if (trimmed.contains(u'\n') || trimmed.contains(u'\r'))
        return QStringLiteral("一条常用短语不能换行：%1").arg(phrase);
    QString added = text;
    if (!added.isEmpty() && !added.endsWith(u'\n'))
        added += u'\n';
    added += trimmed + u'\n';
    if (!Fits(added))
        return QStringLiteral("常用短语共 %1 字符，超过 %2 字符。").arg(added.size()).arg(kMaxChars);
    text = added;
    return {};
}

QString PromptPhrasesForm::Delete(const QString &phrase)
{
    QStringList lines = text.split(u'\n');
    if (phrase.trimmed().isEmpty() || lines.removeAll(phrase.trimmed()) == 0)
        return QStringLiteral("没有这条常用短语：%1").arg(phrase);
    text = lines.join(u'\n');
    return {};
}

bool PromptPhrasesForm::Submit(Prompter &prompter)
{
    QString saved = text;
    saved.replace(u'\n', QStringLiteral("\r\n"));
    // Saying "成功" over a file that was not written would hide the loss
    // until the next start.
    if (!context_.SavePromptPhrases(saved)) {
        prompter.error(
            QString(),
            QStringLiteral("提示输入信息未能保存：无法写入%1。").arg(context_.path(QStringLiteral("prompt.dat"))));
        return false;
    }
    prompter.inform(QStringLiteral("提示"), QStringLiteral("提示输入信息设置成功。"));
    return true;
}

} // namespace quarvel
