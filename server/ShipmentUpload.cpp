#include "ShipmentUpload.h"

#include "InsertBatch.h"

#include <array>
#include <cstring>
#include <stdexcept>

namespace quarvel::server {

namespace {

using C = ColumnSpec;

// Text limits are the client's field widths less the closing NUL.
constexpr std::array kColumns = {
    C::integer("icid"),
    C::integer("nitemtype", 0, 2),
    C::integer("nlanguage", 0, 2),
    C::date("ddate"),
    C::integer("npayway", 0, 2),
    C::text("cmarker", 31),
    C::text("cemskind", 15),
    C::text("cfrom", 63),
    C::text("cdes", 63),
    C::text("cnum", 31),
    C::real("fweight"),
    C::money("ffee"),
    C::text("csender", 31),
    C::text("creceiver", 31),
    C::text("cphone", 63),
    C::text("creceivercorp", 127),
    C::text("creceiverzip", 15),
    C::text("creceiveraddr", 127),
    C::text("creceivercountry", 63),
    C::text("creceivercity", 31),
    C::text("creceiverprov", 31),
    C::text("cremark", 255),
    C::text("csize", 15),
    C::real("fweighed"),
    C::text("cgoods", 255),
    C::integer("nquantity"),
    C::integer("iprice"),
    C::text("cpack", 15),
    C::integer("ideclare", 0),
    C::integer("iinsure", 0),
    C::text("ccurrency", 3),
    C::text("csendercorp", 127),
    C::text("csenderaddr", 127),
    C::text("csenderphone", 63),
    C::text("csenderzip", 15),
    C::text("csendercountry", 63),
    C::text("csenderprov", 31),
    C::text("csendercity", 31),
    C::text("cmark", 15),
    C::text("cpaydir", 3),
    C::text("cgoodsorigin", 3),
    C::integer("iitem", 0),
    C::text("cextra", 63),
    C::money("fcollect"),
    C::money("fcollectsettle"),
    C::text("csendersms", 23),
    C::money("fcod"),
    C::money("fcodsettle"),
    C::text("cdepart", 31),
    C::text("csendermail", 63),
    C::text("creceivermail", 63),
    C::text("creceiversms", 23),
};

constexpr std::array kShipmentGoods = {
    C::integer("nline", 0), C::newId("irid"),        C::text("cname", 63),
    C::text("cename", 63),  C::integer("nquantity"), C::real("fprice"),
};

constexpr std::array kPreEntryGoods = {
    C::integer("nline", 0), C::newId("iid"),         C::text("cname", 63),
    C::text("cename", 63),  C::integer("nquantity"), C::real("fprice"),
};

constexpr std::array kPieces = {
    C::newId("irid"),        C::integer("nlength"),    C::integer("nwidth"),
    C::integer("nheight"),   C::integer("nweight"),    C::integer("nvolpercent", 0, 255),
    C::text("cpieceno", 31), C::integer("nvolweight"), C::integer("nchargeweight"),
    C::integer("nstate"),    C::integer("nreserve"),   C::text("cname", 63),
    C::integer("nquantity"), C::integer("iprice"),     C::text("cremark", 255),
};

bool readRow(std::span<const SqlValue> values, std::span<const ColumnSpec> columns, std::vector<ColumnValue> &out)
{
    if (values.size() != columns.size())
        return false;
    out.clear();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        auto value = Column::read(values[i], columns[i]);
        if (!value)
            return false;
        out.push_back(std::move(*value));
    }
    return true;
}

// An empty text is a batch without lines.
bool readBatch(const SqlValue &argument, const char *table, std::span<const ColumnSpec> columns,
               std::vector<std::vector<ColumnValue>> &rows)
{
    InsertBatch batch;
    if (argument.kind != SqlValue::Kind::Text || !InsertBatch::parse(argument.text, batch))
        return false;
    if (batch.rows.empty())
        return true;
    if (batch.table != table)
        return false;
    for (const auto &values : batch.rows) {
        rows.emplace_back();
        if (!readRow(values, columns, rows.back()))
            return false;
    }
    return true;
}

} // namespace

std::span<const ColumnSpec> ShipmentUpload::columns()
{
    return kColumns;
}

std::span<const ColumnSpec> ShipmentUpload::goodsColumns(Target target)
{
    if (target == Target::Shipments)
        return kShipmentGoods;
    return kPreEntryGoods;
}

std::span<const ColumnSpec> ShipmentUpload::pieceColumns()
{
    return kPieces;
}

const char *ShipmentUpload::table(Target target)
{
    return target == Target::Shipments ? "client_rec" : "rec_pre_input";
}

const char *ShipmentUpload::goodsTable(Target target)
{
    return target == Target::Shipments ? "client_rec_goods" : "rec_pre_input_goods";
}

const char *ShipmentUpload::pieceTable()
{
    return "client_rec_weight_detail";
}

std::size_t ShipmentUpload::indexOf(const char *column)
{
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (std::strcmp(kColumns[i].name, column) == 0)
            return i;
    }
    throw std::logic_error(std::string("no upload column ") + column);
}

bool ShipmentUpload::read(std::span<const SqlValue> arguments, Target target, ShipmentUpload &out)
{
    const std::size_t batches = target == Target::Shipments ? 2 : 1;
    if (arguments.size() != kColumns.size() + batches)
        return false;
    out = ShipmentUpload();
    out.target = target;
    if (!readRow(arguments.first(kColumns.size()), kColumns, out.values))
        return false;
    std::size_t next = kColumns.size();
    if (target == Target::Shipments && !readBatch(arguments[next++], pieceTable(), kPieces, out.pieces))
        return false;
    return readBatch(arguments[next], goodsTable(target), goodsColumns(target), out.goods);
}

} // namespace quarvel::server
