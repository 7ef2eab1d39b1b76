#pragma once

#include <QByteArray>
#include <QList>

namespace quarvel {

// A page of a list query's reply: the total count of matching records, the
// page number, and the records of this page (each ended by BEL on the wire,
// its fields separated by line feeds).
struct ListReply {
    // The total, or a negative error status.
    int total = 0;
    int page = 0;
    QList<QList<QByteArray>> records;

    static ListReply parse(const QByteArray &reply);
    // False when the reply says nothing matched: a total of 0, or a reply
    // without its line feed or BEL.
    bool matched() const { return matched_; }

private:
    bool matched_ = false;
};

} // namespace quarvel
