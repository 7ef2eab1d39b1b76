#include "ConditionParser.h"

#include "SqlScanner.h"

#include <array>
#include <charconv>
#include <limits>
#include <span>

namespace quarvel::server {

namespace {

using Op = ListCondition::Op;

enum class Type { Integer, Real, Text, Time };

struct WhitelistColumn {
    const char *name;
    Type type;
};

struct Table {
    const char *name;
    std::span<const WhitelistColumn> columns;
};

constexpr WhitelistColumn kShipmentColumns[] = {
    {"nitemtype", Type::Integer}, {"npayway", Type::Integer}, {"nlanguage", Type::Integer}, {"ifid", Type::Integer},
    {"nstate", Type::Integer},    {"iitem", Type::Integer},   {"irid", Type::Integer},      {"fweight", Type::Real},
    {"ffee", Type::Real},         {"famount", Type::Real},    {"cdepart", Type::Text},      {"cdes", Type::Text},
    {"cmark", Type::Text},        {"cemskind", Type::Text},   {"cnum", Type::Text},         {"cpaydir", Type::Text},
    {"creceiver", Type::Text},    {"cphone", Type::Text},     {"csender", Type::Text},      {"ddate", Type::Time},
    {"dsysdate", Type::Time},     {"dsenddate", Type::Time},
};

constexpr WhitelistColumn kPreEntryColumns[] = {
    {"irid", Type::Integer},      {"iid", Type::Integer},   {"nitemtype", Type::Integer}, {"npayway", Type::Integer},
    {"nlanguage", Type::Integer}, {"iitem", Type::Integer}, {"fweight", Type::Real},      {"ffee", Type::Real},
    {"cdepart", Type::Text},      {"cdes", Type::Text},     {"cmark", Type::Text},        {"cemskind", Type::Text},
    {"cnum", Type::Text},         {"cpaydir", Type::Text},  {"creceiver", Type::Text},    {"cphone", Type::Text},
    {"csender", Type::Text},      {"ddate", Type::Time},    {"dsysdate", Type::Time},
};

constexpr WhitelistColumn kSettlementColumns[] = {
    {"ntype", Type::Integer}, {"ffee", Type::Real},     {"fbill", Type::Real},     {"foriginal", Type::Real},
    {"cmname", Type::Text},   {"cinvoice", Type::Text}, {"ccurrency", Type::Text}, {"dpdate", Type::Time},
};

constexpr Table kTables[] = {
    {"client_rec", kShipmentColumns},
    {"rec_pre_input", kPreEntryColumns},
    {"client_fee", kSettlementColumns},
};

const Table *tableNamed(std::string_view name)
{
    for (const Table &t : kTables)
        if (name == t.name)
            return &t;
    return nullptr;
}

const WhitelistColumn *columnNamed(const Table &table, std::string_view name)
{
    for (const WhitelistColumn &c : table.columns)
        if (name == c.name)
            return &c;
    return nullptr;
}

std::string lower(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::optional<std::int64_t> integerLiteral(SqlScanner &s)
{
    const auto v = s.value();
    if (!v)
        return std::nullopt;
    const auto read = Column::read(*v, ColumnSpec::integer("", std::numeric_limits<std::int64_t>::min(),
                                                           std::numeric_limits<std::int64_t>::max()));
    if (!read)
        return std::nullopt;
    return std::get<std::int64_t>(*read);
}

std::optional<ColumnValue> realLiteral(SqlScanner &s)
{
    const auto v = s.value();
    return v ? Column::read(*v, ColumnSpec::real("")) : std::nullopt;
}

// A quoted GBK text without control bytes, as UTF-8.
std::optional<std::string> textLiteral(SqlScanner &s)
{
    const auto v = s.value();
    if (!v || v->kind != SqlValue::Kind::Text)
        return std::nullopt;
    for (const char c : v->text)
        if (static_cast<unsigned char>(c) < 0x20)
            return std::nullopt;
    const auto read = Column::read(*v, ColumnSpec::text("", ConditionParser::kMaxTextBytes));
    if (!read)
        return std::nullopt;
    return std::get<std::string>(*read);
}

// The numbers of a date or time text: year, month, day[, hour, minute,
// second[.fraction]], the date parts separated by '.', '-' or '/'.
std::optional<std::string> timeLiteral(SqlScanner &s)
{
    const auto text = textLiteral(s);
    if (!text)
        return std::nullopt;
    std::array<int, 6> parts{};
    std::size_t at = 0;
    std::size_t count = 0;
    const std::string &t = *text;
    while (count < parts.size() && at < t.size()) {
        const auto [end, error] = std::from_chars(t.data() + at, t.data() + t.size(), parts[count]);
        const std::size_t digits = static_cast<std::size_t>(end - (t.data() + at));
        if (error != std::errc() || digits == 0 || digits > 4)
            return std::nullopt;
        at += digits;
        ++count;
        if (at == t.size())
            break;
        const char separator = t[at];
        const bool dateSeparator = count < 3 && (separator == '.' || separator == '-' || separator == '/');
        const bool timeSeparator = (count == 3 && separator == ' ') || ((count == 4 || count == 5) && separator == ':');
        if (count == 6 && separator == '.') {
            // Milliseconds: digits to the end, not kept.
            const std::string_view fraction = std::string_view(t).substr(at + 1);
            if (fraction.empty() || fraction.size() > 3 ||
                fraction.find_first_not_of("0123456789") != std::string_view::npos)
                return std::nullopt;
            at = t.size();
            break;
        }
        if (!dateSeparator && !timeSeparator)
            return std::nullopt;
        ++at;
    }
    if (at != t.size() || (count != 3 && count != 6))
        return std::nullopt;
    // The counter's date boxes take years from 1000 on. Such a year is checked
    // 2000 years later (the same calendar: 2000 is a multiple of 400) and its
    // thousands digit put back.
    if (parts[0] >= 1000 && parts[0] < 1900) {
        auto shifted = Column::timestamp(parts[0] + 2000, parts[1], parts[2], parts[3], parts[4], parts[5]);
        if (shifted)
            (*shifted)[0] = static_cast<char>((*shifted)[0] - 2);
        return shifted;
    }
    return Column::timestamp(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);
}

std::optional<Op> comparison(SqlScanner &s)
{
    // Longer operators first, so that ">=" is never read as ">".
    static constexpr std::pair<std::string_view, Op> kOps[] = {{"<>", Op::NotEqual},  {">=", Op::GreaterEqual},
                                                               {"<=", Op::LessEqual}, {"=", Op::Equal},
                                                               {">", Op::Greater},    {"<", Op::Less}};
    for (const auto &[text, op] : kOps)
        if (s.symbol(text))
            return op;
    return std::nullopt;
}

bool readInteger(SqlScanner &s, ListCondition::Predicate &p)
{
    if (s.keyword("IN")) {
        p.op = Op::In;
        if (!s.symbol("("))
            return false;
        do {
            const auto n = integerLiteral(s);
            if (!n || p.values.size() == ConditionParser::kMaxInValues)
                return false;
            p.values.emplace_back(*n);
        } while (s.symbol(","));
        return s.symbol(")");
    }
    const auto op = comparison(s);
    const auto n = op ? integerLiteral(s) : std::nullopt;
    if (!n)
        return false;
    p.op = *op;
    p.values.emplace_back(*n);
    return true;
}

bool readReal(SqlScanner &s, ListCondition::Predicate &p)
{
    const auto op = comparison(s);
    if (!op || *op == Op::NotEqual)
        return false;
    const auto x = realLiteral(s);
    if (!x)
        return false;
    p.op = *op;
    p.values.push_back(*x);
    return true;
}

bool readText(SqlScanner &s, ListCondition::Predicate &p)
{
    if (s.keyword("LIKE")) {
        const auto pattern = textLiteral(s);
        // Only "contains": '%TEXT%'.
        if (!pattern || pattern->size() < 2 || pattern->front() != '%' || pattern->back() != '%')
            return false;
        p.op = Op::Like;
        p.values.emplace_back(*pattern);
        return true;
    }
    const auto text = s.symbol("=") ? textLiteral(s) : std::nullopt;
    if (!text)
        return false;
    p.op = Op::Equal;
    p.values.emplace_back(*text);
    return true;
}

bool readTime(SqlScanner &s, ListCondition::Predicate &p)
{
    if (!s.keyword("BETWEEN"))
        return false;
    const auto from = timeLiteral(s);
    const auto to = from && s.keyword("AND") ? timeLiteral(s) : std::nullopt;
    if (!to)
        return false;
    p.op = Op::Between;
    p.values.emplace_back(*from);
    p.values.emplace_back(*to);
    return true;
}

bool readPredicate(SqlScanner &s, const Table &table, ListCondition::Predicate &p)
{
    const auto name = s.name();
    const WhitelistColumn *column = name ? columnNamed(table, lower(*name)) : nullptr;
    if (!column)
        return false;
    p.column = column->name;
    switch (column->type) {
    case Type::Integer:
        return readInteger(s, p);
    case Type::Real:
        return readReal(s, p);
    case Type::Text:
        return readText(s, p);
    case Type::Time:
        break;
    }
    return readTime(s, p);
}

} // namespace

std::optional<ListCondition> ConditionParser::parse(std::string_view text, std::string_view tableName,
                                                    std::int64_t clientId)
{
    const Table *table = tableNamed(tableName);
    if (!table || text.size() > kMaxLength)
        return std::nullopt;
    SqlScanner s(text);
    if (!s.keyword("FROM") || s.objectName() != tableName || !s.keyword("WHERE"))
        return std::nullopt;
    const auto icid = s.name();
    if (!icid || lower(*icid) != "icid" || !s.symbol("=") || integerLiteral(s) != clientId)
        return std::nullopt;
    ListCondition condition;
    condition.table = table->name;
    condition.clientId = clientId;
    while (!s.atEnd()) {
        ListCondition::Predicate p{};
        if (condition.predicates.size() == kMaxPredicates || !s.keyword("AND") || !readPredicate(s, *table, p))
            return std::nullopt;
        condition.predicates.push_back(std::move(p));
    }
    return condition;
}

} // namespace quarvel::server
