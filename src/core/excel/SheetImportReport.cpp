#include "excel/SheetImportReport.h"
#include "storage/FileReplace.h"

#include <QDir>

namespace quarvel {

void SheetImportReport::add(int row, Kind kind, const QString &what, const QString &why)
{
    if (kind == Kind::Skipped)
        ++skipped;
    lines.append({row, kind, what, why});
}

QString SheetImportReport::Accounting() const
{
    if (dataRows() == 0)
        return QStringLiteral("表头下面没有数据行。");
    return QStringLiteral("表中数据%1行(第%2行至第%3行):完整写入%4条,不完整写入%5条,跳过%6行,空行%7行。")
        .arg(dataRows())
        .arg(firstDataRow)
        .arg(lastDataRow)
        .arg(written - incomplete)
        .arg(incomplete)
        .arg(skipped)
        .arg(blank);
}

bool SheetImportReport::isError() const
{
    return outcome == Outcome::NotStarted || outcome == Outcome::Failed;
}

QStringList SheetImportReport::rowLines() const
{
    QStringList out;
    for (const Line &line : lines)
        if (line.row > 0 && line.kind != Kind::Changed)
            out << QStringLiteral("%1\t%2\t%3").arg(line.row).arg(line.what, line.why);
    return out;
}

QString SheetImportReport::KindText(Kind kind)
{
    switch (kind) {
    case Kind::Skipped:
        return QStringLiteral("跳过");
    case Kind::Incomplete:
        return QStringLiteral("不完整");
    case Kind::Changed:
        return QStringLiteral("有改动");
    }
    return QString();
}

QString SheetImportReport::Text() const
{
    QStringList out;
    if (dryRun)
        out << QStringLiteral("试运行:没有写入任何记录,以下是实际导入时的结果。");
    if (!file.isEmpty())
        out << QStringLiteral("文件: ") + QDir::toNativeSeparators(file);
    if (!sheet.isEmpty())
        out << QStringLiteral("工作表: %1,表头在第%2行").arg(sheet).arg(headerRow);
    out << message;
    out << QStringLiteral("写入: %1 条(其中不完整 %2 条)").arg(written).arg(incomplete);
    out << QStringLiteral("跳过: %1 行").arg(skipped);
    if (stopRow > 0)
        out << QStringLiteral("第%1行及以后的行没有导入。").arg(stopRow);
    if (!lines.isEmpty())
        out << QStringLiteral("────────────────────");
    for (const Line &line : lines) {
        const QString where = line.row > 0 ? QStringLiteral("第%1行").arg(line.row) : QStringLiteral("表头");
        out << QStringLiteral("%1\t%2\t%3\t%4").arg(where, KindText(line.kind), line.what, line.why);
    }
    return out.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

bool SheetImportReport::SaveText(const QString &path, QString *error) const
{
    // With its byte-order mark Windows editors take it as UTF-8.
    return FileReplace::Write(path, "\xEF\xBB\xBF" + Text().toUtf8(), error);
}

} // namespace quarvel
