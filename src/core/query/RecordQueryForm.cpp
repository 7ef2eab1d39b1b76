#include "query/RecordQueryForm.h"

#include "app/Prompter.h"
#include "net/BaseData.h"
#include "query/ConditionText.h"
#include "query/QueryDate.h"
#include "query/QueryFieldCheck.h"

#include <algorithm>

namespace quarvel {

namespace {

const QString kTimeFormat = QStringLiteral("yyyy.MM.dd HH:mm:ss");

} // namespace

RecordQueryForm::RecordQueryForm(Clock clock) : clock_(std::move(clock))
{
    const QDate today = now().date();
    values_.from = DateText(today.addDays(-7));
    values_.to = DateText(today);
}

QDateTime RecordQueryForm::now() const
{
    return clock_ ? clock_() : QDateTime::currentDateTime();
}

QString RecordQueryForm::DateModeCaption(int mode)
{
    switch (mode) {
    case EntryTime:
        return QStringLiteral("▼日期为录单日期时间");
    case SendTime:
        return QStringLiteral("▼日期为发送日期时间");
    default:
        return QStringLiteral("▼日期为业务日期");
    }
}

unsigned RecordQueryForm::DateModeColor(int mode)
{
    switch (mode) {
    case EntryTime:
        return 0x000080;
    case SendTime:
        return 0x800000;
    default:
        return 0x008000;
    }
}

QString RecordQueryForm::DateColumn(int mode)
{
    switch (mode) {
    case EntryTime:
        return QStringLiteral("dsysdate");
    case SendTime:
        return QStringLiteral("dsenddate");
    default:
        return QStringLiteral("ddate");
    }
}

QStringList RecordQueryForm::StateChoices()
{
    return {QStringLiteral("未发送"),     QStringLiteral("已发送"),       QStringLiteral("转运中"),
            QStringLiteral("送达"),       QStringLiteral("超时"),         QStringLiteral("扣关"),
            QStringLiteral("地址错误"),   QStringLiteral("快件丢失"),     QStringLiteral("退件"),
            QStringLiteral("其它异常"),   QStringLiteral("销毁"),         QStringLiteral("全部"),
            QStringLiteral("所有已发送"), QStringLiteral("未送达正常件"), QStringLiteral("所有异常件")};
}

QStringList RecordQueryForm::SettlementCodes()
{
    return {QStringLiteral("PP"), QStringLiteral("CC"), QStringLiteral("COD"), QStringLiteral("DP")};
}

void RecordQueryForm::Reset()
{
    Values fresh;
    fresh.from = values_.from;
    fresh.to = values_.to;
    fresh.dateMode = values_.dateMode;
    values_ = fresh;
}

void RecordQueryForm::StepDates()
{
    if (values_.dateMode == BusinessDate) {
        const DateRange r = StepDateRange(values_.from, values_.to, now().date());
        values_.from = r.from;
        values_.to = r.to;
        return;
    }
    const QDateTime t = now();
    values_.from = t.addSecs(-2 * 3600).toString(kTimeFormat);
    values_.to = t.toString(kTimeFormat);
}

void RecordQueryForm::NextDateMode()
{
    SetDateMode((values_.dateMode + 1) % kDateModes);
}

void RecordQueryForm::SetDateMode(int mode)
{
    values_.dateMode = std::clamp(mode, 0, kDateModes - 1);
    StepDates();
}

bool RecordQueryForm::Confirm(Prompter &prompter)
{
    Values &v = values_;
    if (v.dateMode == BusinessDate) {
        const DateCheck check = CheckDateRange(v.from, v.to, now().date());
        if (!AcceptDateMessages(check.messages, prompter))
            return false;
        startText_ = check.startText;
        endText_ = check.endText;
    } else {
        startText_ = NormalizeDateTime(v.from);
        endText_ = NormalizeDateTime(v.to);
    }
    const struct {
        QString *value;
        int chars;
        const char16_t *caption;
    } texts[] = {
        {&v.waybill, kWaybillChars, u"运单号"},
        {&v.kind, kKindChars, u"(渠道)类别"},
        {&v.destination, kDestinationChars, u"目的地"},
        {&v.settlement, kSettlementChars, u"结算"},
        {&v.sender, kNameChars, u"发件人"},
        {&v.department, kNameChars, u"所属部门"},
        {&v.receiver, kNameChars, u"收件人"},
        {&v.phone, kPhoneChars, u"收件电话"},
        {&v.label, kLabelChars, u"标签"},
    };
    for (const auto &t : texts)
        if (!CheckQueryText(*t.value, t.chars, QString::fromUtf16(t.caption), prompter))
            return false;
    v.state = std::clamp(v.state, 0, kStateChoices - 1);
    return true;
}

QString RecordQueryForm::Condition(int clientId, const BaseData &baseData) const
{
    const Values &v = values_;
    ConditionText c(QStringLiteral("tarvo.dbo.client_rec"), clientId);
    c.add(QStringLiteral("%1 BETWEEN '%2' AND '%3'").arg(DateColumn(v.dateMode), startText_, endText_));
    c.choice(QStringLiteral("nitemtype"), {v.itemTypes[0], v.itemTypes[1], v.itemTypes[2]});
    c.choice(QStringLiteral("npayway"), {v.payWays[0], v.payWays[1], v.payWays[2]});
    c.choice(QStringLiteral("nlanguage"), {v.regions[0], v.regions[1], v.regions[2]});
    if (v.payStates[0] != v.payStates[1])
        c.add(v.payStates[0] ? QStringLiteral("ifid=0") : QStringLiteral("ifid>0"));
    if (v.state >= 0 && v.state <= 10)
        c.add(QStringLiteral("nstate=%1").arg(v.state));
    else if (v.state == AllSent)
        c.add(QStringLiteral("nstate>0"));
    else if (v.state == Undelivered)
        c.add(QStringLiteral("nstate<3"));
    else if (v.state == AllExceptions)
        c.add(QStringLiteral("nstate>3"));
    if (v.pieces > 0)
        c.add(QStringLiteral("iitem=%1").arg(v.pieces));
    else if (v.pieces < 0)
        c.add(QStringLiteral("iitem<>%1").arg(-static_cast<qint64>(v.pieces)));
    c.equals(QStringLiteral("cdepart"), v.department);
    c.equals(QStringLiteral("cdes"), v.destination);
    c.contains(QStringLiteral("cmark"), v.label);
    if (const ExpressKind *kind = v.kind.trimmed().isEmpty() ? nullptr : baseData.kindByName(v.kind.trimmed()))
        c.equals(QStringLiteral("cemskind"), kind->codeText());
    c.contains(QStringLiteral("cnum"), v.waybill);
    c.equals(QStringLiteral("cpaydir"), v.settlement);
    c.equals(QStringLiteral("creceiver"), v.receiver);
    c.contains(QStringLiteral("cphone"), v.phone);
    c.equals(QStringLiteral("csender"), v.sender);
    // The weight and freight ranges of the dialog select too, after the rest.
    c.range(QStringLiteral("fweight"), v.weightFrom, v.weightTo, 0.001, "%.3f");
    c.range(QStringLiteral("ffee"), v.feeFrom, v.feeTo, 0.01, "%.2f");
    return c.text();
}

} // namespace quarvel
