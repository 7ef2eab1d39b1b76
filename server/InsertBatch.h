#pragma once

#include "SqlValue.h"

#include <string>
#include <string_view>
#include <vector>

namespace quarvel::server {

// The goods and piece lines of an uploaded shipment travel as one SQL text
// each: "INSERT INTO tarvo.dbo.TABLE select V,V,.. union select V,V,..".
// The batch is read, never run: the upload binds its values.
class InsertBatch {
public:
    // False when the text is not such a batch. An empty (or blank) text is an
    // empty batch.
    static bool parse(std::string_view sql, InsertBatch &out);

    // Lower case, without the "tarvo.dbo." owner; empty for an empty batch.
    std::string table;
    // Every selected row, duplicates included: two equal pieces are two pieces.
    std::vector<std::vector<SqlValue>> rows;
};

} // namespace quarvel::server
