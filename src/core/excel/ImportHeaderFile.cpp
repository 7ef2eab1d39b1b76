#include "excel/ImportHeaderFile.h"

#include "app/Prompter.h"
#include "excel/ExcelSession.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quarvel {

QString ImportHeaderFile::DefaultPath(const QString &dataTemp, const QString &fileName)
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QString folder = !desktop.isEmpty() && QFileInfo(desktop).isDir() ? desktop : dataTemp;
    return QDir(folder).filePath(fileName);
}

bool ImportHeaderFile::Export(ExcelSession &session, Prompter &prompter, const QString &sheetName, const QString &path,
                              const QList<ImportColumn> &columns)
{
    if (!session.OpenNew(sheetName, path)) {
        prompter.error(QString(), session.GetErrorText());
        return false;
    }
    for (int i = 0; i < int(columns.size()); ++i) {
        session.SetCellText(1, i + 1, columns.at(i).caption());
        session.SetColumnWidth(i + 1, columns.at(i).width);
    }
    if (!session.SaveAndClose()) {
        prompter.error(QString(), session.GetErrorText());
        return false;
    }
    prompter.inform(QString(), QStringLiteral("文件保存在:\r\n") + QDir::toNativeSeparators(path));
    return true;
}

} // namespace quarvel
