#include "upload/UploadLedgerEntry.h"

#include "storage/CheckRecord.h"
#include "storage/PreInputRecord.h"
#include "text/Gbk.h"
#include "upload/UploadJournal.h"

#include <QStringList>

namespace quarvel {

namespace {

// The first field names the kind of line; the check follows the fields.
constexpr char kShipmentTag[] = "S1";
constexpr char kScanTag[] = "C1";
constexpr int kShipmentFields = 16;
constexpr int kScanFields = 9;

// Tabs and line breaks would split a line; they become blanks.
QString flat(QString text)
{
    for (QChar &c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return text;
}

QByteArray check(const QByteArray &body)
{
    return QByteArray::number(UploadJournal::Digest(body), 16);
}

bool toInt(const QString &text, int &out)
{
    bool ok = false;
    out = text.toInt(&ok);
    return ok;
}

bool toDouble(const QString &text, double &out)
{
    bool ok = false;
    out = text.toDouble(&ok);
    return ok;
}

QStringList commonFields(const UploadLedgerEntry &e, const char *tag)
{
    return {QString::fromLatin1(tag),
            QString::number(e.localId),
            QString::number(e.digest, 16),
            e.accepted.at.toString(Qt::ISODate),
            QString::number(e.accepted.serverId),
            flat(e.accepted.account),
            flat(e.number)};
}

// The seven fields every line starts with; false when one is not of its kind.
bool readCommon(const QStringList &f, UploadLedgerEntry &e)
{
    bool digestOk = false;
    e.digest = f[2].toULongLong(&digestOk, 16);
    e.accepted.at = QDateTime::fromString(f[3], Qt::ISODate);
    e.accepted.account = f[5];
    e.number = f[6];
    return toInt(f[1], e.localId) && digestOk && e.accepted.at.isValid() && toInt(f[4], e.accepted.serverId);
}

bool readShipment(const QStringList &f, UploadLedgerEntry &e)
{
    e.kind = UploadKind::Shipments;
    e.businessDate = QDate::fromString(f[7], Qt::ISODate);
    e.destination = f[8];
    e.province = f[9];
    e.expressKind = f[10];
    return e.businessDate.isValid() && toInt(f[11], e.itemType) && toInt(f[12], e.payWay) && toInt(f[13], e.pieces) &&
           toDouble(f[14], e.weight) && toDouble(f[15], e.fee);
}

bool readScan(const QStringList &f, UploadLedgerEntry &e)
{
    e.kind = UploadKind::Scans;
    e.scanTime = f[8];
    return toInt(f[7], e.scanKind);
}

} // namespace

UploadLedgerEntry UploadLedgerEntry::OfShipment(const PreInputRecord &sent, quint64 digest, const Acceptance &accepted)
{
    UploadLedgerEntry e;
    e.kind = UploadKind::Shipments;
    e.localId = sent.iid;
    e.digest = digest;
    e.accepted = accepted;
    e.number = Gbk::field(sent.cnum);
    e.businessDate = QDate(sent.ddate.year, sent.ddate.month, sent.ddate.day);
    e.destination = Gbk::field(sent.cdes);
    e.province = Gbk::field(sent.creceiverprov).trimmed();
    e.expressKind = Gbk::field(sent.cemskind);
    e.itemType = sent.nitemtype;
    e.payWay = sent.npayway;
    e.pieces = sent.npieces;
    e.weight = sent.fweight;
    e.fee = sent.ffee;
    return e;
}

UploadLedgerEntry UploadLedgerEntry::OfScan(const CheckRecord &sent, quint64 digest, const Acceptance &accepted)
{
    UploadLedgerEntry e;
    e.kind = UploadKind::Scans;
    e.localId = sent.iid;
    e.digest = digest;
    e.accepted = accepted;
    e.number = Gbk::field(sent.cnum);
    e.scanKind = sent.nkind;
    e.scanTime = Gbk::field(sent.cdate);
    return e;
}

QByteArray UploadLedgerEntry::Line() const
{
    QStringList f;
    if (kind == UploadKind::Shipments) {
        f = commonFields(*this, kShipmentTag);
        // A record whose date is no calendar date still keeps its line.
        f << (businessDate.isValid() ? businessDate.toString(Qt::ISODate) : QStringLiteral("1900-01-01"))
          << flat(destination) << flat(province) << flat(expressKind) << QString::number(itemType)
          << QString::number(payWay) << QString::number(pieces) << QString::number(weight, 'f', 3)
          << QString::number(fee, 'f', 2);
    } else {
        f = commonFields(*this, kScanTag);
        f << QString::number(scanKind) << flat(scanTime);
    }
    const QByteArray body = f.join(u'\t').toUtf8();
    return body + '\t' + check(body) + '\n';
}

std::optional<UploadLedgerEntry> UploadLedgerEntry::Parse(const QByteArray &line)
{
    const qsizetype lastTab = line.lastIndexOf('\t');
    if (lastTab < 0 || line.mid(lastTab + 1) != check(line.left(lastTab)))
        return std::nullopt;
    const QStringList f = QString::fromUtf8(line.left(lastTab)).split(u'\t');
    UploadLedgerEntry e;
    const bool shipment = f[0] == QLatin1String(kShipmentTag) && f.size() == kShipmentFields;
    const bool scan = f[0] == QLatin1String(kScanTag) && f.size() == kScanFields;
    if (!shipment && !scan)
        return std::nullopt;
    if (!readCommon(f, e) || !(shipment ? readShipment(f, e) : readScan(f, e)))
        return std::nullopt;
    return e;
}

QString UploadLedgerEntry::RecordKey() const
{
    return QString::number(static_cast<int>(kind)) + u' ' + QString::number(localId) + u' ' + number;
}

} // namespace quarvel
