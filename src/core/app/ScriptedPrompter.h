#pragma once

#include "app/Prompter.h"

#include <QList>
#include <QString>

#include <deque>

namespace quarvel {

// A Prompter without a window: questions are answered from a queue filled in
// advance (then by a default answer) and every text shown is kept in order.
class ScriptedPrompter : public Prompter {
public:
    enum class Kind { Error, Warning, Inform, Ask };
    struct Shown {
        Kind kind;
        QString title;
        QString text;
    };

    explicit ScriptedPrompter(bool defaultAnswer = true) : defaultAnswer_(defaultAnswer) {}

    void error(const QString &title, const QString &text) override { record(Kind::Error, title, text); }
    void warning(const QString &title, const QString &text) override { record(Kind::Warning, title, text); }
    void inform(const QString &title, const QString &text) override { record(Kind::Inform, title, text); }
    bool ask(const QString &caption, const QString &text) override;
    // Answered from its own queue; without an answer the edits are discarded.
    SaveChoice askSave(const QString &caption, const QString &text) override;

    void queueAnswer(bool yes) { answers_.push_back(yes); }
    void setDefaultAnswer(bool yes) { defaultAnswer_ = yes; }
    void queueSaveChoice(SaveChoice choice) { saveChoices_.push_back(choice); }

    const QList<Shown> &shown() const { return shown_; }
    // The text of the last message, or an empty text when none was shown.
    QString lastText() const { return shown_.isEmpty() ? QString() : shown_.last().text; }
    QStringList texts() const;
    void clear() { shown_.clear(); }

protected:
    virtual void record(Kind kind, const QString &title, const QString &text);

private:
    std::deque<bool> answers_;
    std::deque<SaveChoice> saveChoices_;
    bool defaultAnswer_;
    QList<Shown> shown_;
};

} // namespace quarvel
