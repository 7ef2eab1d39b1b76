#include "ScanOperation.h"

#include "Account.h"
#include "Column.h"
#include "Database.h"
#include "Envelope.h"
#include "ProcedureCall.h"
#include "ScanMovement.h"
#include "TransStatus.h"

#include <cstdio>
#include <vector>

namespace quarvel::server {

namespace {

constexpr int kDataRefused = -1;
constexpr int kWaybillUnknown = -2;
constexpr int kDelivered = -3;
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

// The values of a scan's arguments, found by their column names.
class ScanArguments {
public:
    static std::optional<ScanArguments> read(const std::vector<SqlValue> &arguments, const Version &version)
    {
        ScanArguments scan;
        scan.columns_ = argumentColumns(version);
        if (arguments.size() != scan.columns_.size())
            return std::nullopt;
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            auto value = Column::read(arguments[i], scan.columns_[i]);
            if (!value)
                return std::nullopt;
            scan.values_.push_back(std::move(*value));
        }
        return scan;
    }

    // A text the version does not carry is empty.
    std::string text(std::string_view column) const
    {
        const ColumnValue *v = find(column);
        return v ? std::get<std::string>(*v) : std::string();
    }
    std::int64_t number(std::string_view column) const
    {
        const ColumnValue *v = find(column);
        return v ? std::get<std::int64_t>(*v) : 0;
    }

private:
    const ColumnValue *find(std::string_view column) const
    {
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (columns_[i].name == column)
                return &values_[i];
        }
        return nullptr;
    }

    std::vector<ColumnSpec> columns_;
    std::vector<ColumnValue> values_;
};

std::int64_t store(const TransRequest &request, const Version &version, const ScanArguments &scan,
                   std::int64_t shipmentId)
{
    const std::string sentTime = scan.text("csigntime");
    const auto signedAt = signingTime(sentTime);
    Database &db = request.db;
    Transaction t(db);
    auto insert = db.prepare(
        "INSERT INTO check_detail (irid, cwcid, cac, nversion, cnum, cstation, cnext, nkind, dsigntime, cdate, "
        "cplace, cinfo, cplaceen, cinfoen, cmarker, csigner, nflight, nstate) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insert.bind(1, shipmentId).bind(2, request.account.site).bind(3, request.account.name);
    insert.bind(4, version.number).bind(5, scan.text("cnum")).bind(6, scan.text("cstation"));
    insert.bind(7, scan.text("cnext")).bind(8, scan.number("nkind")).bind(9, signedAt ? *signedAt : sentTime);
    int column = 10;
    for (const char *name : {"cdate", "cplace", "cinfo", "cplaceen", "cinfoen", "cmarker", "csigner"})
        insert.bind(column++, scan.text(name));
    insert.bind(17, scan.number("nflight")).bind(18, scan.number("nstate"));
    insert.run();
    const std::int64_t id = db.lastInsertId();
    ScanMovement::apply(db, shipmentId, scan.number("nkind"), scan.number("nstate"), scan.text("csigner"), signedAt);
    t.commit();
    return id;
}

} // namespace

bool ScanOperation::allows(const Account &account) const
{
    return account.kind == AccountKind::Checkpoint;
}

std::string ScanOperation::waybill(const Envelope &envelope) const
{
    return ProcedureCall::textArgument(envelope.payload, kWaybillArgument);
}

std::string ScanOperation::answer(const TransRequest &request)
{
    ProcedureCall call;
    if (const std::optional<std::string> refused = ProcedureCall::readRecordCall(request.envelope, call))
        return *refused;
    const Version *version = nullptr;
    for (const Version &v : kVersions) {
        if (call.name == v.procedure)
            version = &v;
    }
    if (!version)
        return statusLine(BadCommand);

    const auto scan = ScanArguments::read(call.arguments, *version);
    if (!scan || scan->text("cnum").empty())
        return statusLine(kDataRefused);

    const auto shipment = ScanMovement::find(request.db, scan->text("cnum"), request.account.site);
    if (!shipment)
        return statusLine(kWaybillUnknown);
    if (shipment->state == ScanMovement::kSigned)
        return statusLine(kDelivered);
    return std::to_string(store(request, *version, *scan, shipment->id)) + "\n";
}

} // namespace quarvel::server
