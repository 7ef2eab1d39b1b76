#pragma once

#include "excel/SheetImportReport.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace quarvel {

class FileChooser;
class Prompter;

// The end of an import: its closing message, how many rows came in (and how
// many of them incomplete), how many were skipped, and a line per row that
// was skipped, came in incomplete or was changed, with the sheet's row
// number. "保存为文本..." writes the same as a text file.
class CImportSummaryDlg : public QDialog {
    Q_OBJECT

public:
    CImportSummaryDlg(const SheetImportReport &report, FileChooser &files, Prompter &prompter,
                      QWidget *parent = nullptr);

    // Opens a summary over the page (window-modal, deleted when closed).
    static CImportSummaryDlg *Show(const SheetImportReport &report, FileChooser &files, Prompter &prompter,
                                   QWidget *parent);

    QLabel *messageLabel() const { return message_; }
    QTableWidget *table() const { return table_; }
    QPushButton *saveButton() const { return save_; }
    // "保存为文本...": asks for the file and writes the summary there.
    bool SaveAsText();

private:
    SheetImportReport report_;
    FileChooser &files_;
    Prompter &prompter_;
    QLabel *message_ = nullptr;
    QTableWidget *table_ = nullptr;
    QPushButton *save_ = nullptr;
};

} // namespace quarvel
