#pragma once

#include "excel/ImportHeader.h"
#include "excel/SheetImportReport.h"

#include <QList>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

namespace quarvel {

struct PageEnv;
class SheetImportRules;

// A page's spreadsheet import and header export in the window: asks for the
// file, runs the import on the user-interface thread with a progress dialog
// and a stop button for sheets of more than kProgressRows rows, lets the
// operator map the columns of a sheet whose header it does not fully know
// (CColumnMapDlg, remembered for that layout), then shows the summary
// (CImportSummaryDlg); a sheet that cannot be read at all gets its message
// box instead.
class SheetImportRunner {
public:
    static constexpr int kProgressRows = 300;

    SheetImportRunner(PageEnv &env, QWidget *parent);
    ~SheetImportRunner();

    // The spreadsheet to import; empty when the operator cancelled.
    QString chooseFile();
    SheetImportReport run(const QString &path, SheetImportRules &rules);
    // "导出Excel表头": the header sheet on the desktop (else in DATA_TEMP).
    bool exportHeader(const QString &sheetName, const QString &fileName, const QList<ImportColumn> &columns);

private:
    void showDialog(const QString &text, int maximum);
    bool progress(int row, int lastRow);

    PageEnv &env_;
    QWidget *parent_;
    QPointer<QProgressDialog> dialog_;
};

} // namespace quarvel
