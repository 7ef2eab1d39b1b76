#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace quarvel {

// Asks the operator for a file to write or read. The window uses the file
// dialogs; tests answer with a prepared name.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // Returns the chosen name (empty when cancelled) and the index of the
    // chosen filter.
    virtual QString saveFileName(QWidget *parent, const QString &title, const QStringList &filters,
                                 int *chosenFilter) = 0;
    virtual QString openFileName(QWidget *parent, const QString &title, const QStringList &filters) = 0;
};

} // namespace quarvel
