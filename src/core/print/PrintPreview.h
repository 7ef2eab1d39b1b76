#pragma once

#include <QString>

namespace quarvel {

// Shows a printed document's PDF before it goes to the printer; the window
// renders its pages in a dialog. True to print, false to drop it.
class PrintPreview {
public:
    virtual ~PrintPreview() = default;
    virtual bool Confirm(const QString &pdfPath, const QString &title) = 0;
};

} // namespace quarvel
