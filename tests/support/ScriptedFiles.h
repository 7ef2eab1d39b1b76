#pragma once

#include "shell/FileChooser.h"

// A FileChooser that answers with a prepared name and filter.
class ScriptedFiles : public quarvel::FileChooser {
public:
    QString saveName;
    int saveFilter = 0;
    QString openName;
    int asked = 0;

    QString saveFileName(QWidget *, const QString &, const QStringList &, int *chosenFilter) override
    {
        ++asked;
        if (chosenFilter)
            *chosenFilter = saveFilter;
        return saveName;
    }
    QString openFileName(QWidget *, const QString &, const QStringList &) override
    {
        ++asked;
        return openName;
    }
};
