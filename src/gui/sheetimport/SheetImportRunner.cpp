#include "sheetimport/SheetImportRunner.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"
#include "excel/ExcelSession.h"
#include "excel/ImportHeaderFile.h"
#include "excel/ImportLayouts.h"
#include "excel/SheetImport.h"
#include "sheetimport/CColumnMapDlg.h"
#include "sheetimport/CImportSummaryDlg.h"
#include "shell/FileChooser.h"
#include "shell/PageEnv.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProgressDialog>

namespace quarvel {

SheetImportRunner::SheetImportRunner(PageEnv &env, QWidget *parent) : env_(env), parent_(parent)
{
}

SheetImportRunner::~SheetImportRunner()
{
    delete dialog_;
}

QString SheetImportRunner::chooseFile()
{
    const QStringList filters{QStringLiteral("Excel文件 (*.xls *.xlsx *.ods *.csv *.txt *.xml *.htm *.html)"),
                              QStringLiteral("Excel 97-2003 (*.xls)"), QStringLiteral("所有文件 (*)")};
    const QString path = env_.files.openFileName(parent_, QStringLiteral("打开Excel文件导入"), filters);
    if (path.isEmpty())
        return QString();
    if (!QFileInfo(path).isFile()) {
        env_.prompter.error(QString(), QStringLiteral("文件不存在。"));
        return QString();
    }
    return path;
}

SheetImportReport SheetImportRunner::run(const QString &path, SheetImportRules &rules)
{
    ExcelSession session(env_.context, env_.prompter);
    ImportLayouts layouts(env_.context.path(ImportLayouts::fileName()));
    SheetImport reader(session, rules);
    reader.setLayouts(&layouts);
    reader.setProgress([this](int row, int lastRow) { return progress(row, lastRow); });
    reader.setMapQuestion([this](ColumnMapForm &form) {
        if (dialog_)
            dialog_->hide();
        return CColumnMapDlg::Ask(form, parent_);
    });
    // Starting the office and loading the file take a moment with the window
    // waiting: say so before.
    showDialog(QStringLiteral("正在打开%1...").arg(QFileInfo(path).fileName()), 0);
    const SheetImportReport report = reader.Run(path);
    env_.context.FlushRecords();
    delete dialog_;
    if (report.cancelled)
        return report;
    if (report.outcome == SheetImportReport::Outcome::NotStarted)
        env_.prompter.error(QString(), report.message);
    else
        CImportSummaryDlg::Show(report, env_.files, env_.prompter, parent_);
    return report;
}

void SheetImportRunner::showDialog(const QString &text, int maximum)
{
    if (dialog_) {
        dialog_->setLabelText(text);
        dialog_->setMaximum(maximum);
        return;
    }
    dialog_ = new QProgressDialog(text, QStringLiteral("停止导入"), 0, maximum, parent_);
    dialog_->setWindowTitle(QStringLiteral("打开Excel文件导入"));
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->show();
    QCoreApplication::processEvents();
}

bool SheetImportRunner::progress(int row, int lastRow)
{
    if (lastRow <= kProgressRows) {
        // A short sheet is read at once; it needs no stop button.
        if (dialog_)
            dialog_->hide();
        return true;
    }
    showDialog(QStringLiteral("正在导入第%1行,共%2行...").arg(row).arg(lastRow), lastRow);
    // A modal progress dialog lets the window's events run, the stop button's too.
    dialog_->setValue(row);
    return !dialog_->wasCanceled();
}

bool SheetImportRunner::exportHeader(const QString &sheetName, const QString &fileName,
                                     const QList<ImportColumn> &columns)
{
    ExcelSession session(env_.context, env_.prompter);
    const QString path = ImportHeaderFile::DefaultPath(env_.context.path(QStringLiteral("DATA_TEMP")), fileName);
    return ImportHeaderFile::Export(session, env_.prompter, sheetName, path, columns);
}

} // namespace quarvel
