#include "excel/ListExcelExport.h"

#include "app/Prompter.h"
#include "excel/ExcelSession.h"

#include <cmath>

namespace quarvel {

ListExcelExport::ListExcelExport(SpreadsheetEngine *engine, Prompter &prompter) : engine_(engine), prompter_(prompter)
{
}

QVariant ListExcelExport::CellValue(const QString &text, bool rightAligned)
{
    if (text.isEmpty())
        return QVariant();
    if (rightAligned) {
        bool ok = false;
        const double number = text.trimmed().toDouble(&ok);
        return ok && std::isfinite(number) ? QVariant(number) : QVariant(text);
    }
    return text.front().isDigit() ? QVariant(u'\'' + text) : QVariant(text);
}

QString ListExcelExport::Refusal(const ListSnapshot &list)
{
    const qsizetype rowLimit = ExcelSession::kMaxRows - kFirstRow + 1;
    if (list.rows.size() > rowLimit)
        return QStringLiteral("列表有%1行,Excel表格最多只能保存%2行,\r\n请导出为文本文件。")
            .arg(list.rows.size())
            .arg(rowLimit);
    if (list.columns.size() > ExcelSession::kMaxColumns)
        return QStringLiteral("列表有%1列,Excel表格最多只能保存%2列,\r\n请导出为文本文件。")
            .arg(list.columns.size())
            .arg(ExcelSession::kMaxColumns);
    return QString();
}

void ListExcelExport::Fill(ExcelSession &session, const ListSnapshot &list, const QDateTime &startedAt)
{
    session.SetCellText(1, 1, list.title);
    session.SetCellText(2, 1, u'(' + startedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + u')');
    for (qsizetype c = 0; c < list.columns.size(); ++c) {
        session.SetCellText(4, int(c) + 1, list.columns[c].caption);
        session.SetColumnWidth(int(c) + 1, list.columns[c].widthPixels);
    }
    for (qsizetype first = 0; first < list.rows.size(); first += kBlockRows) {
        QList<QList<QVariant>> block;
        const qsizetype end = std::min(list.rows.size(), first + kBlockRows);
        block.reserve(end - first);
        for (qsizetype r = first; r < end; ++r) {
            const QStringList &texts = list.rows[r];
            QList<QVariant> cells;
            cells.reserve(texts.size());
            for (qsizetype c = 0; c < texts.size() && c < list.columns.size(); ++c)
                cells.append(CellValue(texts[c], list.columns[c].rightAligned));
            block.append(std::move(cells));
        }
        session.SetCells(kFirstRow + int(first), 1, block);
    }
}

bool ListExcelExport::Export(const ListSnapshot &list, const QString &fileName, const QDateTime &startedAt)
{
    const auto refuse = [this](const QString &text) {
        prompter_.error(QString(), text);
        return false;
    };
    if (const QString refusal = Refusal(list); !refusal.isEmpty())
        return refuse(refusal);
    ExcelSession session(engine_, prompter_, QString());
    session.SetConfirmOverwrite(confirmOverwrite_);
    if (!session.OpenNew(QStringLiteral("LIST"), fileName))
        return refuse(session.GetErrorText());
    Fill(session, list, startedAt);
    if (!session.SaveAndClose())
        return refuse(session.GetErrorText());
    prompter_.inform(QString(), QStringLiteral("文件已经保存。"));
    return true;
}

} // namespace quarvel
