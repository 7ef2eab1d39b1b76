#pragma once

#include <functional>

class QDialog;
class QHBoxLayout;

namespace quarvel {

// The button row of both query dialogs: "确认查询" and "重新输入" run the
// given actions, "取消关闭" closes the dialog with nothing changed. None of
// them is a default button: Enter moves between the fields.
QHBoxLayout *QueryDialogButtons(QDialog *dialog, std::function<void()> confirm, std::function<void()> reset);

} // namespace quarvel
