#include "print/TemplateChooseForm.h"

#include "print/TemplateFiles.h"

namespace quarvel {

TemplateChooseForm::TemplateChooseForm(TemplateKind kind, const QString &modelFolder, const QString &currentName)
    : kind_(kind), rows_(TemplateFiles::Available(modelFolder, kind)), choice_(currentName)
{
    // The loaded template's name may differ in case from the listed (upper-cased) one.
    for (const QString &row : rows_)
        if (row.compare(choice_, Qt::CaseInsensitive) == 0)
            choice_ = row;
    shown_ = currentRow() >= 0;
}

QString TemplateChooseForm::title() const
{
    return QStringLiteral("选择当前启用的%1模版").arg(TemplateKinds::KindName(kind_));
}

QString TemplateChooseForm::columnHeader() const
{
    return QStringLiteral("%1模版名称").arg(TemplateKinds::KindName(kind_));
}

QString TemplateChooseForm::choiceText() const
{
    return shown_ ? QStringLiteral("当前选择：%1").arg(choice_) : QStringLiteral("↑请选择");
}

void TemplateChooseForm::DoubleClick(int row)
{
    if (row < 0 || row >= rows_.size())
        return;
    choice_ = rows_.at(row);
    shown_ = true;
}

} // namespace quarvel
