#pragma once

#include "Column.h"

#include <span>
#include <string>
#include <vector>

namespace quarvel::server {

// One shipment as the upload procedure carries it: the values of its
// arguments in their fixed order, then its piece lines (shipment records
// only) and its goods lines, read from the two batch texts.
class ShipmentUpload {
public:
    enum class Target {
        Shipments,  // cp_client_rec_add_kv: client_rec with its goods and piece lines
        PreEntries, // cp_rec_pre_input_add_kv: rec_pre_input with its goods lines
    };

    // The argument columns in call order; the batches follow them.
    static std::span<const ColumnSpec> columns();
    static std::span<const ColumnSpec> goodsColumns(Target target);
    static std::span<const ColumnSpec> pieceColumns();
    static const char *table(Target target);
    static const char *goodsTable(Target target);
    static const char *pieceTable();

    // False when the arguments are not a shipment that can be stored: wrong
    // count, a value of the wrong kind or size, a text that is not GBK, a
    // batch for another table or one whose lines do not carry the placeholder.
    static bool read(std::span<const SqlValue> arguments, Target target, ShipmentUpload &out);

    // Where in values() the column of that name stands.
    static std::size_t indexOf(const char *column);
    const ColumnValue &value(const char *column) const { return values[indexOf(column)]; }

    Target target = Target::Shipments;
    std::vector<ColumnValue> values;
    std::vector<std::vector<ColumnValue>> pieces;
    std::vector<std::vector<ColumnValue>> goods;
};

} // namespace quarvel::server
