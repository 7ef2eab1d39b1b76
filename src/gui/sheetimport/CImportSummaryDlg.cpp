#include "sheetimport/CImportSummaryDlg.h"

#include "app/Prompter.h"
#include "shell/FileChooser.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quarvel {

CImportSummaryDlg::CImportSummaryDlg(const SheetImportReport &report, FileChooser &files, Prompter &prompter,
                                     QWidget *parent)
    : QDialog(parent), report_(report), files_(files), prompter_(prompter)
{
    setWindowTitle(QStringLiteral("导入结果"));
    message_ = new QLabel(QString(report.message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), this);
    message_->setWordWrap(true);
    QFont bold = message_->font();
    bold.setBold(true);
    message_->setFont(bold);
    message_->setStyleSheet(report.isError() ? QStringLiteral("color: #c00000;") : QStringLiteral("color: #008000;"));

    QString counts = QStringLiteral("文件: %1").arg(QDir::toNativeSeparators(report.file));
    if (!report.sheet.isEmpty())
        counts += QStringLiteral("\n工作表: %1,表头在第%2行").arg(report.sheet).arg(report.headerRow);
    counts += QStringLiteral("\n写入 %1 条,其中不完整 %2 条;跳过 %3 行;空行 %4 行。")
                  .arg(report.written)
                  .arg(report.incomplete)
                  .arg(report.skipped)
                  .arg(report.blank);
    if (report.stopRow > 0)
        counts += QStringLiteral("\n第%1行及以后的行没有导入。").arg(report.stopRow);
    auto *summary = new QLabel(counts, this);
    summary->setWordWrap(true);

    table_ = new QTableWidget(int(report.lines.size()), 4, this);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("行"), QStringLiteral("情况"), QStringLiteral("内容"), QStringLiteral("原因")});
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setWordWrap(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int i = 0; i < int(report.lines.size()); ++i) {
        const SheetImportReport::Line &line = report.lines.at(i);
        const QString row = line.row > 0 ? QString::number(line.row) : QStringLiteral("表头");
        const QString cells[] = {row, SheetImportReport::KindText(line.kind), line.what, line.why};
        for (int c = 0; c < 4; ++c)
            table_->setItem(i, c, new QTableWidgetItem(cells[c]));
    }
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->resizeColumnsToContents();
    table_->setColumnWidth(2, std::min(table_->columnWidth(2), 200));

    save_ = new QPushButton(QStringLiteral("保存为文本..."), this);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setDefault(true);
    connect(save_, &QPushButton::clicked, this, [this] { SaveAsText(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(save_);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(message_);
    layout->addWidget(summary);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(720, report.lines.isEmpty() ? 220 : 460);
}

CImportSummaryDlg *CImportSummaryDlg::Show(const SheetImportReport &report, FileChooser &files, Prompter &prompter,
                                           QWidget *parent)
{
    auto *dialog = new CImportSummaryDlg(report, files, prompter, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

bool CImportSummaryDlg::SaveAsText()
{
    int filter = 0;
    const QString path =
        files_.saveFileName(this, QStringLiteral("保存导入结果"), {QStringLiteral("文本文件 (*.txt)")}, &filter);
    if (path.isEmpty())
        return false;
    const QString target = QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".txt") : path;
    QString why;
    if (!report_.SaveText(target, &why)) {
        prompter_.error(QString(),
                        QStringLiteral("文件保存失败:\r\n%1\r\n%2").arg(QDir::toNativeSeparators(target), why));
        return false;
    }
    prompter_.inform(QString(), QStringLiteral("文件保存在:\r\n") + QDir::toNativeSeparators(target));
    return true;
}

} // namespace quarvel
