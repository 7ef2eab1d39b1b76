#pragma once

#include <QString>
#include <QStringList>

namespace quarvel {

// The values of the checkpoint scan page, as the operator sees them: the
// texts exactly as typed (the information texts are templates), the choices
// as indexes.
struct CheckValues {
    enum Version { Chinese = 0, English = 1, Both = 2 };
    enum Category { Arrival = 0, Departure = 1, Delivery = 2, Signature = 3, Exception = 4 };
    static constexpr int kCategories = 5;
    static constexpr int kExceptions = 8;
    static constexpr int kBeforeFlight = 1;
    static constexpr int kAfterFlight = 51;

    int version = Chinese;
    int category = Arrival;
    QString next;
    // Index in the exception list; 0 is "选择状态" (no state).
    int exception = 0;
    int flight = kBeforeFlight;
    QString signer;
    QString time;
    QString place;
    QString placeEn;
    QString info;
    QString infoEn;
    QString number;

    // "中文", "英文", "双语".
    static QStringList versionNames();
    // "到站", "出站", "派送", "签收", "异常"; also the list's "操作" column.
    static QStringList categoryNames();
    // "选择状态", "超时", "扣关", "地址错误", "快件丢失", "退件", "其它异常", "销毁".
    static QStringList exceptionNames();
    // The kind name of a stored scan; an unknown kind as its number.
    static QString KindName(int kind);
};

} // namespace quarvel
