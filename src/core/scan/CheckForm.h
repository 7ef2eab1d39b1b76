#pragma once

#include "scan/CheckValues.h"
#include "storage/CheckRecord.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

namespace quarvel {

class ClientContext;
class Prompter;

// The checkpoint scan page without its widgets: the page values, the
// category selection with what it does to the other fields, and every
// operation of the page (new, load, save with all its checks, delete, the
// caption shortcuts). The window and quarvelctl both save through it.
class CheckForm {
public:
    static constexpr unsigned kGreen = 0x008000;
    static constexpr unsigned kRed = 0xFF0000;
    static constexpr unsigned kOfflineRed = 0xC00000;
    static constexpr unsigned kAfterFlightRed = 0xC80000;

    enum class Change { Added, Rewritten, Deleted };
    // After a save (Added, Rewritten) or a delete, with the record, for the list.
    using RecordChanged = std::function<void(Change change, const CheckRecord &record)>;
    using Clock = std::function<QDateTime()>;
    // Fields a prompt phrase can be picked into.
    enum PhraseTarget { PhraseSigner, PhrasePlace, PhrasePlaceEn, PhraseInfo, PhraseInfoEn };
    // Where the focus goes after a category was chosen.
    enum class Focus { Waybill, Signer };

    // Without a clock of its own the form takes the context's.
    CheckForm(ClientContext &context, Prompter &prompter, Clock clock = {});

    CheckValues &values() { return values_; }
    const CheckValues &values() const { return values_; }
    void setRecordChanged(RecordChanged handler) { recordChanged_ = std::move(handler); }

    // Page operations.
    void NewScan();
    // Shows a stored scan; false (a new scan) when there is none.
    bool LoadScan(int iid);
    // Every check in order, messages through the form's prompter; nothing is
    // written before all have passed.
    bool SaveScan();
    // The same with the messages going to another prompter (the page shows a
    // scanner's refusals without a message box).
    bool SaveScan(Prompter &prompter);
    // Asks first; false when nothing was deleted.
    bool DeleteScan();
    // The last save failed writing to the disk (not a check).
    bool storageFailed() const { return storageFailed_; }

    // A click on a category (and a loaded scan's kind).
    void SelectCategory(int category);
    bool nextEnabled() const;
    bool flightShown() const;
    bool exceptionShown() const;
    Focus focusAfterCategory() const;
    QString signerCaption() const { return signerCaption_; }

    // State.
    int iid() const { return iid_; }
    bool isNew() const { return iid_ <= 0; }
    QString title() const;
    unsigned titleColor() const { return isNew() ? kGreen : kRed; }
    const CheckRecord &workingRecord() const { return record_; }

    // Caption shortcuts.
    // "下一站:": the login's second station code.
    void NextFromLogin();
    QStringList phrases() const;
    void PickPhrase(PhraseTarget target, const QString &phrase);
    // "◇"/"◆": only in the categories 派送 and 签收; false elsewhere.
    bool ToggleSignerLock();
    bool signerLocked() const { return signerLocked_; }
    QString lockText() const { return signerLocked_ ? QStringLiteral("◆") : QStringLiteral("◇"); }
    // "时间:": now, "%Y-%m-%d %H:%M"; the time then follows the clock again.
    void TimeNow();
    // A new scan whose time the operator has not typed takes the current
    // time (a saved scan leaves the page as it was, so the time shown would
    // otherwise stay that of the first scan). True when the time changed.
    bool RefreshTime();
    // "[默认运转信息]": the login's places and information; false after
    // "请先登入服务器。" when not logged in.
    bool ApplyDefaults();
    // "▼离线模式"/"▼在线模式": only a display; false after the message when
    // not logged in.
    bool ToggleMode();
    bool online() const { return online_; }
    QString modeText() const { return online_ ? QStringLiteral("▼在线模式") : QStringLiteral("▼离线模式"); }
    unsigned modeColor() const { return online_ ? kGreen : kOfflineRed; }
    // The flight position line.
    void ToggleFlight();
    QString flightText() const;
    unsigned flightColor() const;

private:
    bool checkTime(Prompter &prompter);
    bool checkTexts(Prompter &prompter);
    bool checkTemplates(Prompter &prompter);
    bool checkNumber(Prompter &prompter);
    bool store(Prompter &prompter);
    bool failOnDisk(Prompter &prompter, const QString &reason);
    QString now() const;
    QString loginLine(int line) const;
    bool requireLogin();

    ClientContext &context_;
    Prompter &prompter_;
    Clock clock_;
    CheckValues values_;
    CheckRecord record_{};
    int iid_ = 0;
    bool signerLocked_ = false;
    bool online_ = false;
    QString signerCaption_ = QStringLiteral("签收人:");
    // The time the form last put in by itself; a different text was typed.
    QString autoTime_;
    bool storageFailed_ = false;
    RecordChanged recordChanged_;
};

} // namespace quarvel
