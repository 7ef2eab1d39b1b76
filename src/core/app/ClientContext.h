#pragma once

#include "app/ProgramSettings.h"
#include "app/PromptPhrases.h"
#include "app/Prompter.h"
#include "net/BaseData.h"
#include "net/ServerConfig.h"
#include "net/ServerSession.h"
#include "print/PrintLedger.h"
#include "print/PrintTemplates.h"
#include "scale/ScaleDevice.h"
#include "scale/ScaleSettings.h"
#include "storage/CheckFile.h"
#include "storage/CleanCloseNote.h"
#include "storage/ContactFile.h"
#include "storage/GoodsFile.h"
#include "storage/GoodsNameDictionary.h"
#include "storage/PreInputFile.h"
#include "storage/WeightFile.h"
#include "upload/UploadJournal.h"
#include "upload/UploadLedger.h"
#include "upload/UploadResultBook.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>

namespace quarvel {

class ScaleLink;
class SpreadsheetEngine;

// Everything the client keeps for the whole run, built from one root folder:
// the work folders, the five record files, the server configuration and
// session, and the base data (and, as they come, the settings). The window,
// the command-line tool and the tests each build their own; nothing reaches
// for a global.
class ClientContext {
public:
    static constexpr qint64 kMinimumFreeBytes = 150'000'000;

    explicit ClientContext(const QString &rootFolder);
    ~ClientContext();
    ClientContext(const ClientContext &) = delete;
    ClientContext &operator=(const ClientContext &) = delete;

    static QString applicationTitle();
    // The folder of the running program, ending in "/"; empty when unknown.
    static QString programFolder();

    // The one start-up of every program on this core: all steps that need no
    // window, in their order. The window runs the two halves around its own
    // steps; the command-line tool and the tests run both at once. Shows the
    // fixed message of the first step that fails and returns false.
    bool Start(Prompter &prompter, RecordFile::Mode mode = RecordFile::Mode::ReadWrite);
    // The steps before the window: the root folder, the work folders, the
    // free space, the five record files (with the repairs a crash calls for),
    // finishing what uploads left, the server configuration and the base
    // data. A damaged file is reported once, naming it.
    bool StartBeforeWindow(Prompter &prompter, RecordFile::Mode mode = RecordFile::Mode::ReadWrite);
    // The steps after the window, in this order: the prompt phrases, the scale
    // settings, the barcode fonts, the print files, the print vocabulary and templates, the
    // goods-name dictionary, and last the program settings. None of them ends
    // the program; what cannot be read keeps its defaults.
    void StartAfterWindow(Prompter &prompter);
    bool MakeWorkFolders(Prompter &prompter);
    bool CheckFreeSpace(Prompter &prompter);
    // Files closed cleanly (noted in DATA_SYS) are taken as they are; the
    // others are checked and repaired, and their lines made to agree.
    bool OpenRecordFiles(Prompter &prompter, RecordFile::Mode mode = RecordFile::Mode::ReadWrite);
    // Reads the upload journal and deletes the records the server accepted
    // before an earlier run could, their ledger lines written first; drops
    // the ledger's days past keeping (writing programs only).
    void FinishUploads();
    // Takes the configured server into the session and loads the base data
    // (without a configuration file the defaults apply; without base data
    // there are no kinds and destinations until the first download). An
    // unusable host or site is an error: no server is used in its place.
    void LoadServerData(Prompter &prompter);
    // Writes everything to disk, unmaps and closes the record files, notes
    // the clean close, and remembers the account of an open session for the
    // next login.
    void Shutdown();
    // Writes the record files' changed pages to disk (end of a user operation);
    // false, with the file and the reason, when one of them could not be.
    bool FlushRecords(QString *failure = nullptr);

    // The root folder, ending in "/".
    QString root() const { return root_; }
    // A path below the root, e.g. path("DATA/recinput.dat").
    QString path(const QString &relative) const { return root_ + relative; }

    // prgset.dat and prompt.dat beside the program; a failed settings save
    // shows "Open file error !".
    void LoadProgramSettings(Prompter &prompter);
    bool SaveProgramSettings(Prompter &prompter);
    void LoadPromptPhrases(Prompter &prompter);
    bool SavePromptPhrases(const QString &text) { return phrases_.Save(path(QStringLiteral("prompt.dat")), text); }
    ProgramSettings &settings() { return settings_; }
    const PromptPhrases &promptPhrases() const { return phrases_; }

