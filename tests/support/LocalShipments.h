#pragma once

#include "app/ClientContext.h"
#include "text/Gbk.h"

#include <QStringList>

// Shipments written straight into a counter's local files, as a saved page
// would leave them: a record to 北京 by 特快专递 with its goods and piece lines.
namespace LocalShipments {

inline quarvel::PreInputRecord shipment(const QString &number)
{
    quarvel::PreInputRecord r{};
    r.ddate = {2026, 1, 7};
    r.nitemtype = 1;
    r.npayway = 1;
    r.fweight = 1.2;
    r.npieces = 1;
    r.nquantity = 1;
    quarvel::Gbk::setField(r.cnum, number);
    quarvel::Gbk::setField(r.cemskind, QStringLiteral("特快专递"));
    quarvel::Gbk::setField(r.cdes, QStringLiteral("北京"));
    quarvel::Gbk::setField(r.creceiver, QStringLiteral("李四"));
    return r;
}

inline int add(quarvel::ClientContext &context, quarvel::PreInputRecord r, const QStringList &goods = {},
               const QStringList &pieces = {})
{
    context.preInputs().Append(&r);
    for (const QString &name : goods) {
        quarvel::GoodsRecord g{};
        g.iparent = r.iid;
        g.nquantity = 2;
        g.fprice = 3.5;
        quarvel::Gbk::setField(g.cname, name);
        context.goods().Append(&g);
    }
    for (const QString &name : pieces) {
        quarvel::WeightRecord w{};
        w.iparent = r.iid;
        w.nlength = 30;
        w.nwidth = 20;
        w.nheight = 10;
        w.nweight = 1200;
        w.nquantity = 1;
        w.iprice = 250;
        quarvel::Gbk::setField(w.cname, name);
        context.weights().Append(&w);
    }
    context.FlushRecords();
    return r.iid;
}

inline QList<int> addNumbers(quarvel::ClientContext &context, const QStringList &numbers)
{
    QList<int> ids;
    for (const QString &n : numbers)
        ids << add(context, shipment(n), {QStringLiteral("货")}, {QStringLiteral("件")});
    return ids;
}

} // namespace LocalShipments
