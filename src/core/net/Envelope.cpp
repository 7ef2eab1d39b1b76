#include "net/Envelope.h"

#include "net/HttpTransport.h"
#include "net/ServerSession.h"
#include "text/Gbk.h"

#include <limits>

namespace quarvel {

namespace {

QByteArray tagged(const char *tag, const QByteArray &value)
{
    return QByteArray("<") + tag + '>' + value + "</" + tag + '>';
}

} // namespace

QByteArray Envelope::header(const ServerSession &session, int operation, int id, int number)
{
    return tagged("WER", "1") + tagged("WCID", Gbk::fromUnicode(session.siteCode())) +
           tagged("AC", Gbk::fromUnicode(session.account())) + tagged("OP", QByteArray::number(operation)) +
           tagged("ID", QByteArray::number(id)) + tagged("NUMBER", QByteArray::number(number)) +
           tagged("LCID", QByteArray::number(session.localeId())) +
           tagged("RAND", QByteArray::number(session.sessionNumber())) + "<DATA>";
}

QByteArray Envelope::closed(const QByteArray &head, const QByteArray &payload)
{
    return head + payload + "\a</DATA>\n";
}

QByteArray Envelope::recordUpload(const ServerSession &session, int iid, const QByteArray &call)
{
    return closed(header(session, RecordUpload, iid, 1), call + "')}");
}

QByteArray Envelope::scanUpload(const ServerSession &session, int iid, const QByteArray &call)
{
    return closed(header(session, ScanUpload, iid, 1), call + ")}");
}

QByteArray Envelope::recordList(const ServerSession &session, int page, int total, const QByteArray &condition)
{
    return closed(header(session, RecordList, page, total), condition);
}

QByteArray Envelope::settlementList(const ServerSession &session, int page, int total, const QByteArray &condition)
{
    return closed(header(session, SettlementList, page, total), condition);
}

QByteArray Envelope::preInputList(const ServerSession &session, int page, int total, const QByteArray &condition)
{
    return closed(header(session, PreInputList, page, total), condition);
}

QByteArray Envelope::shipmentInfo(const ServerSession &session, int recordId)
{
    return closed(header(session, ShipmentInfo, recordId, 0), ".");
}

QByteArray Envelope::freight(const ServerSession &session, int itemType, int grams, const QByteArray &destination,
                             const QByteArray &kindCode)
{
    return closed(header(session, Freight, itemType, grams), destination + '\n' + kindCode + '\n') + '\a';
}

QByteArray Envelope::balance(const ServerSession &session)
{
    return closed(header(session, Balance, 0, 1), {});
}

QByteArray Envelope::waybillPrint(const ServerSession &session, int recordId)
{
    return closed(header(session, WaybillPrint, recordId, 1),
                  " FROM tarvo.dbo.client_rec WHERE irid=" + QByteArray::number(recordId));
}

QByteArray Envelope::priceQuote(const ServerSession &session, int itemType, int grams, const QByteArray &destination)
{
    return closed(header(session, PriceQuote, itemType, grams), destination + '\n') + '\a';
}

QByteArray Envelope::deletePreInputs(const ServerSession &session, int count, const QByteArray &statement)
{
    return closed(header(session, DeletePreInputs, count, count), statement);
}

int Envelope::WeightGrams(double kilograms)
{
    double grams = kilograms * 1000;
    grams += grams >= 0.01 ? 0.1 : -0.1;
    if (!(grams > std::numeric_limits<int>::min() && grams < std::numeric_limits<int>::max()))
        return 0;
    return static_cast<int>(grams);
}

int Envelope::Post(const ServerSession &session, const QByteArray &envelope, std::span<char> reply)
{
    return HttpPost(session.CurrentServerHost(), path(), envelope, reply, session.timeouts());
}

} // namespace quarvel
