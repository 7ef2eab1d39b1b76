#include "net/BalanceReply.h"

#include "net/ReplyText.h"

namespace quarvel {

BalanceReply BalanceReply::parse(const QByteArray &reply)
{
    BalanceReply r;
    double *decimals[] = {&r.creditLimit, &r.settlementBalance, nullptr, &r.unsettledFirst,
                          nullptr,        &r.unsettledSecond,   nullptr};
    int *integers[] = {nullptr, nullptr, &r.unused, nullptr, &r.countFirst, nullptr, &r.countSecond};
    qsizetype at = ReplyText::find(reply, '\n');
    for (int i = 0; i < 7 && at >= 0; ++i) {
        if (decimals[i])
            *decimals[i] = ReplyText::decimal(reply, at + 1);
        else
            *integers[i] = ReplyText::integer(reply, at + 1);
        at = ReplyText::find(reply, '\n', at + 1);
    }
    return r;
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
