#include "preinput/PrintSelection.h"

#include "app/Prompter.h"

namespace quarvel {

QList<int> PrintSelection::Collect(const QList<Row> &selected, Prompter &prompter)
{
    QList<int> ids;
    for (const Row &row : selected) {
        if (row.waybill.size() < 8 || row.waybill.contains(QLatin1String("XXXX"))) {
            prompter.warning(QString(),
                             QStringLiteral("选择打印的含有未整理的运单号。\r\n请登入系统,整理运单号后,再选择打印。"));
            return {};
        }
        ids.append(row.id);
    }
    if (ids.isEmpty())
        prompter.warning(QString(), NothingSelectedText());
    return ids;
}

QString PrintSelection::NothingSelectedText()
{
    return QStringLiteral("没有在列表中选中要打印面单的记录。");
}

} // namespace quarvel
