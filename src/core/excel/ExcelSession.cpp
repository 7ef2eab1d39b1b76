#include "excel/ExcelSession.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"
#include "storage/DiskSpace.h"
#include "storage/SystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>

namespace quarvel {

namespace {

const QString kMissingFile = QStringLiteral("文件不存在。");
const QString kUserCancelled = QStringLiteral("用户选择放弃操作。");
const QString kReplaceFailed = QStringLiteral("文件替换失败,可能是共享冲突。");
const QString kCannotStart = QStringLiteral("无法启动LibreOffice服务!\r\n请在本机上安装LibreOffice Calc !");
const QString kCreateFailed = QStringLiteral("文件创建失败。");
const QString kNotOpen = QStringLiteral("没有打开的工作簿。");

// Excel's quote prefix: a leading apostrophe marks the rest as text and is not stored.
QString storedText(const QString &text)
{
    return text.startsWith(u'\'') ? text.mid(1) : text;
}

} // namespace

ExcelSession::ExcelSession(SpreadsheetEngine *engine, Prompter &prompter, const QString &tempFolder,
                           const PrintDestination &destination)
    : engine_(engine), prompter_(prompter), tempFolder_(tempFolder), destination_(destination)
{
}

ExcelSession::ExcelSession(ClientContext &context, Prompter &prompter)
    : ExcelSession(context.spreadsheetEngine(), prompter, context.path(QStringLiteral("DATA_TEMP")),
                   PrintDestination::Load(context.root()))
{
}

ExcelSession::~ExcelSession()
{
    Quit();
}

bool ExcelSession::OpenNew(const QString &sheetName, const QString &path, const QString &sourcePath, bool)
{
    return open(sheetName, path, sourcePath, nullptr);
}

bool ExcelSession::OpenFromBytes(const QString &sheetName, const QString &path, const QByteArray &bytes, bool)
{
    return open(sheetName, path, QString(), &bytes);
}

bool ExcelSession::begin(const QString &path)
{
    if (state_ == State::Ended)
        return fail(kNotOpen);
    if (document_)
        document_->close();
    document_.reset();
    state_ = State::Closed;
    errorText_.clear();
    path_ = QFileInfo(path).absoluteFilePath();
    return true;
}

bool ExcelSession::open(const QString &sheetName, const QString &path, const QString &sourcePath,
                        const QByteArray *bytes)
{
    if (!begin(path))
        return false;
    const QString nameProblem = SheetNameProblem(sheetName);
    if (!sheetName.isEmpty() && !nameProblem.isEmpty())
        return fail(nameProblem);
    if (!startEngine() || !prepareTarget(bytes == nullptr || confirmOverwrite_))
        return false;
    bool placed = false;
    int placeError = 0;
    if (!placeStartingWorkbook(sourcePath, bytes, placed, placeError))
        return fail(placeError == 0
                        ? kCreateFailed
                        : kCreateFailed + QStringLiteral("\r\n%1：%2")
                                              .arg(QDir::toNativeSeparators(path_), SystemError::Reason(placeError)));

    QString error;
    document_ = placed ? engine_->open(path_, SpreadsheetEngine::Access::Edit, &error) : engine_->create(path_, &error);
    if (!document_) {
        // The file was made here for this workbook only; do not leave it half-done.
        QFile::remove(path_);
        return fail(error);
    }
    state_ = State::Open;
    if (!sheetName.isEmpty() && !document_->renameSheet(sheetName)) {
        failFromDocument();
        document_->close();
        document_.reset();
        QFile::remove(path_);
        return false;
    }
    return true;
}

// The template's bytes or a copy of the source at path; placed stays false
// when neither applies (a new empty workbook is made then). False when the
// bytes could not be written completely.
bool ExcelSession::placeStartingWorkbook(const QString &sourcePath, const QByteArray *bytes, bool &placed, int &error)
{
    if (!bytes) {
        placed = !sourcePath.isEmpty() && QFileInfo::exists(sourcePath) && QFile::copy(sourcePath, path_);
        return true;
    }
    QFile file(path_);
    if (bytes->isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return true;
    placed = file.write(*bytes) == bytes->size() && file.flush();
    // The system's reason, before closing and removing can overwrite it.
    error = placed ? 0 : (errno != 0 ? errno : EIO);
    file.close();
    if (!placed)
        QFile::remove(path_);
    return placed;
}

bool ExcelSession::OpenExisting(const QString &path)
{
    if (!begin(path))
        return false;
    if (path.isEmpty() || !QFileInfo(path_).isFile())
        return fail(kMissingFile);
    if (!startEngine())
        return false;
    QString error;
    document_ = engine_->open(path_, SpreadsheetEngine::Access::Read, &error);
    if (!document_)
        return fail(error);
    state_ = State::Open;
    return true;
}

bool ExcelSession::OpenForImport(const QString &path)
{
    if (!begin(path))
        return false;
    if (path.isEmpty() || !QFileInfo(path_).isFile())
        return fail(kMissingFile);
    if (!startEngine())
        return false;
    QString error;
    document_ = engine_->openForImport(path_, SheetFileFormat::OfFile(path_), &error);
    if (document_) {
        state_ = State::Open;
        return true;
    }
    // A protected file was recognised; any other refusal means no format read it.
    if (!error.contains(QStringLiteral("密码")))
        error += QStringLiteral("\r\n") + SheetFileFormat::TriedText();
    return fail(error);
}

bool ExcelSession::GetSheetNames(QStringList &names)
{
    names.clear();
    if (!usable())
        return false;
    return document_->sheetNames(names) || failFromDocument();
}

bool ExcelSession::SelectSheet(int index)
{
    if (!usable())
        return false;
    return document_->selectSheet(index) || failFromDocument();
}

bool ExcelSession::SetShownColumns(const QList<int> &columns)
{
    if (!usable())
        return false;
    return document_->setShownColumns(columns) || failFromDocument();
}

bool ExcelSession::SetShownColumnsAll()
{
    QList<int> all;
    for (int c = 1; c <= kMaxColumns; ++c)
        all << c;
    return SetShownColumns(all);
}

bool ExcelSession::startEngine()
{
    QString detail;
    if (engine_ && engine_->start(&detail))
        return true;
    return fail(kCannotStart);
}

bool ExcelSession::prepareTarget(bool ask)
{
    if (!QFileInfo::exists(path_) && !QFileInfo(path_).isSymLink())
        return true;
    if (ask) {
        const QString question = QStringLiteral("文件:") + u'"' + QDir::toNativeSeparators(path_) + u'"' +
                                 QStringLiteral("已经存在,\r\n替换掉吗?");
        if (!prompter_.ask(QString(), question))
            return fail(kUserCancelled);
    }
    if (!QFile::remove(path_))
        return fail(kReplaceFailed);
    return true;
}

bool ExcelSession::SetCellText(int row, int column, const QString &text)
{
    if (!usable() || !checkCell(row, column))
        return false;
    return document_->setText(row, column, storedText(text)) || failFromDocument();
}

bool ExcelSession::SetCells(int row, int column, const QList<QList<QVariant>> &rows)
{
    if (!usable())
        return false;
    qsizetype width = 0;
    for (const QList<QVariant> &r : rows)
        width = std::max(width, r.size());
    if (rows.isEmpty() || width == 0)
        return true;
    if (!checkCell(row, column) || !checkCell(row + int(rows.size()) - 1, column + int(width) - 1))
        return false;
    QList<QList<QVariant>> cells;
    cells.reserve(rows.size());
    for (const QList<QVariant> &r : rows) {
        QList<QVariant> out;
        out.reserve(width);
        for (const QVariant &v : r)
            out.append(v.typeId() == QMetaType::QString ? QVariant(storedText(v.toString())) : v);
        out.resize(width);
        cells.append(std::move(out));
    }
    return document_->setBlock(row, column, cells) || failFromDocument();
}

QString ExcelSession::GetCellText(int row, int column)
{
    QString text;
    if (!usable() || !checkCell(row, column))
        return QString();
    if (!document_->cellText(row, column, text)) {
        failFromDocument();
        return QString();
    }
    return text;
}

bool ExcelSession::GetUsedExtent(int &rows, int &columns)
{
    rows = columns = 0;
    if (!usable())
        return false;
    return document_->usedExtent(rows, columns) || failFromDocument();
}

bool ExcelSession::GetCells(int row, int column, int rows, int columns, SheetBlock &cells)
{
    cells.clear();
    if (!usable() || !checkCell(row, column))
        return false;
    if (rows <= 0 || columns <= 0)
        return true;
    return document_->readBlock(row, column, rows, columns, cells) || failFromDocument();
}

bool ExcelSession::SetColumnWidth(int column, int pixels)
{
    if (!usable() || !checkCell(1, column))
        return false;
    return document_->setColumnWidth(column, ColumnWidthForPixels(pixels)) || failFromDocument();
}

bool ExcelSession::MergeCells(int firstRow, int firstColumn, int lastRow, int lastColumn)
{
    if (!usable() || !checkCell(firstRow, firstColumn) || !checkCell(lastRow, lastColumn))
        return false;
    return document_->merge(std::min(firstRow, lastRow), std::min(firstColumn, lastColumn), std::max(firstRow, lastRow),
                            std::max(firstColumn, lastColumn)) ||
           failFromDocument();
}

bool ExcelSession::PrintSheet(int fromPage, int toPage, int copies, bool preview)
{
    if (!ExportSheet(fromPage, toPage))
        return false;
    if (preview) {
        if (!QProcess::startDetached(QStringLiteral("xdg-open"), {printedFile_}))
            return fail(QStringLiteral("无法打开打印预览:\r\n") + QDir::toNativeSeparators(printedFile_));
        return true;
    }
    QString error;
    return destination_.Send(printedFile_, copies, documentTitle(), &error) || fail(error);
}

bool ExcelSession::ExportSheet(int fromPage, int toPage)
{
    if (!usable())
        return false;
    fromPage = std::max(1, fromPage);
    toPage = std::max(fromPage, toPage);
    QString reason;
    const QString pdf = pdfPath(&reason);
    if (pdf.isEmpty())
        return fail(QStringLiteral("打印失败:\r\n") + reason);
    if (!document_->exportPdf(pdf, fromPage, toPage)) {
        QFile::remove(pdf);
        return failFromDocument();
    }
    printedFile_ = pdf;
    return true;
}

QString ExcelSession::documentTitle() const
{
    return title_.isEmpty() ? QFileInfo(path_).completeBaseName() : title_;
}

QString ExcelSession::pdfPath(QString *reason) const
{
    QString folder = destination_.isFolder() ? destination_.folder() : tempFolder_;
    if (folder.isEmpty())
        folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder)) {
        *reason = QStringLiteral("无法创建打印文件的目录。");
        return QString();
    }
    return PrintDestination::ReserveFileName(folder, PrintDestination::FileNameOf(documentTitle()), reason);
}

