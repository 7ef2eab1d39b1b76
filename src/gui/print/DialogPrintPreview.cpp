#include "print/DialogPrintPreview.h"

#include "print/CPrintPreviewDlg.h"

namespace quarvel {

bool DialogPrintPreview::Confirm(const QString &pdfPath, const QString &title)
{
    CPrintPreviewDlg dialog(pdfPath, title, parent_);
    return run_(dialog) == QDialog::Accepted;
}

} // namespace quarvel
