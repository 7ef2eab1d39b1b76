#include "Schema.h"

#include "Database.h"

#include <string>

namespace quarvel::server {

namespace {

// Shipment columns shared by the shipment records (client_rec) and the
// uploaded pre-entries (rec_pre_input): what the upload procedure carries.
const char *const kShipmentColumns = R"(
    icid INTEGER NOT NULL,
    cac TEXT NOT NULL DEFAULT '',
    nitemtype INTEGER NOT NULL DEFAULT 0,
    nlanguage INTEGER NOT NULL DEFAULT 0,
    npayway INTEGER NOT NULL DEFAULT 0,
    ddate TEXT NOT NULL DEFAULT '',
    dsysdate TEXT NOT NULL DEFAULT (datetime('now', 'localtime')),
    cmarker TEXT NOT NULL DEFAULT '',
    cemskind TEXT NOT NULL DEFAULT '',
    cfrom TEXT NOT NULL DEFAULT '',
    cdes TEXT NOT NULL DEFAULT '',
    cnum TEXT NOT NULL,
    fweight REAL NOT NULL DEFAULT 0,
    ffee REAL NOT NULL DEFAULT 0,
    csender TEXT NOT NULL DEFAULT '',
    csendercorp TEXT NOT NULL DEFAULT '',
    csenderaddr TEXT NOT NULL DEFAULT '',
    csenderphone TEXT NOT NULL DEFAULT '',
    csenderzip TEXT NOT NULL DEFAULT '',
    csendercountry TEXT NOT NULL DEFAULT '',
    csenderprov TEXT NOT NULL DEFAULT '',
    csendercity TEXT NOT NULL DEFAULT '',
    csendermail TEXT NOT NULL DEFAULT '',
    csendersms TEXT NOT NULL DEFAULT '',
    creceiver TEXT NOT NULL DEFAULT '',
    creceivercorp TEXT NOT NULL DEFAULT '',
    creceiveraddr TEXT NOT NULL DEFAULT '',
    cphone TEXT NOT NULL DEFAULT '',
    creceiverzip TEXT NOT NULL DEFAULT '',
    creceivercountry TEXT NOT NULL DEFAULT '',
    creceiverprov TEXT NOT NULL DEFAULT '',
    creceivercity TEXT NOT NULL DEFAULT '',
    creceivermail TEXT NOT NULL DEFAULT '',
    creceiversms TEXT NOT NULL DEFAULT '',
    cremark TEXT NOT NULL DEFAULT '',
    csize TEXT NOT NULL DEFAULT '',
    fweighed REAL NOT NULL DEFAULT 0,
    cgoods TEXT NOT NULL DEFAULT '',
    nquantity INTEGER NOT NULL DEFAULT 0,
    iprice INTEGER NOT NULL DEFAULT 0,
    cpack TEXT NOT NULL DEFAULT '',
    ideclare INTEGER NOT NULL DEFAULT 0,
    iinsure INTEGER NOT NULL DEFAULT 0,
    ccurrency TEXT NOT NULL DEFAULT '',
    cmark TEXT NOT NULL DEFAULT '',
    cpaydir TEXT NOT NULL DEFAULT '',
    cgoodsorigin TEXT NOT NULL DEFAULT '',
    iitem INTEGER NOT NULL DEFAULT 0,
    cextra TEXT NOT NULL DEFAULT '',
    fcollect REAL NOT NULL DEFAULT 0,
    fcollectsettle REAL NOT NULL DEFAULT 0,
    fcod REAL NOT NULL DEFAULT 0,
    fcodsettle REAL NOT NULL DEFAULT 0,
    cdepart TEXT NOT NULL DEFAULT '')";

std::string tables()
{
    std::string sql = R"(
CREATE TABLE IF NOT EXISTS site (
    cwcid TEXT PRIMARY KEY,
    cname TEXT NOT NULL DEFAULT '',
    cvolmode TEXT NOT NULL DEFAULT ''
);
CREATE TABLE IF NOT EXISTS client (
    icid INTEGER PRIMARY KEY,
    cwcid TEXT NOT NULL REFERENCES site(cwcid),
    cname TEXT NOT NULL DEFAULT '',
    caddr TEXT NOT NULL DEFAULT '',
    cphone TEXT NOT NULL DEFAULT '',
    fcredit REAL NOT NULL DEFAULT 0,
    fbalance REAL NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS client_account (
    cwcid TEXT NOT NULL REFERENCES site(cwcid),
    cac TEXT NOT NULL,
    cpassword TEXT NOT NULL DEFAULT '',
    icid INTEGER NOT NULL DEFAULT 0,
    nkind INTEGER NOT NULL DEFAULT 0,
    nright INTEGER NOT NULL DEFAULT 1,
    ntarget INTEGER NOT NULL DEFAULT 1,
    cstation TEXT NOT NULL DEFAULT '',
    cstation2 TEXT NOT NULL DEFAULT '',
    cplace TEXT NOT NULL DEFAULT '',
    cinfo TEXT NOT NULL DEFAULT '',
    cplaceen TEXT NOT NULL DEFAULT '',
    cinfoen TEXT NOT NULL DEFAULT '',
    PRIMARY KEY (cwcid, cac)
);
CREATE TABLE IF NOT EXISTS client_session (
    irand INTEGER PRIMARY KEY,
    cwcid TEXT NOT NULL,
    cac TEXT NOT NULL,
    dlogin TEXT NOT NULL DEFAULT (datetime('now', 'localtime')),
    dlast TEXT NOT NULL DEFAULT (datetime('now', 'localtime')),
    FOREIGN KEY (cwcid, cac) REFERENCES client_account(cwcid, cac) ON DELETE CASCADE
);
CREATE INDEX IF NOT EXISTS client_session_account ON client_session(cwcid, cac);
CREATE TABLE IF NOT EXISTS client_login_used (
    cwcid TEXT NOT NULL,
    cac TEXT NOT NULL,
    itime INTEGER NOT NULL,
    cdigest TEXT NOT NULL,
    PRIMARY KEY (cwcid, cac, itime, cdigest)
);
CREATE TABLE IF NOT EXISTS ems_kind (
    ccode TEXT PRIMARY KEY,
    cname TEXT NOT NULL UNIQUE,
    nsort INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS destination (
    ides INTEGER PRIMARY KEY,
    nregion INTEGER NOT NULL DEFAULT 0,
    nzone INTEGER NOT NULL DEFAULT 0,
    ckey1 TEXT NOT NULL DEFAULT '',
    ckey2 TEXT NOT NULL DEFAULT '',
    cpost TEXT NOT NULL DEFAULT '',
    cname TEXT NOT NULL UNIQUE,
    ccountry TEXT NOT NULL DEFAULT ''
);
CREATE TABLE IF NOT EXISTS ems_kind_des (
    ccode TEXT NOT NULL REFERENCES ems_kind(ccode) ON DELETE CASCADE,
    ides INTEGER NOT NULL REFERENCES destination(ides) ON DELETE CASCADE,
    PRIMARY KEY (ccode, ides)
);
CREATE TABLE IF NOT EXISTS ems_price (
    ccode TEXT NOT NULL REFERENCES ems_kind(ccode) ON DELETE CASCADE,
    nzone INTEGER NOT NULL,
    nitemtype INTEGER NOT NULL,
    nfirstgrams INTEGER NOT NULL DEFAULT 1000,
    ffirst REAL NOT NULL DEFAULT 0,
    nnextgrams INTEGER NOT NULL DEFAULT 1000,
    fnext REAL NOT NULL DEFAULT 0,
    fextra TEXT NOT NULL DEFAULT '',
    nmindays INTEGER NOT NULL DEFAULT 0,
    nmaxdays INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (ccode, nzone, nitemtype)
);
CREATE TABLE IF NOT EXISTS sys_model (
    cwcid TEXT NOT NULL,
    nkind INTEGER NOT NULL,
    cname TEXT NOT NULL,
    btxt BLOB NOT NULL,
    bxls BLOB NOT NULL,
    PRIMARY KEY (cwcid, nkind, cname)
);
CREATE TABLE IF NOT EXISTS client_rec (
    irid INTEGER PRIMARY KEY AUTOINCREMENT,)";
    sql += kShipmentColumns;
    sql += R"(,
    iiid INTEGER NOT NULL DEFAULT 0,
    ifid INTEGER NOT NULL DEFAULT 0,
    nstate INTEGER NOT NULL DEFAULT 0,
    nbatch INTEGER NOT NULL DEFAULT 0,
    ireserve INTEGER NOT NULL DEFAULT 0,
    nfrom INTEGER NOT NULL DEFAULT 0,
    dsenddate TEXT NOT NULL DEFAULT '',
    dsigndate TEXT NOT NULL DEFAULT '',
    csigner TEXT NOT NULL DEFAULT '',
    cno TEXT NOT NULL DEFAULT '',
    crno TEXT NOT NULL DEFAULT '',
    ccno TEXT NOT NULL DEFAULT '',
    cinput TEXT NOT NULL DEFAULT '',
    cconsignnote TEXT NOT NULL DEFAULT '',
    fgoodst REAL NOT NULL DEFAULT 0,
    fgoodsc REAL NOT NULL DEFAULT 0,
    fsprice REAL NOT NULL DEFAULT 0,
    famount REAL NOT NULL DEFAULT 0,
    fbase REAL NOT NULL DEFAULT 0,
    faddon REAL NOT NULL DEFAULT 0,
    fcustom REAL NOT NULL DEFAULT 0,
    fget REAL NOT NULL DEFAULT 0,
    fcarry REAL NOT NULL DEFAULT 0,
    fsafe REAL NOT NULL DEFAULT 0,
    fpack REAL NOT NULL DEFAULT 0,
    fother REAL NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX IF NOT EXISTS client_rec_cnum ON client_rec(cnum);
CREATE INDEX IF NOT EXISTS client_rec_icid ON client_rec(icid, ddate);
CREATE TABLE IF NOT EXISTS client_rec_goods (
    nline INTEGER NOT NULL,
    irid INTEGER NOT NULL,
    cname TEXT NOT NULL DEFAULT '',
    cename TEXT NOT NULL DEFAULT '',
    nquantity INTEGER NOT NULL DEFAULT 0,
    fprice REAL NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS client_rec_goods_irid ON client_rec_goods(irid);
CREATE TABLE IF NOT EXISTS client_rec_weight_detail (
    irid INTEGER NOT NULL,
    nlength INTEGER NOT NULL DEFAULT 0,
    nwidth INTEGER NOT NULL DEFAULT 0,
    nheight INTEGER NOT NULL DEFAULT 0,
    nweight INTEGER NOT NULL DEFAULT 0,
    nvolpercent INTEGER NOT NULL DEFAULT 0,
    cpieceno TEXT NOT NULL DEFAULT '',
    nvolweight INTEGER NOT NULL DEFAULT 0,
    nchargeweight INTEGER NOT NULL DEFAULT 0,
    nstate INTEGER NOT NULL DEFAULT 0,
    nreserve INTEGER NOT NULL DEFAULT 0,
    cname TEXT NOT NULL DEFAULT '',
    nquantity INTEGER NOT NULL DEFAULT 0,
    iprice INTEGER NOT NULL DEFAULT 0,
    cremark TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS client_rec_weight_detail_irid ON client_rec_weight_detail(irid);
CREATE TABLE IF NOT EXISTS rec_pre_input (
    iid INTEGER PRIMARY KEY AUTOINCREMENT,
    irid INTEGER NOT NULL DEFAULT 0,)";
    sql += kShipmentColumns;
    sql += R"(
);
CREATE UNIQUE INDEX IF NOT EXISTS rec_pre_input_cnum ON rec_pre_input(cnum);
CREATE INDEX IF NOT EXISTS rec_pre_input_icid ON rec_pre_input(icid, irid);
CREATE TABLE IF NOT EXISTS rec_pre_input_goods (
    nline INTEGER NOT NULL,
    iid INTEGER NOT NULL,
    cname TEXT NOT NULL DEFAULT '',
    cename TEXT NOT NULL DEFAULT '',
    nquantity INTEGER NOT NULL DEFAULT 0,
    fprice REAL NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS rec_pre_input_goods_iid ON rec_pre_input_goods(iid);
CREATE TABLE IF NOT EXISTS client_fee (
    iid INTEGER PRIMARY KEY AUTOINCREMENT,
    icid INTEGER NOT NULL,
    dpdate TEXT NOT NULL DEFAULT '',
    cinvoice TEXT NOT NULL DEFAULT '',
    ntype INTEGER NOT NULL DEFAULT 0,
    ffee REAL NOT NULL DEFAULT 0,
    fbill REAL NOT NULL DEFAULT 0,
    ccurrency TEXT NOT NULL DEFAULT 'CNY',
    foriginal REAL NOT NULL DEFAULT 0,
    cmname TEXT NOT NULL DEFAULT '',
    cinput TEXT NOT NULL DEFAULT '',
    cremark TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS client_fee_icid ON client_fee(icid, dpdate);
CREATE TABLE IF NOT EXISTS check_detail (
    iid INTEGER PRIMARY KEY AUTOINCREMENT,
    irid INTEGER NOT NULL DEFAULT 0,
    cwcid TEXT NOT NULL DEFAULT '',
    cac TEXT NOT NULL DEFAULT '',
    nversion INTEGER NOT NULL DEFAULT 0,
    cnum TEXT NOT NULL,
    cstation TEXT NOT NULL DEFAULT '',
    cnext TEXT NOT NULL DEFAULT '',
    nkind INTEGER NOT NULL DEFAULT 0,
    dsigntime TEXT NOT NULL DEFAULT '',
    cdate TEXT NOT NULL DEFAULT '',
    cplace TEXT NOT NULL DEFAULT '',
    cinfo TEXT NOT NULL DEFAULT '',
    cplaceen TEXT NOT NULL DEFAULT '',
    cinfoen TEXT NOT NULL DEFAULT '',
    cmarker TEXT NOT NULL DEFAULT '',
    csigner TEXT NOT NULL DEFAULT '',
    nflight INTEGER NOT NULL DEFAULT 0,
    nstate INTEGER NOT NULL DEFAULT 0,
    dsysdate TEXT NOT NULL DEFAULT (datetime('now', 'localtime'))
);
CREATE INDEX IF NOT EXISTS check_detail_cnum ON check_detail(cnum);
)";
    return sql;
}

} // namespace

void Schema::apply(Database &db)
{
    auto version = db.prepare("PRAGMA user_version");
    const auto found = version.step() ? version.integer(0) : 0;
    if (found > kVersion)
        throw DatabaseError("the data file was made by a newer tarvo-server (schema " + std::to_string(found) + ")");
    Transaction t(db);
    db.exec(tables());
    db.exec("PRAGMA user_version = " + std::to_string(kVersion));
    t.commit();
}

} // namespace quarvel::server