bool ExcelSession::SaveAndClose()
{
    if (!usable()) {
        if (document_)
            document_->close();
        document_.reset();
        return false;
    }
    const bool saved = document_->save(path_);
    if (!saved)
        failFromDocument();
    document_->close();
    document_.reset();
    if (saved)
        state_ = State::Closed;
    return saved;
}

void ExcelSession::Quit()
{
    if (quitCount_.fetch_add(1) != 0)
        return;
    if (document_)
        document_->close();
    document_.reset();
    state_ = State::Ended;
}

bool ExcelSession::usable()
{
    if (state_ == State::Open && document_)
        return true;
    if (state_ != State::Failed)
        fail(kNotOpen);
    return false;
}

bool ExcelSession::checkCell(int row, int column)
{
    if (row >= 1 && column >= 1 && row <= kMaxRows && column <= kMaxColumns)
        return true;
    return fail(QStringLiteral("单元格超出Excel表格的范围:第%1行,第%2列。").arg(row).arg(column));
}

bool ExcelSession::fail(const QString &text)
{
    if (state_ == State::Failed)
        return false;
    errorText_ = text;
    // A full disk is said in so many words, whatever the office called it.
    if (text != kUserCancelled && text != kCannotStart && text != kNotOpen)
        if (const QString full = DiskSpace::FullText(
                {path_, tempFolder_ + QStringLiteral("/x"),
                 destination_.isFolder() ? destination_.folder() + QStringLiteral("/x") : QString()});
            !full.isEmpty())
            errorText_ += QStringLiteral("\r\n") + full;
    if (state_ != State::Ended)
        state_ = State::Failed;
    return false;
}

