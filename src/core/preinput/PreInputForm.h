#pragma once

#include "preinput/CollectForm.h"
#include "preinput/PreInputRows.h"
#include "preinput/PreInputValues.h"
#include "storage/ContactRecord.h"
#include "storage/GoodsRecord.h"
#include "storage/PreInputRecord.h"
#include "storage/WeightRecord.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace quarvel {

class ClientContext;
class Prompter;
struct DestinationEntry;
struct ExpressKind;

// The pre-entry page without its widgets: the page values of one shipment
// with its goods and piece lines, and every operation of the page (new, load,
// save with all its checks, delete, copy and paste, the look-ups and the
// caption shortcuts). The window and quarvelctl both save through it.
class PreInputForm {
public:
    static constexpr unsigned kGreen = 0x008000;
    static constexpr unsigned kRed = 0xFF0000;
    static constexpr unsigned kDarkRed = 0x800000;

    // The six lock markers; a locked field cannot be typed in.
    enum Lock { LockFrom, LockNumber, LockReceiver, LockReceiverZip, LockSender, LockSenderZip, kLocks };
    // Fields a prompt phrase can be picked into.
    enum PhraseTarget { PhraseFrom, PhraseMark, PhrasePack, PhraseRemark };

    // A saved (saved = true) or deleted record, for the list.
    using RecordChanged = std::function<void(bool saved, const PreInputRecord &record)>;

    PreInputForm(ClientContext &context, Prompter &prompter, QDate today = QDate::currentDate());

    // A text the save checks: its page value's name, caption and limits
    // (characters at least, GBK bytes at most), in the order of the checks.
    struct TextRule {
        QString name;
        QString caption;
        int min;
        int max;
    };
    static QList<TextRule> TextRules();

    PreInputValues &values() { return values_; }
    const PreInputValues &values() const { return values_; }
    void setRecordChanged(RecordChanged handler) { recordChanged_ = std::move(handler); }

    // Page operations.
    void NewRecord();
    // A new record without an express kind takes the base data's first one;
    // true when it did.
    bool TakeDefaultKind();
    // Shows a stored record; false (page unchanged) when there is none.
    bool LoadRecord(int iid);
    // Every check in order; nothing is written before all have passed.
    bool SaveRecord();
    // The last save failed writing to the disk (not a check).
    bool storageFailed() const { return storageFailed_; }
    // Asks first; false when nothing was deleted.
    bool DeleteRecord();
    void CopyAll();
    bool hasCopy() const { return copy_.has_value(); }
    void PasteAll();
    // The goods lines summarised into name, quantity, price and declared value.
    void SummariseGoods();

    // Edits the operator has not saved yet: the values differ from those
    // the record was shown with, or lines were changed.
    bool hasEdits() const;
    // The shown values become the ones edits are measured from (after the
    // window has shown them, so that its number formats do not count).
    void markClean();
    // Before the form leaves this record for another one: with unsaved
    // edits asks whether to save them (and saves), discard them or stay.
    // True when the form may go on.
    bool ConfirmLeave();
    // A worker changed a stored record (its fee, its number): shows it again
    // when the form shows that record without edits of its own; a record
    // that is gone gives a new one. True when the values were re-read.
    bool ReloadIfUnchanged(int iid);

    // State.
    int iid() const { return iid_; }
    bool isNew() const { return iid_ < 0; }
    QString title() const;
    unsigned titleColor() const { return isNew() ? kGreen : kRed; }
    bool saving() const { return saving_; }
    // Set around a save that Ctrl+S or the save command started.
    void setSaving(bool on) { saving_ = on; }
    const PreInputRecord &workingRecord() const { return record_; }

    // Lines of the shown record.
    std::vector<GoodsRecord> &goodsLines() { return goods_; }
    std::vector<WeightRecord> &pieceLines() { return pieces_; }
    bool pieceLinesChanged() const { return piecesChanged_; }
    // After the piece dialog: when it changed anything the lines are
    // rewritten on save and the weight becomes their chargeable total.
    void PiecesEdited(bool changed);
    // After an OK of the goods dialog: an empty goods name is summarised.
    void GoodsEdited();
    // Whether the current base data counts weights in divisor mode "D".
    bool volumeModeD() const;

    // Collect freight and cash on delivery ("付款:").
    double collectSettle() const { return collectSettle_; }
    double cod() const { return cod_; }
    double codSettle() const { return codSettle_; }
    // Opening the dialog clears the settled freight unless the payment is "到付".
    CollectForm OpenCollect();
    // An OK close copies the three values back.
    void ApplyCollect(const CollectForm &form);
    // Choosing a payment sets the settlement instruction (CC for "到付").
    void SetPayWay(int index);

