#include "WaybillOperation.h"

#include "Account.h"
#include "Database.h"
#include "Envelope.h"
#include "TransStatus.h"
#include "WireText.h"

#include <cstdio>

namespace quarvel::server {

namespace {

enum class Form { Integer, Weight, Money, Text, Date };

struct Field {
    const char *tag;
    const char *column;
    Form form;
};

// The reply's tags and the client_rec columns they come from.
const Field kFields[] = {
    {"IID", "iiid", Form::Integer},
    {"FID", "ifid", Form::Integer},
    {"LANGUAGE", "nlanguage", Form::Integer},
    {"STATE", "nstate", Form::Integer},
    {"BATCH", "nbatch", Form::Integer},
    {"IRESERVE", "ireserve", Form::Integer},
    {"QUANTITY", "nquantity", Form::Integer},
    {"GPRICE", "iprice", Form::Integer},
    {"FROM", "nfrom", Form::Integer},
    {"ITEMTYPE", "nitemtype", Form::Integer},
    {"ITEM", "iitem", Form::Integer},
    {"DVALUE", "ideclare", Form::Integer},
    {"IVALUE", "iinsure", Form::Integer},
    {"PAYWAY", "npayway", Form::Integer},
    {"WEIGHT", "fweight", Form::Weight},
    {"WEIGHTB", "fweighed", Form::Weight},
    {"AMOUNT", "famount", Form::Money},
    {"GOODST", "fgoodst", Form::Money},
    {"GOODSC", "fgoodsc", Form::Money},
    {"SPRICE", "fsprice", Form::Money},
    {"ABASE", "fbase", Form::Money},
    {"AADDON", "faddon", Form::Money},
    {"ACUSTOM", "fcustom", Form::Money},
    {"AGET", "fget", Form::Money},
    {"ACARRY", "fcarry", Form::Money},
    {"ASAFE", "fsafe", Form::Money},
    {"APACK", "fpack", Form::Money},
    {"AOTHER", "fother", Form::Money},
    {"PAYDIR", "cpaydir", Form::Text},
    {"DATE", "ddate", Form::Date},
    {"ADDRFROM", "cfrom", Form::Text},
    {"DES", "cdes", Form::Text},
    {"MARK", "cmark", Form::Text},
    {"NUM", "cnum", Form::Text},
    {"RNAME", "creceiver", Form::Text},
    {"RUNIT", "creceivercorp", Form::Text},
    {"RADDR", "creceiveraddr", Form::Text},
    {"RPOST", "creceiverzip", Form::Text},
    {"RPHONE", "cphone", Form::Text},
    {"REMAIL", "creceivermail", Form::Text},
    {"RSMS", "creceiversms", Form::Text},
    {"RCOUNTRY", "creceivercountry", Form::Text},
    {"RPROVINCE", "creceiverprov", Form::Text},
    {"RCITY", "creceivercity", Form::Text},
    {"SNAME", "csender", Form::Text},
    {"SUNIT", "csendercorp", Form::Text},
    {"SADDR", "csenderaddr", Form::Text},
    {"SPOST", "csenderzip", Form::Text},
    {"SPHONE", "csenderphone", Form::Text},
    {"SEMAIL", "csendermail", Form::Text},
    {"SSMS", "csendersms", Form::Text},
    {"SCOUNTRY", "csendercountry", Form::Text},
    {"SPROVINCE", "csenderprov", Form::Text},
    {"SCITY", "csendercity", Form::Text},
    {"DEPART", "cdepart", Form::Text},
    {"GOODS", "cgoods", Form::Text},
    {"PACK", "cpack", Form::Text},
    {"TRANSNOTE", "cconsignnote", Form::Text},
    {"MONEY", "ccurrency", Form::Text},
    {"SYSDATE", "dsysdate", Form::Text},
    {"SENDDATE", "dsenddate", Form::Text},
    {"ADATE", "dsigndate", Form::Text},
    {"EMSKIND", "cemskind", Form::Text},
    {"NO", "cno", Form::Text},
    {"RNO", "crno", Form::Text},
    {"CNO", "ccno", Form::Text},
    {"INPUT", "cinput", Form::Text},
    {"SIGN", "csigner", Form::Text},
};

std::string number(const char *format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A BEL inside a value would end its field early; it cannot stand there.
std::string wire(const std::string &utf8)
{
    std::string gbk = WireText::toGbk(utf8);
    std::erase(gbk, '\a');
    return gbk;
}

std::string value(const Statement &row, int column, Form form)
{
    switch (form) {
    case Form::Integer:
        return std::to_string(row.integer(column));
    case Form::Weight:
        return number("%.3f", row.real(column));
    case Form::Money:
        return number("%.2f", row.real(column));
    case Form::Date:
        return wire(row.text(column).substr(0, 10));
    case Form::Text:
        break;
    }
    return wire(row.text(column));
}

} // namespace

bool WaybillOperation::allows(const Account &account) const
{
    return account.kind == AccountKind::Customer;
}

std::string WaybillOperation::tagged(Database &db, int recordId, int clientId, bool &found)
{
    std::string sql = "SELECT ";
    for (const Field &f : kFields)
        sql += std::string(f.column) + (&f == &kFields[std::size(kFields) - 1] ? " " : ", ");
    sql += "FROM client_rec WHERE irid = ? AND icid = ?";
    auto row = db.prepare(sql);
    row.bind(1, recordId).bind(2, clientId);
    found = row.step();
    std::string out;
    if (!found)
        return out;
    for (int i = 0; i < int(std::size(kFields)); ++i) {
        const Field &f = kFields[i];
        out += "\a<" + std::string(f.tag) + ">" + value(row, i, f.form) + "</" + f.tag + ">\a";
    }
    return out;
}

std::string WaybillOperation::answer(const TransRequest &request)
{
    const Envelope &e = request.envelope;
    if (e.id <= 0)
        return statusLine(BadId);
    if (e.number != 1)
        return statusLine(BadNumber);
    if (e.trailingBel || e.payload != " FROM tarvo.dbo.client_rec WHERE irid=" + std::to_string(e.id))
        return statusLine(BadCommand);
    bool found = false;
    const std::string fields = tagged(request.db, e.id, request.account.clientId, found);
    return found ? "1\n" + fields : statusLine(0);
}

} // namespace quarvel::server
