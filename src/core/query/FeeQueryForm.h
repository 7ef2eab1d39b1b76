#pragma once

#include <QDateTime>
#include <QString>

#include <array>
#include <functional>

namespace quarvel {

class Prompter;

// The values and rules of the settlement query dialog ("快件结算记录查询条件
// 输入"): invoice number, payment dates, the two kinds, the amount range and
// the operator; the date check on confirmation and the condition text of
// the settlement list.
class FeeQueryForm {
public:
    using Clock = std::function<QDateTime()>;

    static constexpr int kInvoiceChars = 22;
    static constexpr int kDateChars = 10;
    static constexpr int kOperatorChars = 30;

    struct Values {
        QString invoice;
        QString from;
        QString to;
        std::array<bool, 2> types{true, true}; // 核收, 清缴
        double amountFrom = 0;
        double amountTo = 0;
        QString operatorName;
    };

    explicit FeeQueryForm(Clock clock = {});

    static QString Title() { return QStringLiteral("快件结算记录查询条件输入"); }

    Values &values() { return values_; }
    const Values &values() const { return values_; }

    // "重新输入": both kinds, no amounts, no operator or invoice; the dates stay.
    void Reset();
    // A click on "缴款日期:": the next range of StepDateRange.
    void StepDates();
    // "确认查询": the date check (messages under "日期错误提示：") and the
    // texts; false when the dialog must stay open.
    bool Confirm(Prompter &prompter);
    const QString &startText() const { return startText_; }
    const QString &endText() const { return endText_; }

    QString Condition(int clientId) const;

private:
    QDate today() const;

    Clock clock_;
    Values values_;
    QString startText_;
    QString endText_;
};

} // namespace quarvel