    // Express kind ("类别:").
    const ExpressKind *currentKind() const;
    void ChooseExpressKind(const QString &name);
    QStringList expressKindNames() const;

    // Destination.
    bool destinationServed() const;
    QString destinationIndicator() const { return destinationServed() ? QStringLiteral("√") : QStringLiteral("※"); }
    unsigned destinationIndicatorColor() const { return destinationServed() ? kGreen : kDarkRed; }
    // Up to 5 destinations for the typed text (its first 30 characters).
    QList<const DestinationEntry *> DestinationSuggestions(const QString &typed) const;
    // Whether the current express kind serves a suggested destination (all
    // do while no kind is chosen).
    bool Serves(const DestinationEntry &destination) const;
    // Enter in the destination: takes the highlighted suggestion (region,
    // postcode, country, province and city) or, without one, region 0.
    void LookupDestination(const DestinationEntry *highlighted);

    // A destination given as text (a save without a pick, a script): the
    // entry of the base data it names (ResolveDestination: 北京市 → 北京,
    // 广州 → 广东广州) becomes the destination and fills the region and,
    // where they are empty, the postcode, country, province and city, as
    // picking that entry on the page would. False when no entry fits.
    bool CompleteDestination();

    // Address book.
    QList<const ContactRecord *> ContactSuggestions(const QString &typed, bool byPhone) const;
    void PickContact(PreInputValues::Side side, const ContactRecord &contact);

    // Lock markers.
    bool locked(Lock lock) const { return locks_[lock]; }
    void ToggleLock(Lock lock) { locks_[lock] = !locks_[lock]; }
    static QString LockText(bool locked) { return locked ? QStringLiteral("◆") : QStringLiteral("◇"); }

    // Caption shortcuts.
    QStringList dateChoices() const { return dates_; }
    // "日期:": today → yesterday → the day before → today; any other → today.
    void CycleDate();
    // "运单号:" on a new record: a generated number.
    bool FillGeneratedNumber();
    QString MakeNumber() const;
    QStringList phrases() const;
    void PickPhrase(PhraseTarget target, const QString &phrase);
    // " $": the online quotation needs a destination and a weight above
    // 0.001 kg; false after the message.
    bool CheckQuotation();
    // "短信:": the phone into the SMS field when it has 8 to 22 characters.
    void CopyPhoneToSms(PreInputValues::Side side);

    // A scale reading in grams while the weight field has the focus: the
    // text the weight field shows now, or nothing (ignored while saving or
    // while a stored record is shown, below 0, or a repeated 0).
    std::optional<QString> ScaleReading(int grams);
    // The scale's weight withdrawn when the scale stops showing one (the
    // load moves, is negative, overloaded): the text the weight field shows
    // now, or nothing when readings are ignored.
    std::optional<QString> WithdrawScaleReading();
    // Whether scale readings reach the weight field now: a new record, no save running.
    bool takesScaleReadings() const { return !saving_ && isNew(); }

    // List filter ("未标记"/"已标记").
    PreInputRows::FilterMode filterMode() const { return filter_; }
    void setFilterMode(PreInputRows::FilterMode mode) { filter_ = mode; }

private:
    bool checkAll();
    bool checkDate();
    // A destination not in the base data is refused, naming the nearest.
    bool checkDestination();
    void fillNumbers();
    void fillPieces();
    bool store();
    bool roomFor(int records, int goods, int pieces);
    void notify(bool saved);

    ClientContext &context_;
    Prompter &prompter_;
    PreInputValues values_;
    PreInputRecord record_{};
    int iid_ = -1;
    std::vector<GoodsRecord> goods_;
    std::vector<WeightRecord> pieces_;
    bool piecesChanged_ = false;
    double collectSettle_ = 0;
    double cod_ = 0;
    double codSettle_ = 0;
    std::array<bool, kLocks> locks_{};
    std::optional<PreInputValues> copy_;
    PreInputValues clean_;
    std::array<double, 3> cleanCollect_{};
    QStringList dates_;
    bool saving_ = false;
    bool storageFailed_ = false;
    bool zeroShown_ = true;
    PreInputRows::FilterMode filter_ = PreInputRows::All;
    RecordChanged recordChanged_;
};

} // namespace quarvel