bool ExcelSession::failFromDocument()
{
    return fail(document_ ? document_->errorText() : kNotOpen);
}

QString ExcelSession::CannotStartText()
{
    return kCannotStart;
}

QString ExcelSession::CellAddress(int row, int column)
{
    if (row < 1 || column < 1)
        return QString();
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

int ExcelSession::ColumnWidthForPixels(int pixels)
{
    return pixels <= 0 ? 0 : (pixels + 7) / 8;
}

QString ExcelSession::SheetNameProblem(const QString &name)
{
    const QString problem = QStringLiteral("工作表名称\"%1\"无效:").arg(name);
    if (name.trimmed().isEmpty())
        return problem + QStringLiteral("名称不能为空。");
    if (name.size() > 31)
        return problem + QStringLiteral("最多31个字符。");
    for (const QChar c : QStringLiteral(":\\/?*[]"))
        if (name.contains(c))
            return problem + QStringLiteral("不能含有 : \\ / ? * [ ] 。");
    if (name.startsWith(u'\'') || name.endsWith(u'\''))
        return problem + QStringLiteral("不能以单引号开头或结尾。");
    if (name.compare(QLatin1String("History"), Qt::CaseInsensitive) == 0)
        return problem + QStringLiteral("History是保留的名称。");
    return QString();
}

} // namespace quarvel
