#include "InfoOperation.h"

#include "Account.h"
#include "Database.h"
#include "Envelope.h"
#include "ReplyField.h"
#include "TransStatus.h"

#include <cstdio>

namespace quarvel::server {

namespace {

enum class Kind { Integer, Real, Text };

struct Tag {
    const char *tag;
    const char *sql;
    Kind kind;
};

// IID (invoiced) is the settlement when that settlement carries an invoice number.
constexpr Tag kTags[] = {
    {"RID", "r.irid", Kind::Integer},
    {"IID", "(SELECT f.iid FROM client_fee f WHERE f.iid = r.ifid AND f.cinvoice <> '')", Kind::Integer},
    {"FID", "r.ifid", Kind::Integer},
    {"LANGUAGE", "r.nlanguage", Kind::Integer},
    {"ITEMTYPE", "r.nitemtype", Kind::Integer},
    {"BATCH", "r.nbatch", Kind::Integer},
    {"IRESERVE", "r.ireserve", Kind::Integer},
    {"ITEM", "r.iitem", Kind::Integer},
    {"FROM", "r.nfrom", Kind::Integer},
    {"PAYWAY", "r.npayway", Kind::Integer},
    {"STATE", "r.nstate", Kind::Integer},
    {"QUANTITY", "r.nquantity", Kind::Integer},
    {"GPRICE", "r.iprice", Kind::Integer},
    {"DVALUE", "r.ideclare", Kind::Integer},
    {"IVALUE", "r.iinsure", Kind::Integer},
    {"WEIGHT", "r.fweight", Kind::Real},
    {"GOODST", "r.fgoodst", Kind::Real},
    {"GOODSC", "r.fgoodsc", Kind::Real},
    {"SPRICE", "r.fsprice", Kind::Real},
    {"AMOUNT", "r.famount", Kind::Real},
    {"ABASE", "r.fbase", Kind::Real},
    {"AADDON", "r.faddon", Kind::Real},
    {"ACUSTOM", "r.fcustom", Kind::Real},
    {"AGET", "r.fget", Kind::Real},
    {"ACARRY", "r.fcarry", Kind::Real},
    {"ASAFE", "r.fsafe", Kind::Real},
    {"APACK", "r.fpack", Kind::Real},
    {"AOTHER", "r.fother", Kind::Real},
    {"PAYDIR", "r.cpaydir", Kind::Text},
    {"DATE", "substr(r.ddate, 1, 10)", Kind::Text},
    {"SYSDATE", "r.dsysdate", Kind::Text},
    {"SENDDATE", "r.dsenddate", Kind::Text},
    {"ADATE", "r.dsigndate", Kind::Text},
    {"EMSKIND", "r.cemskind", Kind::Text},
    {"ADDRFROM", "r.cfrom", Kind::Text},
    {"DES", "r.cdes", Kind::Text},
    {"MARK", "r.cmark", Kind::Text},
    {"NUM", "r.cnum", Kind::Text},
    {"NO", "r.cno", Kind::Text},
    {"RNO", "r.crno", Kind::Text},
    {"CNO", "r.ccno", Kind::Text},
    {"INPUT", "r.cinput", Kind::Text},
    {"RNAME", "r.creceiver", Kind::Text},
    {"RUNIT", "r.creceivercorp", Kind::Text},
    {"RADDR", "r.creceiveraddr", Kind::Text},
    {"RPOST", "r.creceiverzip", Kind::Text},
    {"RPHONE", "r.cphone", Kind::Text},
    {"REMAIL", "r.creceivermail", Kind::Text},
    {"RSMS", "r.creceiversms", Kind::Text},
    {"RCOUNTRY", "r.creceivercountry", Kind::Text},
    {"RPROVINCE", "r.creceiverprov", Kind::Text},
    {"RCITY", "r.creceivercity", Kind::Text},
    {"SNAME", "r.csender", Kind::Text},
    {"SUNIT", "r.csendercorp", Kind::Text},
    {"SADDR", "r.csenderaddr", Kind::Text},
    {"SPOST", "r.csenderzip", Kind::Text},
    {"SPHONE", "r.csenderphone", Kind::Text},
    {"SEMAIL", "r.csendermail", Kind::Text},
    {"SSMS", "r.csendersms", Kind::Text},
    {"SCOUNTRY", "r.csendercountry", Kind::Text},
    {"SPROVINCE", "r.csenderprov", Kind::Text},
    {"SCITY", "r.csendercity", Kind::Text},
    {"DEPART", "r.cdepart", Kind::Text},
    {"GOODS", "r.cgoods", Kind::Text},
    {"PACK", "r.cpack", Kind::Text},
    {"TRANSNOTE", "r.cconsignnote", Kind::Text},
    {"SIGN", "r.csigner", Kind::Text},
};

std::string valueText(const Statement &row, int column, Kind kind)
{
    if (kind == Kind::Integer)
        return std::to_string(row.integer(column));
    if (kind == Kind::Real) {
        char text[64];
        std::snprintf(text, sizeof text, "%.3f", row.real(column));
        return text;
    }
    return ReplyField(row.text(column));
}

std::string selectSql()
{
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < std::size(kTags); ++i)
        sql += std::string(i ? ", " : "") + kTags[i].sql;
    return sql + " FROM client_rec r WHERE r.irid = ? AND r.icid = ?";
}

} // namespace

bool InfoOperation::allows(const Account &account) const
{
    return account.kind == AccountKind::Customer;
}

std::string InfoOperation::answer(const TransRequest &request)
{
    const Envelope &e = request.envelope;
    if (e.id < 1)
        return statusLine(BadId);
    if (e.number != 0)
        return statusLine(BadNumber);
    if (e.payload != "." || e.trailingBel)
        return statusLine(BadCommand);
    auto row = request.db.prepare(selectSql());
    row.bind(1, e.id).bind(2, request.account.clientId);
    if (!row.step())
        return statusLine(0);
    std::string reply;
    for (std::size_t i = 0; i < std::size(kTags); ++i) {
        const Tag &t = kTags[i];
        reply.append("\a<").append(t.tag).append(">");
        reply += valueText(row, static_cast<int>(i), t.kind);
        reply.append("</").append(t.tag).append(">\a");
    }
    return reply;
}

} // namespace quarvel::server
