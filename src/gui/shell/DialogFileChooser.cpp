#include "shell/DialogFileChooser.h"

#include <QFileDialog>

namespace quarvel {

QString DialogFileChooser::saveFileName(QWidget *parent, const QString &title, const QStringList &filters,
                                        int *chosenFilter)
{
    QString selected = filters.value(0);
    const QString name =
        QFileDialog::getSaveFileName(parent, title, QString(), filters.join(QStringLiteral(";;")), &selected);
    if (chosenFilter)
        *chosenFilter = std::max(0, static_cast<int>(filters.indexOf(selected)));
    return name;
}

QString DialogFileChooser::openFileName(QWidget *parent, const QString &title, const QStringList &filters)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), filters.join(QStringLiteral(";;")));
}

} // namespace quarvel
