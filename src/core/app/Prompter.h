#pragma once

#include <QString>

namespace quarvel {

// How core rules talk to the operator: the window shows message boxes, the
// command-line tool prints, tests answer from a script and record every text.
class Prompter {
public:
    virtual ~Prompter() = default;
    // An error box ("数据错误", "错误提示", ...). An empty title means the program's title.
    virtual void error(const QString &title, const QString &text) = 0;
    // A warning box (exclamation icon).
    virtual void warning(const QString &title, const QString &text) = 0;
    // An information box.
    virtual void inform(const QString &title, const QString &text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool ask(const QString &caption, const QString &text) = 0;

    // What to do with edits that are about to be left behind.
    enum class SaveChoice { Save, Discard, Cancel };
    // A question with the buttons 保存, 不保存 and 取消.
    virtual SaveChoice askSave(const QString &caption, const QString &text) = 0;
};

} // namespace quarvel
