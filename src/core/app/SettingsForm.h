#pragma once

#include "app/ProgramSettings.h"

#include <QString>

#include <span>

namespace quarvel {

class ClientContext;
class Prompter;

// The values and rules of the settings dialog ("设置本程序运行默认数据"): the
// program number and the defaults new records start with. The dialog binds
// its boxes to these values; quarvelctl sets them by name.
class SettingsForm {
public:
    // One text box: its name for quarvelctl, the field and its caption.
    struct Box {
        const char *name;
        QString ProgramSettings::*member;
        const char16_t *caption;
    };

    // The text boxes in the dialog's order: the origin above, then the
    // sender group "[默认]发件人信息-将默认预录填充".
    static std::span<const Box> Boxes();
    static const Box *BoxNamed(const QString &name);
    // How many characters the box of a field takes.
    static int MaxChars(QString ProgramSettings::*member);
    static QString Title() { return QStringLiteral("设置本程序运行默认数据"); }
    static QString ProgramNumberCaption() { return QStringLiteral("程序编号:"); }
    static QString ProgramNumberHint() { return QStringLiteral("(0-9,多个客户端时唯一识别号)"); }
    static QString SenderGroupCaption() { return QStringLiteral("[默认]发件人信息-将默认预录填充"); }

    // Filled from the settings in force, as the dialog opens.
    explicit SettingsForm(ClientContext &context);

    // The working copy the boxes edit.
    ProgramSettings values;

    // "确认设置": a program number outside 0-9 becomes 0 and every text is
    // cut to what its box takes; the settings in force take the values and
    // are saved ("设置数据已保存。"). False when the file could not be written
    // ("Open file error !").
    bool Confirm(Prompter &prompter);

private:
    ClientContext &context_;
};

} // namespace quarvel
