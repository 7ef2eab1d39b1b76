#include "net/BalanceReply.h"

#include "net/ReplyText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace quarvel {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The line without the blanks and carriage return around it.
QByteArray trimmedLine(const QByteArray &reply, qsizetype from, qsizetype to)
{
    return reply.mid(from, to - from).trimmed();
}

// Sign, digits, and for an amount a fraction: nothing more, nothing less.
bool wellFormed(const QByteArray &text, bool fraction)
{
    qsizetype i = text.startsWith('+') || text.startsWith('-') ? 1 : 0;
    qsizetype digits = 0;
    for (; i < text.size() && isDigit(text.at(i)); ++i)
        ++digits;
    if (fraction && i < text.size() && text.at(i) == '.')
        for (++i; i < text.size() && isDigit(text.at(i)); ++i)
            ++digits;
    return digits > 0 && i == text.size();
}

std::optional<double> amount(const QByteArray &text)
{
    if (!wellFormed(text, true))
        return std::nullopt;
    const double value = ReplyText::decimal(text);
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

std::optional<int> count(const QByteArray &text)
{
    if (!wellFormed(text, false))
        return std::nullopt;
    const char *first = text.constData() + (text.startsWith('+') ? 1 : 0);
    int value = 0;
    const std::from_chars_result r = std::from_chars(first, text.constData() + text.size(), value);
    return r.ec == std::errc() ? std::optional<int>(value) : std::nullopt;
}

} // namespace

std::optional<BalanceReply> BalanceReply::parse(const QByteArray &reply)
{
    BalanceReply r;
    double *amounts[] = {&r.creditLimit, &r.settlementBalance, nullptr, &r.unsettledFirst,
                         nullptr,        &r.unsettledSecond,   nullptr};
    int *counts[] = {nullptr, nullptr, &r.unused, nullptr, &r.countFirst, nullptr, &r.countSecond};
    qsizetype at = ReplyText::find(reply, '\n');
    if (!count(trimmedLine(reply, 0, at < 0 ? reply.size() : at)))
        return std::nullopt;
    for (int i = 0; i < 7 && at >= 0 && at + 1 < reply.size(); ++i) {
        const qsizetype end = ReplyText::find(reply, '\n', at + 1);
        if (end < 0)
            return std::nullopt;
        const QByteArray line = trimmedLine(reply, at + 1, end);
        if (amounts[i]) {
            const std::optional<double> value = amount(line);
            if (!value)
                return std::nullopt;
            *amounts[i] = *value;
        } else {
            const std::optional<int> value = count(line);
            if (!value)
                return std::nullopt;
            *counts[i] = *value;
        }
        at = end;
    }
    return r;
}

int BalanceReply::unsettledCount() const
{
    const long long sum = static_cast<long long>(countFirst) + countSecond;
    return static_cast<int>(
        std::clamp<long long>(sum, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

QString BalanceReply::text(const QDateTime &localTime) const
{
    const double u = unsettled();
    return QString::asprintf("业务结算情况\r\n────────────────────\r\n信用额度:%12.2f\r\n结算余额:%12.2f\r\n"
                             "未核金额:%12.2f[%d票]\r\n发货余额:%12.2f[含信用%.2f]\r\n实际余额:%12.2f[概算供参考]\r\n"
                             "────────────────────\r\n查询时间:%s[本地]\r\n",
                             creditLimit, settlementBalance, u, unsettledCount(), creditLimit + settlementBalance - u,
                             creditLimit, settlementBalance - u,
                             localTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8().constData());
}

} // namespace quarvel
