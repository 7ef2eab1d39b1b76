#pragma once

#include <QString>
#include <QStringList>

namespace quarvel {

class ClientContext;
class Prompter;

// The values and rules of the prompt-phrase dialog ("设置常用提示输入信息"):
// one box with a phrase a line, at most 32000 characters, saved to
// prompt.dat and read back into the phrases the pages offer. The dialog binds
// its box to `text`; quarvelctl adds and deletes single phrases.
class PromptPhrasesForm {
public:
    static constexpr int kMaxChars = 32000;

    static QString Title() { return QStringLiteral("设置常用提示输入信息"); }
    static QString Hint() { return QStringLiteral("设置短句以回车分隔,在各页的\"备注\"等字段中可以提示输入!"); }
    // Whether the box takes a text of this length.
    static bool Fits(const QString &text) { return text.size() <= kMaxChars; }

    // Filled with the phrases in force, as the dialog opens.
    explicit PromptPhrasesForm(ClientContext &context);

    // The box: the phrases, each followed by a line feed.
    QString text;

    // A phrase at the end. Blanks around it are dropped (the file's reader
    // drops them before every phrase but the first); an empty phrase would end
    // the list and one with a line break would be two, so both are refused,
    // as is a text past what the box takes. The reason, or an empty text.
    QString Add(const QString &phrase);
    // Takes out every line that is the phrase; the reason when there is none.
    QString Delete(const QString &phrase);

    // "提交设置": writes the box to prompt.dat (Windows line breaks), reads the
    // phrases back and says so ("提示输入信息设置成功。", caption "提示"). A
    // file that cannot be written is reported instead; false then.
    bool Submit(Prompter &prompter);

private:
    ClientContext &context_;
};

} // namespace quarvel
