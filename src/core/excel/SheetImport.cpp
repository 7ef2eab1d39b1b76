#include "excel/SheetImport.h"

#include "excel/ExcelSession.h"

#include <algorithm>

namespace quarvel {

using Outcome = SheetImportReport::Outcome;

QString SheetImport::MissingColumnsText(const QStringList &headers)
{
    return QStringLiteral("缺少基本数据,不能导入!\r\n基本数据为:\r\n") + headers.join(QStringLiteral("\r\n"));
}

QString SheetImport::LongTextNote(qsizetype characters)
{
    return QStringLiteral("单元格有%1个字符,超过%2个,按空白处理。").arg(characters).arg(kLongText - 1);
}

QString SheetImport::CellText(const QString &cell)
{
    return cell.contains(QChar(0)) ? QString(cell).remove(QChar(0)) : cell;
}

SheetImportReport SheetImport::Run(const QString &path)
{
    report_ = SheetImportReport();
    report_.file = path;
    int rows = 0;
    if (!open(path, rows)) {
        session_.Quit();
        return report_;
    }
    SheetBlock first;
    if (!session_.GetCells(1, 1, 1, int(rules_.columns().size()), first)) {
        report_.message = session_.GetErrorText();
        session_.Quit();
        return report_;
    }
    const ImportHeader header(rules_.columns(), first.value(0));
    const QString refusal = rules_.checkHeader(header);
    if (!refusal.isEmpty()) {
        session_.Quit();
        report_.message = refusal;
        return report_;
    }
    for (const ImportHeader::Repeat &r : header.repeats())
        report_.add(0, SheetImportReport::Kind::Changed, header.caption(r.header),
                    QStringLiteral("表头出现两次(第%1列和第%2列),按第%2列导入。").arg(r.earlierColumn).arg(r.column));
    readRows(header, rows);
    session_.Quit();
    return report_;
}

bool SheetImport::open(const QString &path, int &rows)
{
    int columns = 0;
    if (!session_.OpenExisting(path) || !session_.GetUsedExtent(rows, columns)) {
        report_.message = session_.GetErrorText();
        return false;
    }
    if (rows == 0) {
        report_.message = QStringLiteral("文件的第一个工作表是空的,没有可导入的数据。");
        return false;
    }
    if (rows > kMaxRows) {
        report_.message = QStringLiteral("工作表有%1行,超过了一次最多导入%2行的限度。\r\n请把表格分成几个文件再导入。")
                              .arg(rows)
                              .arg(kMaxRows);
        return false;
    }
    return true;
}

bool SheetImport::readRows(const ImportHeader &header, int usedRows)
{
    const int width = header.lastColumn();
    // The row after the used area (or after the rows that may lack their
    // key) is empty and ends the import.
    const int lastRow = std::max(usedRows, rules_.lastRowWithoutKey()) + 1;
    for (int from = 2; from <= lastRow; from += kBlockRows) {
        const int count = std::min(kBlockRows, lastRow - from + 1);
        const int inside = std::min(count, usedRows - from + 1);
        SheetBlock block;
        if (inside > 0 && !session_.GetCells(from, 1, inside, width, block))
            return stopAt(from, Outcome::Failed,
                          QStringLiteral("读取表格失败,导入停在第%1行,此前写入的%2条记录已保存:\r\n%3")
                              .arg(from)
                              .arg(report_.written)
                              .arg(session_.GetErrorText()));
        for (int i = 0; i < count; ++i) {
            const int row = from + i;
            if (progress_ && (row - 2) % kProgressStep == 0 && !progress_(row, std::max(usedRows, 2)))
                return stopAt(row, Outcome::Stopped,
                              QStringLiteral("导入已停止,第%1行及以后的行没有导入。\r\n此前写入的%2条记录已保存。")
                                  .arg(row)
                                  .arg(report_.written));
            if (!handleRow(header, row, block.value(i)))
                return false;
            if (report_.outcome == Outcome::Finished)
                return true;
        }
    }
    return true;
}

bool SheetImport::handleRow(const ImportHeader &header, int row, const QList<SheetCell> &cells)
{
    const auto cellOf = [&](int h) {
        const int c = header.column(h);
        return c > 0 ? cells.value(c - 1) : SheetCell();
    };
    const QString key = cellOf(rules_.keyColumn()).importText().trimmed();
    if (key.isEmpty() && row > rules_.lastRowWithoutKey()) {
        report_.outcome = Outcome::Finished;
        report_.message = rules_.finishedText(report_.written);
        return true;
    }
    QStringList values;
    bool any = false;
    for (int h = 0; h < int(rules_.columns().size()); ++h) {
        const SheetCell cell = cellOf(h);
        if (cell.kind == SheetCell::Kind::Error) {
            report_.add(row, SheetImportReport::Kind::Skipped, key,
                        QStringLiteral("[%1]单元格的公式有错误(%2)").arg(header.caption(h), cell.text));
            return true;
        }
        values << cell.importText();
        any = any || !values.back().trimmed().isEmpty();
    }
    if (!any)
        return true;
    switch (rules_.importRow(row, values, report_)) {
    case SheetImportRules::RowResult::Written:
    case SheetImportRules::RowResult::Skipped:
        return true;
    case SheetImportRules::RowResult::Refused:
        report_.outcome = Outcome::Refused;
        report_.stopRow = row;
        return false;
    case SheetImportRules::RowResult::Failed:
        report_.outcome = Outcome::Failed;
        report_.stopRow = row;
        return false;
    }
    return false;
}

bool SheetImport::stopAt(int row, SheetImportReport::Outcome outcome, const QString &message)
{
    report_.outcome = outcome;
    report_.stopRow = row;
    report_.message = message;
    return false;
}

} // namespace quarvel
