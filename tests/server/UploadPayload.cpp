#include "UploadPayload.h"

#include "RawHttp.h"

namespace {

QByteArray real(double value, int decimals)
{
    return QByteArray::number(value, 'f', decimals);
}

QByteArray lineName(const QString &name, LineNames names)
{
    const QByteArray bytes = gbk(name);
    return names == LineNames::Quoted ? QByteArray(bytes).replace("'", "''''") : bytes;
}

QByteArray pieceBatch(const QList<PieceLineValues> &lines, LineNames names)
{
    QByteArray batch;
    for (const PieceLineValues &p : lines) {
        batch += batch.isEmpty() ? "INSERT INTO tarvo.dbo.client_rec_weight_detail select " : " union select ";
        batch += "#1234567#," + QByteArray::number(p.length) + ',' + QByteArray::number(p.width) + ',' +
                 QByteArray::number(p.height) + ',' + QByteArray::number(p.grams) + ',' +
                 QByteArray::number(p.volumePercent) + ",'''',0,0,0,0,''" + lineName(p.name, names) + "''," +
                 QByteArray::number(p.quantity) + ',' + QByteArray::number(p.price) + ",''''";
    }
    return "'" + batch + "'";
}

QByteArray goodsBatch(const QList<GoodsLineValues> &lines, int target, LineNames names)
{
    QByteArray batch;
    int line = 0;
    for (const GoodsLineValues &g : lines) {
        batch += batch.isEmpty() ? QByteArray("INSERT INTO tarvo.dbo.") +
                                       (target == 1 ? "client_rec" : "rec_pre_input") + "_goods select "
                                 : QByteArray(" union select ");
        batch += QByteArray::number(line++) + ",#1234567#,''" + lineName(g.name, names) + "'',''''," +
                 QByteArray::number(g.quantity) + ',' + real(g.price, 2) + ' ';
    }
    return "'" + batch + "'";
}

} // namespace

QByteArray quoted(const QString &text)
{
    return "'" + gbk(text).replace("'", "''") + "'";
}

QByteArray shipmentCall(const ShipmentValues &s, int target, LineNames names)
{
    const QByteArray date = QByteArray::number(s.date.year()) + '.' +
                            QByteArray::number(s.date.month()).rightJustified(2, '0') + '.' +
                            QByteArray::number(s.date.day()).rightJustified(2, '0');
    QList<QByteArray> a = {QByteArray::number(s.clientId),
                           QByteArray::number(s.itemType),
                           QByteArray::number(s.language),
                           "'" + date + "'",
                           QByteArray::number(s.payWay),
                           "'*A\aB\aC\aD\a'",
                           quoted(s.kind),
                           quoted(s.from),
                           quoted(s.destination),
                           quoted(s.waybill),
                           real(s.weight, 3),
                           real(s.fee, 2),
                           quoted(s.sender),
                           quoted(s.receiver),
                           quoted(s.phone),
                           quoted(s.receiverCorp),
                           quoted(s.receiverZip),
                           quoted(s.receiverAddr),
                           quoted(s.receiverCountry),
                           quoted(s.receiverCity),
                           quoted(s.receiverProv),
                           quoted(s.remark),
                           quoted(s.size),
                           real(s.weighed, 3),
                           quoted(s.goods),
                           QByteArray::number(s.quantity),
                           QByteArray::number(s.price),
                           quoted(s.pack),
                           QByteArray::number(s.declare),
                           QByteArray::number(s.insure),
                           quoted(s.currency),
                           quoted(s.senderCorp),
                           quoted(s.senderAddr),
                           quoted(s.senderPhone),
                           quoted(s.senderZip),
                           quoted(s.senderCountry),
                           quoted(s.senderProv),
                           quoted(s.senderCity),
                           quoted(s.mark),
                           quoted(s.payDir),
                           quoted(s.goodsOrigin),
                           QByteArray::number(s.pieces),
                           "''"};
    // Only freight to collect carries its amounts.
    if (s.payWay == 2)
        a << real(s.fee, 2) << real(s.collectSettle, 2);
    else
        a << "0"
          << "0";
    a << quoted(s.senderSms) << real(s.cod, 2) << real(s.codSettle, 2) << quoted(s.depart) << quoted(s.senderMail)
      << quoted(s.receiverMail) << quoted(s.receiverSms);
    if (target == 1)
        a << pieceBatch(s.pieceLines, names);
    a << goodsBatch(s.goodsLines, target, names);
    return QByteArray("{?=CALL tarvo.dbo.") + (target == 1 ? "cp_client_rec_add_kv" : "cp_rec_pre_input_add_kv") + '(' +
           a.join(',') + ")}";
}

QByteArray scanCall(const ScanValues &s)
{
    static const char *const procedures[] = {"scan_add", "en_scan_add", "scan_all"};
    QByteArray call =
        QByteArray("{?=CALL tarvo.dbo.cp_check_detail_") + procedures[s.version] + "_kv(?,?,?,?,?,?,?,?,?,?,?,?,?,?,0";
    call += ',' + quoted(s.waybill) + ',' + quoted(s.station) + ',' + quoted(s.next) + ',' +
            QByteArray::number(s.kind) + ',' + quoted(s.signTime) + ',' + quoted(s.date);
    if (s.version != 1)
        call += ',' + quoted(s.place) + ',' + quoted(s.info);
    if (s.version != 0)
        call += ',' + quoted(s.placeEn) + ',' + quoted(s.infoEn);
    call += ",'*A\aB\aC\aD\a'," + quoted(s.signer) + ',' + QByteArray::number(s.flight) + ',' +
            QByteArray::number(s.state) + ")}";
    return call;
}
