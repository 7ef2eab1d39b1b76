#pragma once

#include "storage/RecordField.h"

#include <span>
#include <string>

namespace quarvel {

// Writes packed records as JSON objects straight from their field tables, one
// object at a time, so that a listing of any size streams in constant memory
// (a document of QJsonObjects holds every record at once). Values are those
// of RecordField::value: numbers, texts decoded from GBK, dates "YYYY.MM.DD".
class RecordJson {
public:
    // Appends {"name":value,...} for one record.
    static void Append(std::string &out, const void *record, std::span<const RecordField> fields);

private:
    static void appendText(std::string &out, const char *gbk, std::size_t size);
    static void appendEscaped(std::string &out, const char *utf8, std::size_t size);
};

} // namespace quarvel
