#include "sheetimport/SheetImportRunner.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"
#include "excel/ExcelSession.h"
#include "excel/ImportHeaderFile.h"
#include "excel/SheetImport.h"
#include "sheetimport/CImportSummaryDlg.h"
#include "shell/FileChooser.h"
#include "shell/PageEnv.h"

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
    const QString path =
        env_.files.openFileName(parent_, QStringLiteral("打开Excel文件导入"),
                                {QStringLiteral("Excel文件 (*.xls *.xlsx *.ods *.csv)"),
                                 QStringLiteral("Excel 97-2003 (*.xls)"), QStringLiteral("所有文件 (*)")});
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
    SheetImport import(session, rules);
    import.setProgress([this](int row, int lastRow) { return progress(row, lastRow);
});
const SheetImportReport report = import.Run(path);
env_.context.FlushRecords();
delete dialog_;
if (report.outcome == SheetImportReport::Outcome::NotStarted)
    env_.prompter.error(QString(), report.message);
else
    CImportSummaryDlg::Show(report, env_.files, env_.prompter, parent_);
return report;
} // namespace quarvel

bool SheetImportRunner::progress(int row, int lastRow)
{
    if (lastRow <= kProgressRows)
        return true;
    if (!dialog_) {
        dialog_ = new QProgressDialog(QStringLiteral("正在导入..."), QStringLiteral("停止导入"), 0, lastRow, parent_);
        dialog_->setWindowTitle(QStringLiteral("打开Excel文件导入"));
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
    }
    dialog_->setLabelText(QStringLiteral("正在导入第%1行,共%2行...").arg(row).arg(lastRow));
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
