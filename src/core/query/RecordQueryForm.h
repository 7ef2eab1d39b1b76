#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace quarvel {

class BaseData;
class Prompter;

// The values and rules of the record query dialog ("快件记录查询条件输入"):
// what the operator chose, the date modes, the reset, the date check on
// confirmation and the condition text of the record check list built from
// it. The dialog binds its controls to these values; quarvelctl fills them
// from its arguments.
class RecordQueryForm {
public:
    using Clock = std::function<QDateTime()>;

    // Which server time the date range selects on.
    enum DateMode { BusinessDate = 0, EntryTime = 1, SendTime = 2 };
    static constexpr int kDateModes = 3;
    // Record-state list entries beyond the single states 0-10.
    enum StateChoice { AllStates = 11, AllSent = 12, Undelivered = 13, AllExceptions = 14 };
    static constexpr int kStateChoices = 15;

    // Character limits of the text boxes.
    static constexpr int kWaybillChars = 30;
    static constexpr int kFromChars = 30;
    static constexpr int kDestinationChars = 63;
    static constexpr int kSettlementChars = 3;
    static constexpr int kNameChars = 30;
    static constexpr int kPhoneChars = 63;
    static constexpr int kLabelChars = 15;
    static constexpr int kKindChars = 31;

    struct Values {
        QString waybill;
        int pieces = 0; // above 0: exactly; below 0: all but this many
        QString from;
        QString to;
        int dateMode = BusinessDate;
        QString kind;                                    // express kind name
        std::array<bool, 3> itemTypes{true, true, true}; // 文件, 包裹, 防水袋
        QString destination;
        std::array<bool, 3> regions{true, true, true}; // 大陆, 华语, 外语
        std::array<bool, 2> payStates{true, true};     // 未核收, 已核收
        std::array<bool, 3> payWays{true, true, true}; // 月结, 现付, 到付
        int state = AllStates;
        QString settlement; // PP, CC, COD, DP or typed
        QString sender;
        QString department;
        QString receiver;
        QString phone;
        double weightFrom = 0;
        double weightTo = 0;
        double feeFrom = 0;
        double feeTo = 0;
        QString label;
    };

    // The clock gives "now" (the system clock when none is given).
    explicit RecordQueryForm(Clock clock = {});

    static QString Title() { return QStringLiteral("快件记录查询条件输入"); }
    static QString KindChooserTitle() { return QStringLiteral("快递类别列表（双击选取！）"); }
    // "▼日期为业务日期", ...; its colour as 0xRRGGBB; the server column it selects on.
    static QString DateModeCaption(int mode);
    static unsigned DateModeColor(int mode);
    static QString DateColumn(int mode);
    // The record-state list: the eleven states, then "全部", "所有已发送",
    // "未送达正常件", "所有异常件".
    static QStringList StateChoices();
    static QStringList SettlementCodes();

    Values &values() { return values_; }
    const Values &values() const { return values_; }

    // "重新输入": every box ticked, texts empty, numbers 0, all states; the
    // dates stay.
    void Reset();
    // A click on "日期:": in mode 0 the next range of StepDateRange; in the
    // time modes the last two hours.
    void StepDates();
    // A click on the mode marker: the next mode, with its date defaults.
    void NextDateMode();
    void SetDateMode(int mode);

    // "确认查询": checks the dates (in mode 0; the messages together under
    // "日期错误提示：") and the texts, and fixes the start and end texts of
    // the condition. False when the dialog must stay open.
    bool Confirm(Prompter &prompter);
    const QString &startText() const { return startText_; }
    const QString &endText() const { return endText_; }

    // The condition of the record check list for the customer, from the
    // values and the texts of the last confirmation.
    QString Condition(int clientId, const BaseData &baseData) const;

private:
    QDateTime now() const;

    Clock clock_;
    Values values_;
    QString startText_;
    QString endText_;
};

} // namespace quarvel
