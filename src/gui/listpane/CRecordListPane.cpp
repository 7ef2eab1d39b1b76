#include "listpane/CRecordListPane.h"

#include "app/Prompter.h"
#include "excel/ExcelSession.h"
#include "list/ListTextExport.h"
#include "print/DocumentPrinter.h"
#include "print/PagePrintRunner.h"
#include "shell/FileChooser.h"
#include "shell/FrameTexts.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace quarvel {

namespace {

// The "翻页到第" label works like a link: a click jumps to the page typed.
class JumpLabel : public QLabel {
public:
    JumpLabel(const QString &text, std::function<void()> clicked, QWidget *parent)
        : QLabel(text, parent), clicked_(std::move(clicked))
    {
        setCursor(Qt::PointingHandCursor);
        setStyleSheet(QStringLiteral("color: rgb(0,128,0);"));
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            clicked_();
    }

private:
    std::function<void()> clicked_;
};

const QString kSaved = QStringLiteral("文件已经保存。");

} // namespace

CRecordListPane::CRecordListPane(PageEnv &env, const QString &captionPrefix, QWidget *parent)
    : QWidget(parent), env_(env), captionPrefix_(captionPrefix)
{
    layout_ = new QHBoxLayout(this);
    layout_->setContentsMargins(10, 4, 10, 4);
    auto *right = new QVBoxLayout;
    auto *captionRow = new QHBoxLayout;
    caption_ = new QLabel(this);
    pageLabel_ = new JumpLabel(
        QStringLiteral("翻页到第"), [this] { JumpToPage(pageBox_->text().remove(QStringLiteral("页")).toInt()); },
        this);
    pageBox_ = new QLineEdit(this);
    pageBox_->setFixedWidth(60);
    connect(pageBox_, &QLineEdit::returnPressed, this,
            [this] { JumpToPage(pageBox_->text().remove(QStringLiteral("页")).toInt()); });
    captionRow->addWidget(caption_, 1);
    captionRow->addWidget(pageLabel_);
    captionRow->addWidget(pageBox_);
    list_ = new CRecordListCtrl(env.prompter, this);
    right->addLayout(captionRow);
    right->addWidget(list_, 1);
    layout_->addLayout(right, 1);
    setPaging(false);

    connect(list_, &CRecordListCtrl::rowDoubleClicked, this, [this](int row) { OpenRow(row); });
    connect(list_, &CRecordListCtrl::rowRemoved, this, [this] { UpdateCaption(); });
    connect(&list_->list(), &RecordListModel::largeSort, this, [](int phase, int) {
        if (phase == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    connect(&list_->list(), &QAbstractItemModel::rowsInserted, this, [this] { UpdateCaption(); });
    connect(&list_->list(), &QAbstractItemModel::rowsRemoved, this, [this] { UpdateCaption(); });
    connect(&list_->list(), &QAbstractItemModel::modelReset, this, [this] { UpdateCaption(); });
    UpdateCaption();
}

void CRecordListPane::setLeftForm(QWidget *form, int width)
{
    form_ = form;
    formWidth_ = width;
    form->setParent(this);
    form->setFixedWidth(width);
    layout_->insertWidget(0, form);
    form->setVisible(!flags_.formHidden);
}

void CRecordListPane::setPaging(bool on)
{
    paging_ = on;
    pageLabel_->setVisible(on);
    pageBox_->setVisible(on);
}

void CRecordListPane::SetFormHidden(bool hidden)
{
    flags_.formHidden = hidden;
    if (form_)
        form_->setVisible(!hidden);
    if (saveFollowsForm_)
        flags_.canSave = !hidden;
    publishFlags();
}

void CRecordListPane::FocusEntry()
{
    list_->setFocus(Qt::OtherFocusReason);
}

void CRecordListPane::Initialise()
{
    SetFormHidden(true);
}

QString CRecordListPane::captionText() const
{
    return FrameTexts::ListCaption(captionPrefix_, list_->list().rowCount());
}

void CRecordListPane::UpdateCaption()
{
    caption_->setText(captionText());
}

void CRecordListPane::SelectAll()
{
    list_->selectAll();
}

int CRecordListPane::CollectSelectedIds(QList<int> &ids)
{
    ids.clear();
    for (int row : list_->selectedRowIndexes()) {
        const int id = list_->list().GetRowId(row);
        if (id > 0)
            ids.append(id);
    }
    return static_cast<int>(ids.size());
}

CRecordListPane::~CRecordListPane() = default;

void CRecordListPane::Print()
{
    if (list_->list().rowCount() == 0)
        return;
    if (!reportPrinter_)
        reportPrinter_ = std::make_unique<PagePrintRunner>(env_, this);
    if (reportPreview_)
        reportPrinter_->setPreview(reportPreview_);
    if (reportPrinter_->busy())
        return;
    const ListSnapshot snapshot = list_->list().snapshot(captionPrefix_);
    const PrintOutcome outcome =
        reportPrinter_->printOne([&snapshot](DocumentPrinter &printer) { return printer.PrintList(snapshot); });
    if (outcome.status == PrintOutcome::Status::Printed && env_.showOperation)
        env_.showOperation(QStringLiteral("列表已打印：%1").arg(QDir::toNativeSeparators(outcome.file)));
}

void CRecordListPane::ExportReport()
{
    ExportList(captionPrefix_);
}

bool CRecordListPane::ExportList(const QString &title)
{
    if (list_->list().rowCount() == 0)
        return false;
    bool text = false;
    const QString path = ChooseExportFile(&text);
    return !path.isEmpty() && WriteExport(path, text, list_->list().snapshot(title));
}

QString CRecordListPane::ChooseExportFile(bool *text)
{
    const QStringList filters{QStringLiteral("Excel表格 (*.xls)"), QStringLiteral("文本文件 (*.txt)")};
    int filter = 0;
    QString path = env_.files.saveFileName(this, QString(), filters, &filter);
    if (path.isEmpty())
        return path;
    *text = filter == 1;
    const QString extension = *text ? QStringLiteral(".txt") : QStringLiteral(".xls");
    if (path.endsWith(extension, Qt::CaseInsensitive))
        return path;
    // The dialog asked about the name as typed, not about this one.
    path += extension;
    if (QFileInfo::exists(path) &&
        !env_.prompter.ask(QString(),
                           QStringLiteral("文件:\"%1\"已经存在,\r\n替换掉吗?").arg(QDir::toNativeSeparators(path))))
        return QString();
    return path;
}

bool CRecordListPane::WriteExport(const QString &path, bool text, const ListSnapshot &snapshot)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (text) {
        if (!ListTextExport::Write(path, snapshot, stamp)) {
            env_.prompter.error(QString(), QStringLiteral("文件创建失败。"));
            return false;
        }
        env_.prompter.inform(QString(), kSaved);
        return true;
    }
    if (!env_.exportExcel) {
        env_.prompter.error(QString(), ExcelSession::CannotStartText());
        return false;
    }
    return env_.exportExcel(path, snapshot);
}

void CRecordListPane::setPageBoxText(const QString &text)
{
    pageBox_->setText(text);
}

QString CRecordListPane::pageBoxText() const
{
    return pageBox_->text();
}

} // namespace quarvel
