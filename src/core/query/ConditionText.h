#pragma once

#include <QString>

#include <initializer_list>

namespace quarvel {

// Builds the tail of a list query ("FROM table WHERE icid=N AND ...") in
// the exact text the server's condition reader takes: one predicate after
// another, each joined with " AND ".
class ConditionText {
public:
    // " FROM <table> WHERE icid=<clientId>"
    ConditionText(const QString &table, int clientId);

    // " AND <text>" as written, for predicates without typed values.
    ConditionText &add(const QString &predicate);
    // Check-box groups: one box ticked gives "column=i", two give
    // "column IN(i,j)"; all or none tick nothing.
    ConditionText &choice(const QString &column, std::initializer_list<bool> ticked);
    // " AND column='text'" with the text through SqlText; nothing for an empty text.
    ConditionText &equals(const QString &column, const QString &typed);
    // " AND column LIKE '%text%'"; nothing for an empty text.
    ConditionText &contains(const QString &column, const QString &typed);

    // " AND column>=from" when from is at least `least`, " AND column<=to"
    // when to is at least `least` and not below from; numbers as `format`.
    ConditionText &range(const QString &column, double from, double to, double least, const char *format);

    const QString &text() const { return text_; }

private:
    QString text_;
};

} // namespace quarvel
