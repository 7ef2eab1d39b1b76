#pragma once

#include "app/Prompter.h"

namespace quarvel {

// Passes every message on to another prompter (or to none, for a scanner's
// entry, whose refusal must not open a box that would take the next scan's
// keys) and keeps the last text shown, for the page's own display.
class EchoPrompter : public Prompter {
public:
    explicit EchoPrompter(Prompter *target) : target_(target) {}

    void error(const QString &title, const QString &text) override;
    void warning(const QString &title, const QString &text) override;
    void inform(const QString &title, const QString &text) override;
    // A question has no answer without a target: No, and Cancel, so that
    // nothing is lost.
    bool ask(const QString &caption, const QString &text) override;
    SaveChoice askSave(const QString &caption, const QString &text) override;

    const QString &lastText() const { return last_; }

private:
    Prompter *target_;
    QString last_;
};

} // namespace quarvel
