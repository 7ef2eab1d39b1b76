#include "UploadOperation.h"

#include "Account.h"
#include "Database.h"
#include "Envelope.h"
#include "ProcedureCall.h"
#include "ShipmentUpload.h"
#include "TransStatus.h"

namespace quarvel::server {

namespace {

constexpr int kDataRefused = -1;
constexpr int kWaybillHeld = -2;

constexpr std::string_view kShipmentProcedure = "cp_client_rec_add_kv";
constexpr std::string_view kPreEntryProcedure = "cp_rec_pre_input_add_kv";
constexpr std::size_t kWaybillArgument = 9;

std::string placeholders(std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += i ? ", ?" : "?";
    return text;
}

std::string columnList(std::span<const ColumnSpec> columns)
{
    std::string text;
    for (const ColumnSpec &c : columns) {
        if (!text.empty())
            text += ", ";
        text += c.name;
    }
    return text;
}

void insertLines(Database &db, const char *table, std::span<const ColumnSpec> columns,
                 const std::vector<std::vector<ColumnValue>> &lines, std::int64_t id)
{
    if (lines.empty())
        return;
    auto insert = db.prepare(std::string("INSERT INTO ") + table + " (" + columnList(columns) + ") VALUES (" +
                             placeholders(columns.size()) + ")");
    for (const auto &line : lines) {
        for (std::size_t i = 0; i < line.size(); ++i)
            Column::bind(insert, static_cast<int>(i + 1), line[i], id);
        insert.run();
    }
}

bool waybillHeld(Database &db, const std::string &waybill)
{
    auto q =
        db.prepare("SELECT 1 FROM client_rec WHERE cnum = ?1 UNION ALL SELECT 1 FROM rec_pre_input WHERE cnum = ?1");
    q.bind(1, waybill);
    return q.step();
}

bool kindKnown(Database &db, const std::string &code)
{
    auto q = db.prepare("SELECT 1 FROM ems_kind WHERE ccode = ?");
    q.bind(1, code);
    return q.step();
}

} // namespace

bool UploadOperation::allows(const Account &account) const
{
    return account.kind == AccountKind::Customer;
}

std::string UploadOperation::waybill(const Envelope &envelope) const
{
    return ProcedureCall::textArgument(envelope.payload, kWaybillArgument);
}

std::string UploadOperation::answer(const TransRequest &request)
{
    ProcedureCall call;
    if (const std::optional<std::string> refused = ProcedureCall::readRecordCall(request.envelope, call))
        return *refused;
    using Target = ShipmentUpload::Target;
    Target target;
    if (call.name == kShipmentProcedure)
        target = Target::Shipments;
    else if (call.name == kPreEntryProcedure)
        target = Target::PreEntries;
    else
        return statusLine(BadCommand);
    // The login told the counter where its uploads go; the other procedure is not its to call.
    if ((target == Target::Shipments) != (request.account.uploadTarget == 1))
        return statusLine(AccountKindRefused);

    ShipmentUpload upload;
    if (!ShipmentUpload::read(call.arguments, target, upload))
        return statusLine(kDataRefused);
    // A counter stores shipments for its own customer only.
    if (std::get<std::int64_t>(upload.value("icid")) != request.account.clientId)
        return statusLine(kDataRefused);
    const auto &waybill = std::get<std::string>(upload.value("cnum"));
    const auto &destination = std::get<std::string>(upload.value("cdes"));
    if (waybill.empty() || destination.empty() ||
        !kindKnown(request.db, std::get<std::string>(upload.value("cemskind"))))
        return statusLine(kDataRefused);
    if (waybillHeld(request.db, waybill))
        return statusLine(kWaybillHeld);
    return std::to_string(store(request, upload)) + "\n";
}

std::int64_t UploadOperation::store(const TransRequest &request, const ShipmentUpload &upload)
{
    using Target = ShipmentUpload::Target;
    Database &db = request.db;
    const auto columns = ShipmentUpload::columns();
    const bool shipment = upload.target == Target::Shipments;
    // A shipment record owes its freight until it is settled; the counter's id is kept beside it.
    std::string sql = std::string("INSERT INTO ") + ShipmentUpload::table(upload.target) + " (cac, " +
                      columnList(columns) + (shipment ? ", famount, iiid" : "") + ") VALUES (" +
                      placeholders(1 + columns.size() + (shipment ? 2 : 0)) + ")";

    Transaction t(db);
    auto insert = db.prepare(sql);
    insert.bind(1, request.account.name);
    for (std::size_t i = 0; i < upload.values.size(); ++i)
        Column::bind(insert, static_cast<int>(i + 2), upload.values[i], 0);
    if (shipment) {
        const int next = static_cast<int>(columns.size() + 2);
        insert.bind(next, std::get<double>(upload.value("ffee")));
        insert.bind(next + 1, request.envelope.id);
    }
    insert.run();
    const std::int64_t id = db.lastInsertId();
    if (shipment)
        insertLines(db, ShipmentUpload::pieceTable(), ShipmentUpload::pieceColumns(), upload.pieces, id);
    insertLines(db, ShipmentUpload::goodsTable(upload.target), ShipmentUpload::goodsColumns(upload.target),
                upload.goods, id);
    t.commit();
    return id;
}

} // namespace quarvel::server
