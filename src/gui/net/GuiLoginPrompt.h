#pragma once

#include "net/LoginPrompt.h"

#include <QString>

#include <functional>

class QWidget;

namespace quarvel {

// The window's login: the login dialog over the main window; afterwards,
// whatever the result, `afterClose` runs (the frame refreshes its caption).
class GuiLoginPrompt : public LoginPrompt {
public:
    GuiLoginPrompt(QWidget *parent, const QString &lastAccountPath, std::function<void()> afterClose = {})
        : parent_(parent), lastAccountPath_(lastAccountPath), afterClose_(std::move(afterClose))
    {
    }

    void showLogin(ServerSession &session) override;

private:
    QWidget *parent_;
    QString lastAccountPath_;
    std::function<void()> afterClose_;
};

} // namespace quarvel
