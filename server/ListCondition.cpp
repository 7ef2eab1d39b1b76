#include "ListCondition.h"

#include "Database.h"

namespace quarvel::server {

namespace {

const char *operatorText(ListCondition::Op op)
{
    using Op = ListCondition::Op;
    switch (op) {
    case Op::Equal:
        return " = ?";
    case Op::NotEqual:
        return " <> ?";
    case Op::Greater:
        return " > ?";
    case Op::Less:
        return " < ?";
    case Op::GreaterEqual:
        return " >= ?";
    case Op::LessEqual:
        return " <= ?";
    case Op::Between:
        return " BETWEEN ? AND ?";
    case Op::Like:
        return " LIKE ?";
    case Op::In:
        break;
    }
    return " IN (";
}

} // namespace

std::string ListCondition::where() const
{
    std::string sql = "icid = ?";
    for (const Predicate &p : predicates) {
        sql += " AND ";
        sql += p.column;
        sql += operatorText(p.op);
        if (p.op == Op::In) {
            for (std::size_t i = 0; i < p.values.size(); ++i)
                sql += i ? ", ?" : "?";
            sql += ')';
        }
    }
    return sql;
}

int ListCondition::bind(Statement &statement, int first) const
{
    int index = first;
    statement.bind(index++, clientId);
    for (const Predicate &p : predicates)
        for (const ColumnValue &v : p.values)
            Column::bind(statement, index++, v, 0);
    return index;
}

} // namespace quarvel::server
