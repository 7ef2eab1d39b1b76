#pragma once

#include "shell/FileChooser.h"

namespace quarvel {

// The FileChooser of the window: Qt's file dialogs with the overwrite question.
class DialogFileChooser : public FileChooser {
public:
    QString saveFileName(QWidget *parent, const QString &title, const QStringList &filters, int *chosenFilter) override;
    QString openFileName(QWidget *parent, const QString &title, const QStringList &filters) override;
};

} // namespace quarvel