    // balanceset.ini beside the program and the chosen scale device in
    // DATA_SYS. A settings file of the wrong size is reported, and the
    // defaults apply.
    void LoadScaleSettings(Prompter &prompter);
    // Writes both; false when either could not be written.
    bool SaveScaleSettings();
    ScaleSettings &scaleSettings() { return scaleSettings_; }
    ScaleDevice &scaleDevice() { return scaleDevice_; }
    // The serial link to the scale, on the stored settings.
    ScaleLink &scale() { return *scale_; }
    // The start-up step of the barcode fonts: where the Code-39 faces of the
    // label templates do not resolve, the shipped fonts are installed for the
    // user; what cannot be done is said once, and start-up goes on.
    void InstallBarcodeFonts(Prompter &prompter);
    // The start-up step of the print files: a template pair that a killed
    // download left half in place is completed or put back (and the operator
    // told), the working files of prints that were killed are removed, and
    // the PDFs of printouts past their keeping time (DATA_SYS/print.conf)
    // are removed and marked so in the print ledger.
    void TidyPrintFiles(Prompter &prompter);
    // The start-up step of the print templates: the templates the program
    // comes with are copied into DATA_MODEL where missing, then the default
    // template of each kind is loaded.
    void LoadPrintTemplates();
    // The start-up step of the goods-name dictionary (copied into DATA_SYS where missing).
    void LoadGoodsNames();
    PrintTemplates &templates() { return templates_; }
    const GoodsNameDictionary &goodsNames() const { return goodsNames_; }
    PrintLedger &printLedger() { return printLedger_; }
    QString modelFolder() const { return path(QStringLiteral("DATA_MODEL")); }
    QString tempFolder() const { return path(QStringLiteral("DATA_TEMP")); }
    // Where the data the program comes with is found (tests choose their own; empty: none).
    void setShippedDataFolder(const QString &folder) { shippedData_ = folder; }

    ContactFile &contacts() { return contacts_; }
    PreInputFile &preInputs() { return preInputs_; }
    GoodsFile &goods() { return goods_; }
    WeightFile &weights() { return weights_; }
    CheckFile &checks() { return checks_; }
    UploadJournal &uploadJournal() { return uploadJournal_; }
    UploadResultBook &uploadResults() { return uploadResults_; }
    UploadLedger &uploadLedger() { return uploadLedger_; }
    // The digest of a stored record's bytes (0 when there is none), which
    // tells whether it changed since an upload saw it.
    quint64 RecordDigest(UploadKind kind, int id) const;
    // Why the record stayed at its last upload, while it is unchanged since.
    QString LastUploadReason(UploadKind kind, int id) const;

    ServerConfig &config() { return config_; }
    ServerSession &session() { return session_; }
    BaseData &baseData() { return baseData_; }
    QString lastAccountPath() const { return path(QStringLiteral("DATA_SYS/last.dat")); }
    QString baseDataPath() const { return path(BaseData::fileName()); }

    // The spreadsheet engine of the process (set by the program's main; null
    // when none is available, and spreadsheet work then reports that).
    SpreadsheetEngine *spreadsheetEngine() const { return spreadsheetEngine_; }
    void setSpreadsheetEngine(SpreadsheetEngine *engine) { spreadsheetEngine_ = engine; }

    // The time the forms stamp as "now" (tests set a clock of their own).
    QDateTime now() const { return clock_ ? clock_() : QDateTime::currentDateTime(); }
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    // Tests replace the probe of the free bytes on the root's volume.
    void setFreeSpaceProbe(std::function<qint64(const QString &)> probe) { freeSpace_ = std::move(probe); }
    static qint64 FreeBytes(const QString &folder);

private:
    struct FileStep;
    bool openRecordFile(Prompter &prompter, const FileStep &step, RecordFile::Mode mode);
    void repairLines(Prompter &prompter);
    void closeRecordFiles();
    void reportDamage(Prompter &prompter, const QString &relative, const QString &damage) const;

    QString root_;
    std::function<qint64(const QString &)> freeSpace_;
    std::function<QDateTime()> clock_;
    ProgramSettings settings_;
    PromptPhrases phrases_;
    ScaleSettings scaleSettings_;
    ScaleDevice scaleDevice_;
    std::unique_ptr<ScaleLink> scale_;
    ContactFile contacts_;
    PreInputFile preInputs_;
    GoodsFile goods_;
    WeightFile weights_;
    CheckFile checks_;
    UploadJournal uploadJournal_;
    UploadResultBook uploadResults_;
    UploadLedger uploadLedger_;
    CleanCloseNote note_;
    bool ownsFiles_ = false;
    ServerConfig config_;
    ServerSession session_;
    BaseData baseData_;
    PrintTemplates templates_;
    GoodsNameDictionary goodsNames_;
    PrintLedger printLedger_;
    QString shippedData_;
    SpreadsheetEngine *spreadsheetEngine_ = nullptr;
};

} // namespace quarvel
