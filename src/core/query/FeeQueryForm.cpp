#include "query/FeeQueryForm.h"

#include "query/ConditionText.h"
#include "query/QueryDate.h"
#include "query/QueryFieldCheck.h"

namespace quarvel {

FeeQueryForm::FeeQueryForm(Clock clock) : clock_(std::move(clock))
{
    values_.from = DateText(today().addDays(-30));
    values_.to = DateText(today());
}

QDate FeeQueryForm::today() const
{
    return (clock_ ? clock_() : QDateTime::currentDateTime()).date();
}

void FeeQueryForm::Reset()
{
    Values fresh;
    fresh.from = values_.from;
    fresh.to = values_.to;
    values_ = fresh;
}

void FeeQueryForm::StepDates()
{
    const DateRange r = StepDateRange(values_.from, values_.to, today());
    values_.from = r.from;
    values_.to = r.to;
}

bool FeeQueryForm::Confirm(Prompter &prompter)
{
    const DateCheck check = CheckDateRange(values_.from, values_.to, today());
    if (!AcceptDateMessages(check.messages, prompter))
        return false;
    if (!CheckQueryText(values_.invoice, kInvoiceChars, QStringLiteral("发票号"), prompter) ||
        !CheckQueryText(values_.operatorName, kOperatorChars, QStringLiteral("经办人"), prompter))
        return false;
    startText_ = check.startText;
    endText_ = check.endText;
    return true;
}

QString FeeQueryForm::Condition(int clientId) const
{
    const Values &v = values_;
    ConditionText c(QStringLiteral("tarvo.dbo.client_fee"), clientId);
    c.add(QStringLiteral("dpdate BETWEEN '%1' AND '%2'").arg(startText_, endText_));
    if (v.types[0] != v.types[1])
        c.add(v.types[0] ? QStringLiteral("ntype=0") : QStringLiteral("ntype=1"));
    c.range(QStringLiteral("ffee"), v.amountFrom, v.amountTo, 0.01, "%.2f");
    c.equals(QStringLiteral("cmname"), v.operatorName);
    c.contains(QStringLiteral("cinvoice"), v.invoice);
    return c.text();
}

} // namespace quarvel
