#pragma once

#include "app/ProgramSettings.h"
#include "app/PromptPhrases.h"
#include "app/Prompter.h"
#include "net/BaseData.h"
#include "net/ServerConfig.h"
#include "net/ServerSession.h"
#include "print/PrintLedger.h"
#include "print/PrintTemplates.h"
#include "storage/CheckFile.h"
#include "storage/ContactFile.h"
#include "storage/GoodsFile.h"
#include "storage/GoodsNameDictionary.h"
#include "storage/PreInputFile.h"
#include "storage/WeightFile.h"

#include <QString>

#include <functional>

namespace quarvel {

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
    // free space, the five record files, the server configuration and the
    // base data.
    bool StartBeforeWindow(Prompter &prompter, RecordFile::Mode mode = RecordFile::Mode::ReadWrite);
    // The steps after the window, in this order: the prompt phrases, the scale
    // settings, the barcode fonts, the print vocabulary and templates, the
    // goods-name dictionary, and last the program settings. None of them ends
    // the program; what cannot be read keeps its defaults.
    void StartAfterWindow(Prompter &prompter);
    bool MakeWorkFolders(Prompter &prompter);
    bool CheckFreeSpace(Prompter &prompter);
    bool OpenRecordFiles(Prompter &prompter, RecordFile::Mode mode = RecordFile::Mode::ReadWrite);
    // Takes the configured server into the session and loads the base data
    // (without a configuration file the defaults apply; without base data
    // there are no kinds and destinations until the first download).
    void LoadServerData();
    // Writes everything to disk, unmaps and closes the record files, and
    // remembers the account of an open session for the next login.
    void Shutdown();
    // Writes the record files' changed pages to disk (end of a user operation).
    void FlushRecords();

    // The root folder, ending in "/".
    QString root() const { return root_; }
    // A path below the root, e.g. path("DATA/recinput.dat").
    QString path(const QString &relative) const { return root_ + relative; }

    // prgset.dat and prompt.dat beside the program; a failed settings save
    // shows "Open file error !".
    void LoadProgramSettings() { settings_.Load(path(QStringLiteral("prgset.dat"))); }
    bool SaveProgramSettings(Prompter &prompter);
    void LoadPromptPhrases() { phrases_.Load(path(QStringLiteral("prompt.dat"))); }
    bool SavePromptPhrases(const QString &text) { return phrases_.Save(path(QStringLiteral("prompt.dat")), text); }
    ProgramSettings &settings() { return settings_; }
    const PromptPhrases &promptPhrases() const { return phrases_; }

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

    ServerConfig &config() { return config_; }
    ServerSession &session() { return session_; }
    BaseData &baseData() { return baseData_; }
    QString lastAccountPath() const { return path(QStringLiteral("DATA_SYS/last.dat")); }
    QString baseDataPath() const { return path(BaseData::fileName()); }

    // The spreadsheet engine of the process (set by the program's main; null
    // when none is available, and spreadsheet work then reports that).
    SpreadsheetEngine *spreadsheetEngine() const { return spreadsheetEngine_; }
    void setSpreadsheetEngine(SpreadsheetEngine *engine) { spreadsheetEngine_ = engine; }

    // Tests replace the probe of the free bytes on the root's volume.
    void setFreeSpaceProbe(std::function<qint64(const QString &)> probe) { freeSpace_ = std::move(probe); }
    static qint64 FreeBytes(const QString &folder);

private:
    QString root_;
    std::function<qint64(const QString &)> freeSpace_;
    ProgramSettings settings_;
    PromptPhrases phrases_;
    ContactFile contacts_;
    PreInputFile preInputs_;
    GoodsFile goods_;
    WeightFile weights_;
    CheckFile checks_;
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
