#include "ListOperation.h"

#include "Account.h"
#include "ConditionParser.h"
#include "Database.h"
#include "Envelope.h"
#include "ReplyField.h"
#include "TransStatus.h"

#include <algorithm>
#include <cstdio>
#include <span>

namespace quarvel::server {

namespace {

enum class Format { Integer, Money, Weight, Text };

struct Field {
    const char *sql;
    Format format;
};

struct ListShape {
    int code;
    const char *table;
    std::span<const Field> fields;
    const char *order;
};

// Record check list: id, business date, waybill, item type, pieces,
// weight, amount, destination, kind code, pay way, settlement id, sender,
// department, receiver, label, goods, state, signer, delivery time, then
// five texts and two amounts the counter does not show.
constexpr Field kShipmentFields[] = {
    {"irid", Format::Integer},       {"substr(ddate, 1, 10)", Format::Text},
    {"cnum", Format::Text},          {"nitemtype", Format::Integer},
    {"iitem", Format::Integer},      {"fweight", Format::Weight},
    {"ffee", Format::Money},         {"cdes", Format::Text},
    {"cemskind", Format::Text},      {"npayway", Format::Integer},
    {"ifid", Format::Integer},       {"csender", Format::Text},
    {"cdepart", Format::Text},       {"creceiver", Format::Text},
    {"cmark", Format::Text},         {"cgoods", Format::Text},
    {"nstate", Format::Integer},     {"csigner", Format::Text},
    {"dsigndate", Format::Text},     {"cphone", Format::Text},
    {"creceiveraddr", Format::Text}, {"cpaydir", Format::Text},
    {"cremark", Format::Text},       {"cac", Format::Text},
    {"fcollect", Format::Money},     {"fcod", Format::Money},
};

// Uploaded pre-entries: id, business date, waybill, item type, pieces,
// weight, destination, kind code, pay way, sender, receiver, receiver
// phone, goods, upload time.
constexpr Field kPreEntryFields[] = {
    {"iid", Format::Integer},     {"substr(ddate, 1, 10)", Format::Text},
    {"cnum", Format::Text},       {"nitemtype", Format::Integer},
    {"iitem", Format::Integer},   {"fweight", Format::Weight},
    {"cdes", Format::Text},       {"cemskind", Format::Text},
    {"npayway", Format::Integer}, {"csender", Format::Text},
    {"creceiver", Format::Text},  {"cphone", Format::Text},
    {"cgoods", Format::Text},     {"dsysdate", Format::Text},
};

// Settlements: id, date, invoice, type, settled amount, bill amount,
// currency, original-currency amount, operator, entered by, remark.
constexpr Field kSettlementFields[] = {
    {"iid", Format::Integer},    {"substr(dpdate, 1, 10)", Format::Text},
    {"cinvoice", Format::Text},  {"ntype", Format::Integer},
    {"ffee", Format::Money},     {"fbill", Format::Money},
    {"ccurrency", Format::Text}, {"foriginal", Format::Money},
    {"cmname", Format::Text},    {"cinput", Format::Text},
    {"cremark", Format::Text},
};

const ListShape &shapeOf(ListOperation::List list)
{
    static const ListShape kShipments{1, "client_rec", kShipmentFields, "ddate DESC, irid DESC"};
    static const ListShape kSettlements{6, "client_fee", kSettlementFields, "dpdate DESC, iid DESC"};
    static const ListShape kPreEntries{8, "rec_pre_input", kPreEntryFields, "iid DESC"};
    switch (list) {
    case ListOperation::List::Shipments:
        return kShipments;
    case ListOperation::List::Settlements:
        return kSettlements;
    case ListOperation::List::PreEntries:
        break;
    }
    return kPreEntries;
}

std::string fixed(const char *format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string fieldText(const Statement &row, int column, Format format)
{
    switch (format) {
    case Format::Integer:
        return std::to_string(row.integer(column));
    case Format::Money:
        return fixed("%.2f", row.real(column));
    case Format::Weight:
        return fixed("%.3f", row.real(column));
    case Format::Text:
        break;
    }
    return ReplyField(row.text(column));
}

std::string selectList(std::span<const Field> fields)
{
    std::string sql;
    for (const Field &f : fields) {
        if (!sql.empty())
            sql += ", ";
        sql += f.sql;
    }
    return sql;
}

} // namespace

int ListOperation::code() const
{
    return shapeOf(list_).code;
}

bool ListOperation::allows(const Account &account) const
{
    return account.kind == AccountKind::Customer;
}

std::string ListOperation::answer(const TransRequest &request)
{
    const Envelope &e = request.envelope;
    if (e.id < 1)
        return statusLine(BadId);
    if (e.number < 0)
        return statusLine(BadNumber);
    if (e.trailingBel)
        return statusLine(BadCommand);
    const ListShape &shape = shapeOf(list_);
    const auto condition = ConditionParser::parse(e.payload, shape.table, request.account.clientId);
    if (!condition)
        return statusLine(kConditionRefused);

    Database &db = request.db;
    const std::string from = std::string(" FROM ") + shape.table + " WHERE " + condition->where();
    auto count = db.prepare("SELECT COUNT(*)" + from);
    condition->bind(count, 1);
    count.step();
    const std::int64_t total = count.integer(0);
    const std::int64_t pages = (total + kPageSize - 1) / kPageSize;
    const std::int64_t page = std::clamp<std::int64_t>(e.id, 1, std::max<std::int64_t>(pages, 1));

    std::string reply = std::to_string(total) + "\n" + std::to_string(page) + "\n" + std::to_string(pages) + "\a";
    auto rows =
        db.prepare("SELECT " + selectList(shape.fields) + from + " ORDER BY " + shape.order + " LIMIT ? OFFSET ?");
    const int next = condition->bind(rows, 1);
    rows.bind(next, kPageSize).bind(next + 1, (page - 1) * kPageSize);
    while (rows.step()) {
        for (std::size_t i = 0; i < shape.fields.size(); ++i) {
            if (i)
                reply += '\n';
            reply += fieldText(rows, static_cast<int>(i), shape.fields[i].format);
        }
        reply += '\a';
    }
    return reply;
}

} // namespace quarvel::server
