#include "InsertBatch.h"

#include "SqlScanner.h"

namespace quarvel::server {

namespace {

bool readRow(SqlScanner &s, std::vector<SqlValue> &row)
{
    do {
        auto value = s.value();
        if (!value || value->kind == SqlValue::Kind::Marker)
            return false;
        row.push_back(std::move(*value));
    } while (s.symbol(","));
    return true;
}

} // namespace

bool InsertBatch::parse(std::string_view sql, InsertBatch &out)
{
    out.table.clear();
    out.rows.clear();
    SqlScanner s(sql);
    if (s.atEnd())
        return true;
    if (!s.keyword("INSERT") || !s.keyword("INTO"))
        return false;
    auto table = s.objectName();
    if (!table || !s.keyword("SELECT"))
        return false;
    out.table = std::move(*table);
    for (;;) {
        out.rows.emplace_back();
        if (!readRow(s, out.rows.back()))
            return false;
        if (!s.keyword("UNION"))
            break;
        s.keyword("ALL");
        if (!s.keyword("SELECT"))
            return false;
    }
    return s.atEnd();
}

} // namespace quarvel::server
