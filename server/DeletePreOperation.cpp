#include "DeletePreOperation.h"

#include "Account.h"
#include "Column.h"
#include "Database.h"
#include "Envelope.h"
#include "SqlScanner.h"
#include "TransStatus.h"

#include <algorithm>
#include <limits>

namespace quarvel::server {

bool DeletePreOperation::allows(const Account &account) const
{
    return account.kind == AccountKind::Customer;
}

std::optional<std::vector<std::int64_t>> DeletePreOperation::parse(std::string_view statement)
{
    SqlScanner s(statement);
    if (!s.keyword("DELETE") || s.objectName() != "rec_pre_input" || !s.keyword("WHERE") || !s.keyword("iid") ||
        !s.keyword("IN") || !s.symbol("("))
        return std::nullopt;
    std::vector<std::int64_t> ids;
    do {
        const auto v = s.value();
        const auto id = v ? Column::read(*v, ColumnSpec::integer("iid", 1, std::numeric_limits<std::int64_t>::max()))
                          : std::nullopt;
        if (!id || ids.size() == kMaxIds)
            return std::nullopt;
        ids.push_back(std::get<std::int64_t>(*id));
    } while (s.symbol(","));
    if (!s.symbol(")") || !s.atEnd())
        return std::nullopt;
    return ids;
}

std::string DeletePreOperation::answer(const TransRequest &request)
{
    const Envelope &e = request.envelope;
    if (e.trailingBel)
        return statusLine(BadCommand);
    const auto ids = parse(e.payload);
    if (!ids)
        return statusLine(kStatementRefused);
    if (e.id != static_cast<int>(ids->size()))
        return statusLine(BadId);
    if (e.number != e.id)
        return statusLine(BadNumber);

    Database &db = request.db;
    const std::int64_t customer = request.account.clientId;
    Transaction t(db);
    auto lines = db.prepare("DELETE FROM rec_pre_input_goods WHERE iid IN "
                            "(SELECT iid FROM rec_pre_input WHERE iid = ? AND icid = ? AND irid = 0)");
    auto entry = db.prepare("DELETE FROM rec_pre_input WHERE iid = ? AND icid = ? AND irid = 0");
    int deleted = 0;
    for (const std::int64_t id : *ids) {
        lines.bind(1, id).bind(2, customer).run();
        entry.bind(1, id).bind(2, customer);
        entry.run();
        deleted += db.changes();
    }
    t.commit();
    return std::to_string(deleted) + "\n";
}

} // namespace quarvel::server
