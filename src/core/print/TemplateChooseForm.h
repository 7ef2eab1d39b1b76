#pragma once

#include "print/TemplateKind.h"

#include <QString>
#include <QStringList>

namespace quarvel {

// The template choice dialog's rules: the templates of a kind found in
// DATA_MODEL, the current choice (at first the loaded template) and its
// line. Only a double click changes the choice; a row merely selected does not.
class TemplateChooseForm {
public:
    TemplateChooseForm(TemplateKind kind, const QString &modelFolder, const QString &currentName);

    QString title() const;
    static QString heading() { return QStringLiteral("●程序读取到的可用模版："); }
    QString columnHeader() const;
    const QStringList &rows() const { return rows_; }
    // The row of the current choice, -1 when it is not listed.
    int currentRow() const { return int(rows_.indexOf(choice_)); }
    QString choice() const { return choice_; }
    // "↑请选择", or "当前选择：NAME" once the choice is a listed row.
    QString choiceText() const;
    void DoubleClick(int row);

private:
    TemplateKind kind_;
    QStringList rows_;
    QString choice_;
    bool shown_ = false;
};

} // namespace quarvel
