#include "excel/SheetImport.h"

#include "excel/ExcelSession.h"
#include "excel/ImportLayouts.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <future>

#include <sys/stat.h>

namespace quarvel {

using Outcome = SheetImportReport::Outcome;

namespace {

// A header row names at least this many fields.
constexpr int kHeaderFields = 2;
// A layout the operator mapped before is the header wherever it is.
constexpr int kRememberedScore = 1000;

// What tells that the file is still the one being read: a file replaced,
// rewritten or removed under the import no longer matches.
QByteArray fileStamp(const QString &path)
{
    struct stat s {};
    if (::stat(QFile::encodeName(path).constData(), &s) != 0)
        return QByteArray();
    return QByteArray::number(qulonglong(s.st_dev)) + ':' + QByteArray::number(qulonglong(s.st_ino)) + ':' +
           QByteArray::number(qlonglong(s.st_size)) + ':' + QByteArray::number(qlonglong(s.st_mtim.tv_sec)) + '.' +
           QByteArray::number(qlonglong(s.st_mtim.tv_nsec));
}

bool isBlank(const QList<SheetCell> &cells)
{
    return std::all_of(cells.cbegin(), cells.cend(), [](const SheetCell &c) {
        return c.kind == SheetCell::Kind::Empty || (c.kind == SheetCell::Kind::Text && c.text.trimmed().isEmpty());
    });
}

QString quotedList(const QStringList &names)
{
    return names.join(u'、');
}

} // namespace

QString SheetImport::MissingColumnsText(const QStringList &headers)
{
    return QStringLiteral("缺少基本数据,不能导入!\r\n基本数据为:\r\n") + headers.join(QStringLiteral("\r\n"));
}

SheetImportReport SheetImport::Run(const QString &path)
{
    report_ = SheetImportReport();
    report_.file = path;
    failed_ = false;
    path_ = path;
    stamp_ = fileStamp(path);
    Candidate found;
    if (open(path) && findHeader(found))
        if (const std::optional<ImportHeader> header = settleHeader(found)) {
            rules_.takeHeader(*header);
            noteHeader(*header);
            if (readRows(*header, found)) {
                report_.outcome = Outcome::Finished;
                report_.message = rules_.finishedText(report_.written) + report_.Accounting();
            }
        }
    session_.Quit();
    return report_;
}

bool SheetImport::open(const QString &path)
{
    if (session_.OpenForImport(path))
        return true;
    report_.message = session_.GetErrorText();
    return false;
}

bool SheetImport::findHeader(Candidate &chosen)
{
    QStringList names;
    // Header texts are texts: the office need not work out what it shows of the numbers below them.
    if (!session_.GetSheetNames(names) || !session_.SetShownColumns({})) {
        report_.message = session_.GetErrorText();
        return false;
    }
    for (int i = 0; i < int(names.size()); ++i) {
        Candidate best;
        if (!scanSheet(i, names.at(i), best))
            return false;
        if (best.score > chosen.score)
            chosen = best;
        if (best.score >= kHeaderFields)
            break;
    }
    if (chosen.sheet < 0) {
        report_.message = QStringLiteral("文件的工作表都是空的,没有可导入的数据。");
        return false;
    }
    report_.sheet = chosen.name;
    report_.headerRow = chosen.row;
    if (chosen.rows > kMaxRows) {
        report_.message =
            QStringLiteral("工作表“%1”有%2行,超过了一次最多导入%3行的限度。\r\n请把表格分成几个文件再导入。")
                .arg(chosen.name)
                .arg(chosen.rows)
                .arg(kMaxRows);
        return false;
    }
    if (session_.SelectSheet(chosen.sheet))
        return true;
    report_.message = session_.GetErrorText();
    return false;
}

// The row of the sheet's first rows that names the most fields; an empty
// sheet leaves best as it is.
bool SheetImport::scanSheet(int index, const QString &name, Candidate &best)
{
    int rows = 0, columns = 0;
    if (!session_.SelectSheet(index) || !session_.GetUsedExtent(rows, columns)) {
        report_.message = session_.GetErrorText();
        return false;
    }
    if (rows == 0)
        return true;
    SheetBlock top;
    if (!session_.GetCells(1, 1, std::min(rows, kHeaderRows), std::min(columns, kMaxColumns), top)) {
        report_.message = session_.GetErrorText();
        return false;
    }
    for (int r = 0; r < int(top.size()); ++r) {
        const ImportHeader header(rules_.columns(), top.at(r));
        if (header.texts().isEmpty())
            continue;
        const int score = header.recognized() + (remembered(header) ? kRememberedScore : 0);
        if (score > best.score)
            best = {index, name, r + 1, rows, columns, score, top.at(r)};
    }
    return true;
}

std::optional<ColumnMap> SheetImport::remembered(const ImportHeader &header) const
{
    return layouts_ ? layouts_->find(rules_.kind(), header.layout()) : std::nullopt;
}

std::optional<ImportHeader> SheetImport::settleHeader(const Candidate &found)
{
    const ImportHeader plain(rules_.columns(), found.cells);
    const std::optional<ColumnMap> kept = remembered(plain);
    ColumnMap map = kept.value_or(ColumnMap());
    for (const auto &[header, field] : given_.entries())
        map.set(header, field);
    ImportHeader header(rules_.columns(), found.cells, map);
    bool remember = !given_.isEmpty();
    const bool unmappedColumns = !kept && given_.isEmpty() && !header.unused().isEmpty();
    if (question_ && (!header.missing().isEmpty() || unmappedColumns)) {
        if (!askForMap(found, header, map))
            return std::nullopt;
        remember = true;
    }
    if (const QStringList missing = header.missing(); !missing.isEmpty()) {
        report_.missing = missing;
        QString text = rules_.missingColumnsText();
        if (!text.endsWith(QLatin1String("\r\n")))
            text += QStringLiteral("\r\n");
        text += header.recognized() == 0
                    ? QStringLiteral("工作表“%1”的前%2行中没有找到表头。").arg(found.name).arg(kHeaderRows)
                    : QStringLiteral("工作表“%1”第%2行是表头,其中没有:%3。")
                          .arg(found.name)
                          .arg(found.row)
                          .arg(quotedList(missing));
        report_.message = text;
        return std::nullopt;
    }
    QString why;
    if (remember && remember_ && layouts_ && !layouts_->Remember(rules_.kind(), plain.layout(), map, &why))
        report_.add(0, SheetImportReport::Kind::Changed, QString(), why);
    return header;
}

bool SheetImport::askForMap(const Candidate &found, ImportHeader &header, ColumnMap &map)
{
    SheetBlock samples;
    const int sampleRows = std::min(ColumnMapForm::kSamples, found.rows - found.row);
    // The operator sees the values as the sheet shows them.
    if (sampleRows > 0 &&
        (!session_.SetShownColumnsAll() ||
         !session_.GetCells(found.row + 1, 1, sampleRows, std::min(found.columns, kMaxColumns), samples))) {
        report_.message = session_.GetErrorText();
        return false;
    }
    ColumnMapForm form(found.name, found.row, header, samples);
    if (!question_(form)) {
        report_.cancelled = true;
        report_.message = QStringLiteral("导入已取消,没有写入任何记录。");
        return false;
    }
    map = form.map();
    header = ImportHeader(rules_.columns(), found.cells, map);
    return true;
}

// The header's own lines in the summary: columns two headers fed and columns
// no field takes.
void SheetImport::noteHeader(const ImportHeader &header)
{
    for (const ImportHeader::Repeat &r : header.repeats())
        report_.add(0, SheetImportReport::Kind::Changed, header.caption(r.field),
                    QStringLiteral("第%1列“%2”和第%3列“%4”都是这一列,按第%3列导入。")
                        .arg(r.column)
                        .arg(header.texts().value(r.column - 1))
                        .arg(r.usedColumn)
                        .arg(header.texts().value(r.usedColumn - 1)));
    QStringList unused;
    for (const int c : header.unused())
        unused << QStringLiteral("第%1列“%2”").arg(c).arg(header.texts().at(c - 1));
    if (!unused.isEmpty())
        report_.add(0, SheetImportReport::Kind::Changed, QString(),
                    QStringLiteral("没有对应字段,未导入的列:%1").arg(quotedList(unused)));
}

bool SheetImport::readRows(const ImportHeader &header, const Candidate &found)
{
    const int width = std::max(header.lastColumn(), std::min(found.columns, kMaxColumns));
    const int first = found.row + 1;
    const int last = found.rows;
    report_.firstDataRow = first;
    report_.lastDataRow = last;
    QList<int> textColumns;
    for (int f = 0; f < int(header.known().size()); ++f) {
        const SheetValue::Type type = header.known().at(f).type;
        if (header.has(f) && (type == SheetValue::Type::Text || type == SheetValue::Type::Digits))
            textColumns << header.column(f);
    }
    if (!session_.SetShownColumns(textColumns))
        return stopAt(first, Outcome::Failed, session_.GetErrorText());
    // The office reads the next block while this thread writes the rows of
    // the last one; the session is still used by one thread at a time.
    const auto read = [this, width, last](int from) {
        return std::async(std::launch::async, [this, width, last, from] {
            Block block;
            block.ok = session_.GetCells(from, 1, std::min(kBlockRows, last - from + 1), width, block.cells);
            return block;
        });
    };
    std::future<Block> next = first <= last ? read(first) : std::future<Block>();
    for (int from = first; from <= last; from += kBlockRows) {
        const Block block = next.get();
        if (!block.ok)
            return stopAt(from, Outcome::Failed,
                          QStringLiteral("读取表格失败,导入停在第%1行,此前写入的%2条记录已保存:\r\n%3")
                              .arg(from)
                              .arg(report_.written)
                              .arg(session_.GetErrorText()));
        if (from + kBlockRows <= last)
            next = read(from + kBlockRows);
        for (int i = 0; i < int(block.cells.size()); ++i) {
            const int row = from + i;
            if ((row - first) % kProgressStep == 0 && !rowAllowed(row, last))
                return false;
            handleRow(header, row, block.cells.at(i));
            if (failed_)
                return false;
        }
    }
    return true;
}

// Between rows: the file is still the one being read, and the operator has not stopped.
bool SheetImport::rowAllowed(int row, int lastRow)
{
    if (fileStamp(path_) != stamp_)
        return stopAt(row, Outcome::Failed,
                      QStringLiteral("文件“%1”在导入过程中被删除或改写,导入停在第%2行,此前写入的%3条记录已保存。")
                          .arg(QDir::toNativeSeparators(path_))
                          .arg(row)
                          .arg(report_.written));
    if (progress_ && !progress_(row, lastRow))
        return stopAt(row, Outcome::Stopped,
                      QStringLiteral("导入已停止,第%1行及以后的行没有导入。\r\n此前写入的%2条记录已保存。")
                          .arg(row)
                          .arg(report_.written));
    return true;
}

void SheetImport::handleRow(const ImportHeader &header, int row, const QList<SheetCell> &cells)
{
    if (isBlank(cells)) {
        ++report_.blank;
        return;
    }
    if (rules_.importRow(row, ImportRow(header, cells), report_) == SheetImportRules::RowResult::Failed) {
        report_.outcome = Outcome::Failed;
        report_.stopRow = row;
        failed_ = true;
    }
}

bool SheetImport::stopAt(int row, SheetImportReport::Outcome outcome, const QString &message)
{
    report_.outcome = outcome;
    report_.stopRow = row;
    report_.message = message;
    return false;
}

} // namespace quarvel
