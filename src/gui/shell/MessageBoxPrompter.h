#pragma once

#include "app/Prompter.h"

class QWidget;

namespace quarvel {

// The Prompter of the window: message boxes over the given parent.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget *parent = nullptr) : parent_(parent) {}

    void error(const QString &title, const QString &text) override;
    void warning(const QString &title, const QString &text) override;
    void inform(const QString &title, const QString &text) override;
    bool ask(const QString &caption, const QString &text) override;
    SaveChoice askSave(const QString &caption, const QString &text) override;

private:
    QWidget *parent_;
};

} // namespace quarvel
