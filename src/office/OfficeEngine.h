#pragma once

#include "OfficeProcess.h"
#include "OfficeThread.h"
#include "excel/SpreadsheetEngine.h"

#include <QString>

#include <functional>
#include <memory>

namespace quarvel {

class OfficeBackend;

// The spreadsheet engine on LibreOffice Calc: one private headless office,
// started on first use, reused for every document, started again after it
// died, and ended by shutdown() (or, when the program ends without it, by
// the office's parent-death signal). Every call into the office is made on
// the one office thread; callers on other threads wait for it. A call that
// hangs longer than the patience is taken for a hung office, which is then
// killed, so that no caller waits for ever.
class OfficeEngine final : public SpreadsheetEngine {
public:
    struct Options {
        // The folder of soffice.bin; empty: /usr/lib/libreoffice/program.
        QString programFolder;
        // The UNO module; empty: beside the program, else the one of the build tree.
        QString modulePath;
        // Where the profile slots live; empty: the user's cache folder.
        QString profileBase;
        int startTimeoutMs = 60000;
        int callPatienceMs = 120000;
    };

    OfficeEngine();
    explicit OfficeEngine(const Options &options);
    ~OfficeEngine() override;
    OfficeEngine(const OfficeEngine &) = delete;
    OfficeEngine &operator=(const OfficeEngine &) = delete;

    bool start(QString *errorText) override;
    std::unique_ptr<SpreadsheetDocument> create(const QString &path, QString *errorText) override;
    std::unique_ptr<SpreadsheetDocument> open(const QString &path, Access access, QString *errorText) override;
    std::unique_ptr<SpreadsheetDocument> openForImport(const QString &path, const SheetFileFormat &format,
                                                       QString *errorText) override;

    // Ends the office now; documents still open are lost. The next use starts a new office.
    void shutdown();
    // The process id of the running office, 0 when none runs.
    qint64 officeProcessId() const;
    // The files of the office's named pipes (empty before the first start).
    QStringList pipeFiles() const { return process_.pipeFiles(); }
    int openDocumentCount();

    // The one engine of the process, made on first call (the office itself
    // starts on first use). It is never destroyed: end its office with
    // shutdownProcessEngine() before main returns. Should the program end
    // without it, the office is killed as its thread ends.
    static OfficeEngine &processEngine();
    static void shutdownProcessEngine();

private:
    friend class OfficeDocument;

    using Operation = std::function<bool(OfficeBackend &, QString &)>;

    // Runs op on the office thread against the office the document was opened in.
    bool call(quint64 generation, const Operation &op, QString &error);
    void closeDocument(quint64 generation, int id);
    std::unique_ptr<SpreadsheetDocument> openDocument(const std::function<int(OfficeBackend &, QString &)> &op,
                                                      QString *errorText);
    void onOfficeThread(const std::function<void()> &job, int patienceMs);
    bool ensureRunning(QString &error);
    bool launchAndConnect(QString &error);
    bool loadBackend(QString &error);
    QStringList modulePaths() const;
    void lose();
    void stopOffice();

    Options options_;
    OfficeProcess process_;
    std::unique_ptr<OfficeBackend> backend_;
    bool connected_ = false;
    // Counts the offices started; a document belongs to the one it was opened in.
    quint64 generation_ = 0;
    // Last member: the thread ends before the office state it uses goes.
    OfficeThread thread_;
};

} // namespace quarvel
