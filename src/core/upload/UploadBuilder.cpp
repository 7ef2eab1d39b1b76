#include "upload/UploadBuilder.h"

#include "net/BaseData.h"
#include "net/Envelope.h"
#include "net/ServerSession.h"
#include "storage/CheckRecord.h"
#include "text/Gbk.h"

#include <cstdio>
#include <cstring>

namespace quarvel {

namespace {

// The text of a fixed-width field up to its terminator.
template <std::size_t N> QByteArray bytes(const char (&field)[N])
{
    return QByteArray(field, static_cast<qsizetype>(::strnlen(field, N)));
}

template <std::size_t N> QByteArray text(const char (&field)[N])
{
    return UploadBuilder::quoted(bytes(field));
}

QByteArray real(double value, int decimals)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

QByteArray number(long long value)
{
    return QByteArray::number(value);
}

// A goods or piece name inside its batch: doubled for the batch's SQL and
// doubled again because the batch itself is a quoted argument.
QByteArray lineName(const QByteArray &name)
{
    return UploadBuilder::doubled(UploadBuilder::doubled(name));
}

QByteArray businessDate(const PreInputRecord &r)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d.%02d.%02d", int(r.ddate.year), int(r.ddate.month), int(r.ddate.day));
    return buffer;
}

} // namespace

QByteArray UploadBuilder::doubled(QByteArray gbk)
{
    // GBK trail bytes start at 0x40, so a quote byte is always a quote.
    return gbk.replace('\'', "''");
}

QByteArray UploadBuilder::quoted(const QByteArray &gbk)
{
    return '\'' + doubled(gbk) + '\'';
}

QByteArray UploadBuilder::weightBatch(const std::vector<WeightRecord> &pieces)
{
    QByteArray batch;
    for (const WeightRecord &p : pieces) {
        batch += batch.isEmpty() ? QByteArray("INSERT INTO tarvo.dbo.client_rec_weight_detail select ")
                                 : QByteArray(" union select ");
        batch += QByteArray(kPlaceholder) + ',' + number(p.nlength) + ',' + number(p.nwidth) + ',' + number(p.nheight) +
                 ',' + number(p.nweight) + ',' + number(p.nvolpercent) + ",'''',0,0,0,0,''" + lineName(bytes(p.cname)) +
                 "''," + number(p.nquantity) + ',' + number(p.iprice) + ",''''";
    }
    return batch;
}

QByteArray UploadBuilder::goodsBatch(const std::vector<GoodsRecord> &goods, int uploadTarget)
{
    QByteArray batch;
    int line = 0;
    for (const GoodsRecord &g : goods) {
        batch += batch.isEmpty() ? QByteArray("INSERT INTO tarvo.dbo.") +
                                       (uploadTarget == 1 ? "client_rec" : "rec_pre_input") + "_goods select "
                                 : QByteArray(" union select ");
        batch += number(line++) + ',' + kPlaceholder + ",''" + lineName(bytes(g.cname)) + "'',''''," +
                 number(g.nquantity) + ',' + real(g.fprice, 2) + ' ';
    }
    return batch;
}

QByteArray UploadBuilder::recordCall(const ServerSession &session, const QByteArray &kindCode,
                                     const ShipmentCopy &shipment)
{
    const PreInputRecord &r = shipment.record;
    const int target = session.uploadTarget();
    QByteArray call =
        QByteArray("{?=CALL tarvo.dbo.") + (target == 1 ? "cp_client_rec_add_kv(" : "cp_rec_pre_input_add_kv(");
    QList<QByteArray> a{number(session.clientId()),    number(r.nitemtype), number(r.nlanguage),
                        '\'' + businessDate(r) + '\'', number(r.npayway),   "'*A\aB\aC\aD\a'"};
    a << quoted(kindCode) << text(r.cfrom) << text(r.cdes) << text(r.cnum);
    a << real(r.fweight, 3) << real(r.ffee, 2);
    a << text(r.csender) << text(r.creceiver) << text(r.cphone) << text(r.creceivercorp) << text(r.creceiverzip)
      << text(r.creceiveraddr) << text(r.creceivercountry) << text(r.creceivercity) << text(r.creceiverprov)
      << text(r.cremark) << text(r.csize);
    a << real(r.fweighed, 3) << text(r.cgoods) << number(r.nquantity) << number(r.iprice) << text(r.cpack)
      << number(r.ideclare) << number(r.iinsure) << text(r.ccurrency);
    a << text(r.csendercorp) << text(r.csenderaddr) << text(r.csenderphone) << text(r.csenderzip)
      << text(r.csendercountry) << text(r.csenderprov) << text(r.csendercity) << text(r.cmark) << text(r.cpaydir)
      << text(r.cgoodsorigin);
    a << number(r.npieces) << "''";
    // Only freight to collect carries its two amounts.
    if (r.npayway == 2)
        a << real(r.ffee, 2) << real(r.fcollectsettle, 2);
    else
        a << "0"
          << "0";
    a << text(r.csendersms) << real(r.fcod, 2) << real(r.fcodsettle, 2) << text(r.cdepart) << text(r.csendermail)
      << text(r.creceivermail) << text(r.creceiversms);
    if (target == 1)
        a << '\'' + weightBatch(shipment.pieces) + '\'';
    // The goods batch stays open: the envelope closes its quote.
    a << '\'' + goodsBatch(shipment.goods, target);
    return call + a.join(',');
}

QByteArray UploadBuilder::BuildRecordUpload(const ServerSession &session, const BaseData &baseData,
                                            const ShipmentCopy &shipment)
{
    const PreInputRecord &r = shipment.record;
    if (r.nlocked == 1 || bytes(r.cdes).isEmpty())
        return {};
    const ExpressKind *kind = baseData.kindByName(Gbk::field(r.cemskind));
    if (!kind)
        return {};
    return Envelope::recordUpload(session, r.iid, recordCall(session, kind->code, shipment));
}

QByteArray UploadBuilder::scanCall(const ServerSession &session, const CheckRecord &scan)
{
    static const char *const procedures[] = {"scan_add", "en_scan_add", "scan_all"};
    const int version = scan.nversion;
    QByteArray call =
        QByteArray("{?=CALL tarvo.dbo.cp_check_detail_") + procedures[version] + "_kv(?,?,?,?,?,?,?,?,?,?,?,?,?,?,0";
    call += ',' + text(scan.cnum) + ',' + quoted(session.defaultLineBytes(ServerSession::StationCode)) + ',' +
            text(scan.cnext) + ',' + number(scan.nkind) + ',' + text(scan.csigntime) + ',' + text(scan.cdate);
    if (version != 1)
        call += ',' + text(scan.cplace) + ',' + text(scan.cinfo);
    if (version != 0)
        call += ',' + text(scan.cplaceen) + ',' + text(scan.cinfoen);
    call += ",'*A\aB\aC\aD\a'," + text(scan.csigner) + ',' + number(scan.nflight) + ',' + number(scan.nstate);
    return call;
}

QByteArray UploadBuilder::BuildScanUpload(const ServerSession &session, const CheckRecord &scan)
{
    if (scan.nversion > 2)
        return {};
    return Envelope::scanUpload(session, scan.iid, scanCall(session, scan));
}

} // namespace quarvel
