#include "RecordIds.h"

#include "Cli.h"
#include "app/Prompter.h"
#include "storage/RecordFile.h"

#include <cstdint>
#include <cstring>

namespace quarvel {

std::optional<QList<int>> RecordIds::parse(const QStringList &args, const RecordFile &file, const QString &command)
{
    QList<int> ids;
    if (args == QStringList{QStringLiteral("--all")}) {
        for (int i = 0; i < file.GetCount(); ++i) {
            std::int32_t id = 0;
            std::memcpy(&id, file.GetRecord(i), sizeof id);
            ids.append(id);
        }
        return ids;
    }
    for (const QString &a : args) {
        bool ok = false;
        const int id = a.toInt(&ok);
        if (!ok || id <= 0) {
            Cli::usage(QStringLiteral("%1: a record id or --all expected, not %2").arg(command, a));
            return std::nullopt;
        }
        ids.append(id);
    }
    return ids;
}

int RecordIds::single(const QStringList &args)
{
    for (const QString &a : args) {
        if (a.startsWith(QLatin1String("--")))
            continue;
        bool ok = false;
        const int id = a.toInt(&ok);
        return ok && id > 0 ? id : -1;
    }
    return -1;
}

bool RecordIds::allKnown(const QList<int> &ids, const RecordFile &file, Prompter &prompter)
{
    QStringList unknown;
    for (int id : ids)
        if (file.FindIndexById(id) < 0)
            unknown << QString::number(id);
    if (unknown.isEmpty())
        return true;
    prompter.error(QString(), QStringLiteral("记录%1不存在。").arg(unknown.join(QStringLiteral(", "))));
    return false;
}

} // namespace quarvel
