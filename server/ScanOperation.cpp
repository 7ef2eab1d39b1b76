#include "ScanOperation.h"

#include "Account.h"
#include "Column.h"
#include "Database.h"
#include "Envelope.h"
#include "ProcedureCall.h"
#include "TransStatus.h"

#include <cstdio>
#include <vector>

namespace quarvel::server {

namespace {

constexpr int kDataRefused = -1;
constexpr int kWaybillUnknown = -2;
constexpr int kDelivered = -3;
constexpr int kSigned = 3;
constexpr std::size_t kWaybillArgument = 1;

using C = ColumnSpec;

struct Version {
    std::string_view procedure;
    int number;
    bool chinese;
    bool english;
};

constexpr Version kVersions[] = {
    {"cp_check_detail_scan_add_kv", 0, true, false},
    {"cp_check_detail_en_scan_add_kv", 1, false, true},
    {"cp_check_detail_scan_all_kv", 2, true, true},
};

// The arguments after the parameter slots, for one language version.
std::vector<ColumnSpec> argumentColumns(const Version &v)
{
    std::vector<ColumnSpec> columns = {C::integer("nfixed"), C::text("cnum", 31),       C::text("cstation", 15),
                                       C::text("cnext", 15), C::integer("nkind", 0, 4), C::text("csigntime", 31),
                                       C::text("cdate", 31)};
    if (v.chinese) {
        columns.push_back(C::text("cplace", 127));
        columns.push_back(C::text("cinfo", 255));
    }
    if (v.english) {
        columns.push_back(C::text("cplaceen", 127));
        columns.push_back(C::text("cinfoen", 255));
    }
    for (const ColumnSpec &c :
         {C::text("cmarker", 31), C::text("csigner", 15), C::integer("nflight", 0, 255), C::integer("nstate", 0, 10)})
        columns.push_back(c);
    return columns;
}

// The signing time as the counter formats it, "Y.MM.DD hh:mm:ss", in the
// server's form; nothing when it is no calendar time.
std::optional<std::string> signingTime(const std::string &text)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%d.%d.%d %d:%d:%d%c", &y, &mo, &d, &h, &mi, &s, &end) != 6)
        return std::nullopt;
    return Column::timestamp(y, mo, d, h, mi, s);
}

// The shipment's state after a scan of this kind; 0 leaves it as it is.
int stateAfter(std::int64_t kind, std::int64_t exception)
{
    switch (kind) {
    case 0:
    case 1:
        return 1;
    case 2:
        return 2;
    case 3:
        return kSigned;
    default:
        return exception > kSigned ? static_cast<int>(exception) : 0;
    }
}

} // namespace

bool ScanOperation::allows(const Account &account) const
{
    return account.kind == AccountKind::Checkpoint;
}

std::string ScanOperation::waybill(const Envelope &envelope) const
{
    ProcedureCall call;
    if (ProcedureCall::parse(envelope.payload, call) != ProcedureCall::Result::Read ||
        call.arguments.size() <= kWaybillArgument || call.arguments[kWaybillArgument].kind != SqlValue::Kind::Text)
        return {};
    return call.arguments[kWaybillArgument].text;
}

std::string ScanOperation::answer(const TransRequest &request)
{
    const Envelope &e = request.envelope;
    if (e.id <= 0)
        return statusLine(BadId);
    if (e.number != 1)
        return statusLine(BadNumber);
    if (e.trailingBel)
        return statusLine(BadCommand);

    ProcedureCall call;
    switch (ProcedureCall::parse(e.payload, call)) {
    case ProcedureCall::Result::NotACall:
        return statusLine(BadCommand);
    case ProcedureCall::Result::BadArguments:
        return statusLine(kDataRefused);
    case ProcedureCall::Result::Read:
        break;
    }
    const Version *version = nullptr;
    for (const Version &v : kVersions) {
        if (call.name == v.procedure)
            version = &v;
    }
    if (!version)
        return statusLine(BadCommand);

    const std::vector<ColumnSpec> columns = argumentColumns(*version);
    if (call.arguments.size() != columns.size())
        return statusLine(kDataRefused);
    std::vector<ColumnValue> values;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        auto value = Column::read(call.arguments[i], columns[i]);
        if (!value)
            return statusLine(kDataRefused);
        values.push_back(std::move(*value));
    }
    const auto text = [&](std::string_view name) -> std::string {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].name == name)
                return std::get<std::string>(values[i]);
        }
        return {};
    };
    const auto number = [&](std::string_view name) -> std::int64_t {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].name == name)
                return std::get<std::int64_t>(values[i]);
        }
        return 0;
    };
    const std::string waybill = text("cnum");
    if (waybill.empty())
        return statusLine(kDataRefused);
    const std::string sentTime = text("csigntime");
    const auto signedAt = signingTime(sentTime);

    Database &db = request.db;
    auto shipment = db.prepare("SELECT irid, nstate FROM client_rec WHERE cnum = ?");
    shipment.bind(1, waybill);
    if (!shipment.step())
        return statusLine(kWaybillUnknown);
    const std::int64_t shipmentId = shipment.integer(0);
    if (shipment.integer(1) == kSigned)
        return statusLine(kDelivered);

    Transaction t(db);
    auto insert = db.prepare(
        "INSERT INTO check_detail (irid, cwcid, cac, nversion, cnum, cstation, cnext, nkind, dsigntime, cdate, "
        "cplace, cinfo, cplaceen, cinfoen, cmarker, csigner, nflight, nstate) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insert.bind(1, shipmentId).bind(2, request.account.site).bind(3, request.account.name);
    insert.bind(4, version->number).bind(5, waybill).bind(6, text("cstation")).bind(7, text("cnext"));
    insert.bind(8, number("nkind")).bind(9, signedAt ? *signedAt : sentTime).bind(10, text("cdate"));
    insert.bind(11, text("cplace")).bind(12, text("cinfo")).bind(13, text("cplaceen")).bind(14, text("cinfoen"));
    insert.bind(15, text("cmarker")).bind(16, text("csigner")).bind(17, number("nflight"));
    insert.bind(18, number("nstate"));
    insert.run();
    const std::int64_t id = db.lastInsertId();

    const int state = stateAfter(number("nkind"), number("nstate"));
    if (state == kSigned) {
        auto sign = db.prepare("UPDATE client_rec SET nstate = ?, csigner = ?, "
                               "dsigndate = COALESCE(?, datetime('now', 'localtime')) WHERE irid = ?");
        sign.bind(1, state).bind(2, text("csigner"));
        if (signedAt)
            sign.bind(3, *signedAt);
        sign.bind(4, shipmentId).run();
    } else if (state > 0) {
        auto move = db.prepare("UPDATE client_rec SET nstate = ? WHERE irid = ?");
        move.bind(1, state).bind(2, shipmentId).run();
    }
    t.commit();
    return std::to_string(id) + "\n";
}

} // namespace quarvel::server
