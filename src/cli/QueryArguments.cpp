#include "QueryArguments.h"

#include "net/BaseData.h"
#include "query/FeeQueryForm.h"
#include "query/RecordQueryForm.h"

#include <cmath>

namespace quarvel {

QueryArguments::QueryArguments(const QStringList &args)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--json")) {
            json = true;
        } else if (a == QLatin1String("--page") && i + 1 < args.size()) {
            bool ok = false;
            page = args.at(++i).toInt(&ok);
            if (!ok || page < 1)
                fail(QStringLiteral("--page: a page number from 1 expected"));
        } else if (const qsizetype eq = a.indexOf(u'='); eq > 0) {
            pairs_.append({a.left(eq), a.mid(eq + 1)});
        } else {
            fail(QStringLiteral("unexpected argument: %1").arg(a));
        }
    }
}

// A usage error is told before a refused value: the command line is put
// right first.
bool QueryArguments::fail(const QString &why)
{
    if (problem != Problem::Usage) {
        problem = Problem::Usage;
        error = why;
    }
    return false;
}

bool QueryArguments::refuse(const QString &why)
{
    if (problem == Problem::None) {
        problem = Problem::Value;
        error = why;
    }
    return false;
}

bool QueryArguments::number(const QString &name, const QString &text, int &out)
{
    bool ok = false;
    out = text.trimmed().toInt(&ok);
    return ok || refuse(QStringLiteral("%1: a whole number expected").arg(name));
}

bool QueryArguments::real(const QString &name, const QString &text, double &out)
{
    bool ok = false;
    out = text.trimmed().toDouble(&ok);
    // The boxes take amounts, never a negative one.
    if (ok && std::isfinite(out) && out >= 0)
        return true;
    return refuse(QStringLiteral("%1: a number from 0 expected").arg(name));
}

bool QueryArguments::range(RecordQueryForm &form, const QString &name, const QString &value, bool &ok)
{
    RecordQueryForm::Values &v = form.values();
    const std::pair<const char *, double *> ranges[] = {
        {"wmin", &v.weightFrom}, {"wmax", &v.weightTo}, {"fmin", &v.feeFrom}, {"fmax", &v.feeTo}};
    for (const auto &[range, out] : ranges)
        if (name == QLatin1String(range)) {
            ok = real(name, value, *out);
            return true;
        }
    return false;
}

template <std::size_t N> bool QueryArguments::ticks(const QString &name, const QString &text, std::array<bool, N> &out)
{
    out.fill(false);
    for (const QString &part : text.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int index = part.trimmed().toInt(&ok);
        if (!ok || index < 0 || index >= static_cast<int>(N))
            return refuse(QStringLiteral("%1: indexes from 0 to %2, separated by commas").arg(name).arg(N - 1));
        out[static_cast<std::size_t>(index)] = true;
    }
    return true;
}

bool QueryArguments::stateChoice(const QString &text, int &out)
{
    const qsizetype named = RecordQueryForm::StateChoices().indexOf(text.trimmed());
    if (named >= 0) {
        out = static_cast<int>(named);
        return true;
    }
    bool ok = false;
    out = text.trimmed().toInt(&ok);
    if (ok && out >= 0 && out < RecordQueryForm::kStateChoices)
        return true;
    return refuse(QStringLiteral("state: 0-14 or the name of a state choice expected"));
}

bool QueryArguments::setValue(RecordQueryForm &form, const BaseData &baseData, const QString &name,
                              const QString &value)
{
    RecordQueryForm::Values &v = form.values();
    bool ok = true;
    if (name == QLatin1String("num"))
        v.waybill = value;
    else if (name == QLatin1String("pieces"))
        ok = number(name, value, v.pieces);
    else if (name == QLatin1String("from"))
        v.from = value;
    else if (name == QLatin1String("to"))
        v.to = value;
    else if (name == QLatin1String("kind")) {
        const ExpressKind *byCode = baseData.kindByCode(value.trimmed());
        v.kind = byCode ? byCode->nameText() : value;
    } else if (name == QLatin1String("types"))
        ok = ticks(name, value, v.itemTypes);
    else if (name == QLatin1String("des"))
        v.destination = value;
    else if (name == QLatin1String("regions"))
        ok = ticks(name, value, v.regions);
    else if (name == QLatin1String("paystate")) {
        v.payStates = {value != QLatin1String("paid"), value != QLatin1String("unpaid")};
        ok = value == QLatin1String("paid") || value == QLatin1String("unpaid") || value == QLatin1String("both") ||
             refuse(QStringLiteral("paystate: unpaid, paid or both expected"));
    } else if (name == QLatin1String("payways"))
        ok = ticks(name, value, v.payWays);
    else if (name == QLatin1String("state"))
        ok = stateChoice(value, v.state);
    else if (name == QLatin1String("settle"))
        v.settlement = value;
    else if (name == QLatin1String("sender"))
        v.sender = value;
    else if (name == QLatin1String("depart"))
        v.department = value;
    else if (name == QLatin1String("receiver"))
        v.receiver = value;
    else if (name == QLatin1String("phone"))
        v.phone = value;
    else if (name == QLatin1String("label"))
        v.label = value;
    else if (!range(form, name, value, ok))
        ok = fail(QStringLiteral("unknown name: %1").arg(name));
    return ok;
}

bool QueryArguments::apply(RecordQueryForm &form, const BaseData &baseData)
{
    // The mode first: choosing it puts its own dates into the boxes.
    for (const auto &[name, value] : pairs_) {
        if (name != QLatin1String("datemode"))
            continue;
        int mode = 0;
        if (!number(name, value, mode) || mode < 0 || mode >= RecordQueryForm::kDateModes)
            refuse(QStringLiteral("datemode: 0, 1 or 2 expected"));
        else if (mode != form.values().dateMode)
            // The form opens in mode 0 with its last seven days; choosing it
            // again would step the dates as a click on "日期:" does.
            form.SetDateMode(mode);
    }
    for (const auto &[name, value] : pairs_)
        if (name != QLatin1String("datemode"))
            setValue(form, baseData, name, value);
    return problem == Problem::None;
}

bool QueryArguments::apply(FeeQueryForm &form)
{
    FeeQueryForm::Values &v = form.values();
    for (const auto &[name, value] : pairs_) {
        if (name == QLatin1String("invoice"))
            v.invoice = value;
        else if (name == QLatin1String("from"))
            v.from = value;
        else if (name == QLatin1String("to"))
            v.to = value;
        else if (name == QLatin1String("types"))
            ticks(name, value, v.types);
        else if (name == QLatin1String("min"))
            real(name, value, v.amountFrom);
        else if (name == QLatin1String("max"))
            real(name, value, v.amountTo);
        else if (name == QLatin1String("operator"))
            v.operatorName = value;
        else
            fail(QStringLiteral("unknown name: %1").arg(name));
    }
    return problem == Problem::None;
}

bool QueryArguments::expectNoPairs()
{
    if (!pairs_.isEmpty())
        fail(QStringLiteral("unknown name: %1").arg(pairs_.first().first));
    return problem == Problem::None;
}

} // namespace quarvel
