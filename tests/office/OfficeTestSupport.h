#pragma once

#include "OfficeEngine.h"
#include "app/ScriptedPrompter.h"
#include "excel/ExcelSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <optional>
#include <ostream>

// Readable QStrings in failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

// What the office tests share: the process's office engine (started once per
// test program and ended when the program ends, checking that the office is
// gone), and independent readers of the results: xlrd for .xls files and
// poppler's tools for PDFs.
namespace officetest {

inline quarvel::OfficeEngine &engine()
{
    return quarvel::OfficeEngine::processEngine();
}

inline bool processAlive(qint64 pid)
{
    if (pid <= 0 || ::kill(pid_t(pid), 0) != 0)
        return false;
    // A zombie has ended; only its parent has not collected it yet.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close < 0 || line.mid(close + 2, 1) != "Z";
}

// Waits up to ms for the process to end.
inline bool processEnds(qint64 pid, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (processAlive(pid)) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

inline QByteArray run(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}

// The workbook as xlrd reads it (see xls_probe.py).
inline QJsonObject readXls(const QString &path, bool valuesOnly = false)
{
    QStringList args{QStringLiteral(QUARVEL_SOURCE_DIR "/tests/office/xls_probe.py")};
    if (valuesOnly)
        args << QStringLiteral("--values-only");
    args << path;
    int code = 0;
    const QByteArray out = run(QStringLiteral("/usr/bin/python3"), args, &code);
    EXPECT_EQ(code, 0) << "xlrd could not read " << path.toStdString();
    return QJsonDocument::fromJson(out).object();
}

inline QJsonObject cell(const QJsonObject &book, const char *address)
{
    return book[QStringLiteral("cells")].toObject()[QLatin1String(address)].toObject();
}

inline QString pdfText(const QString &path)
{
    return QString::fromUtf8(run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")}));
}

inline int pdfPages(const QString &path)
{
    const QString info = QString::fromUtf8(run(QStringLiteral("pdfinfo"), {path}));
    for (const QString &line : info.split(u'\n'))
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// A word of a PDF page and where it stands (points from the top left).
struct Word {
    QString text;
    double x;
    double y;
    double right;
    double bottom;
};

inline QList<Word> pdfWords(const QString &pdf, double &pageWidth)
{
    const QString html =
        QString::fromUtf8(run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}));
    pageWidth = QRegularExpression(QStringLiteral("<page width=\"([0-9.]+)\"")).match(html).captured(1).toDouble();
    const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    QList<Word> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.append({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                      m.captured(4).toDouble()});
    }
    return words;
}

inline std::optional<Word> wordOf(const QList<Word> &words, const QString &text)
{
    for (const Word &w : words)
        if (w.text == text)
            return w;
    return std::nullopt;
}

// Every barcode a scanner reads on page 1, rendered at 200 dpi, sorted.
inline QStringList scanned(const QString &pdf, const QString &folder)
{
    const QString image = QDir(folder).filePath(QFileInfo(pdf).completeBaseName());
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("200"), QStringLiteral("-png"),
                                     QStringLiteral("-singlefile"), pdf, image});
    const QString out = QString::fromUtf8(run(
        QStringLiteral("zbarimg"), {QStringLiteral("-q"), QStringLiteral("--raw"), image + QStringLiteral(".png")}));
    QStringList codes = out.split(u'\n', Qt::SkipEmptyParts);
    codes.sort();
    return codes;
}

// Excel's displayed column width for a stored .xls width (1/256 of a
// digit) with a 7-pixel digit (Arial or Liberation Sans 10): the pixel
// width Excel draws, less its 5-pixel margin, in digits.
inline double excelColumnWidth(int stored)
{
    const int pixels = int((stored + 128 / 7) / 256.0 * 7);
    return std::round((pixels - 5) / 7.0 * 100) / 100;
}

// A temporary folder that holds the files of one test.
class Folder {
public:
    QString file(const QString &name) const { return dir_.filePath(name); }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

// The waybill template of tests/data/office as .xls bytes (also left in
// folder as template.xls), converted by the office from its text source.
QByteArray templateBytes(const Folder &folder);

} // namespace officetest
