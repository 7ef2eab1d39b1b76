#include "excel/WorkbookProbe.h"

#include "app/ScriptedPrompter.h"
#include "excel/ExcelSession.h"

#include <QDir>
#include <QTemporaryFile>

namespace quarvel {

bool WorkbookProbe::Opens(SpreadsheetEngine *engine, const QString &folder, const QByteArray &bytes)
{
    if (!engine || bytes.isEmpty())
        return false;
    QDir().mkpath(folder);
    // The office picks its import filter from the content; the extension is the template's own.
    QTemporaryFile file(QDir(folder).filePath(QStringLiteral("PROBE_XXXXXX.xls")));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return false;
    file.close();
    ScriptedPrompter silent(false);
    ExcelSession session(engine, silent, folder);
    const bool opened = session.OpenExisting(file.fileName());
    session.Quit();
    return opened;
}

} // namespace quarvel
