#include "storage/RecordJson.h"

#include "text/Gbk.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace quarvel {

namespace {

template <class Number> void appendNumber(std::string &out, Number value)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, error == std::errc() ? end : buffer);
}

} // namespace

void RecordJson::Append(std::string &out, const void *record, std::span<const RecordField> fields)
{
    const char *base = static_cast<const char *>(record);
    out += '{';
    bool first = true;
    for (const RecordField &f : fields) {
        if (!first)
            out += ',';
        first = false;
        out += '"';
        out += f.name;
        out += "\":";
        const char *p = base + f.offset;
        switch (f.kind) {
        case RecordField::Kind::Int32: {
            std::int32_t v;
            std::memcpy(&v, p, sizeof v);
            appendNumber(out, v);
            break;
        }
        case RecordField::Kind::UInt8:
            appendNumber(out, static_cast<unsigned>(static_cast<unsigned char>(*p)));
            break;
        case RecordField::Kind::Double: {
            double v;
            std::memcpy(&v, p, sizeof v);
            // JSON has no NaN or infinity; a damaged record shows null there.
            if (std::isfinite(v))
                appendNumber(out, v);
            else
                out += "null";
            break;
        }
        case RecordField::Kind::Text:
            appendText(out, p, f.size);
            break;
        case RecordField::Kind::Date: {
            RecordDate d;
            std::memcpy(&d, p, sizeof d);
            char date[16];
            std::snprintf(date, sizeof date, "\"%04u.%02u.%02u\"", unsigned(d.year), unsigned(d.month),
                          unsigned(d.day));
            out += date;
            break;
        }
        }
    }
    out += '}';
}

void RecordJson::appendText(std::string &out, const char *gbk, std::size_t size)
{
    const std::size_t length = ::strnlen(gbk, size);
    out += '"';
    bool ascii = true;
    for (std::size_t i = 0; i < length && ascii; ++i)
        ascii = static_cast<unsigned char>(gbk[i]) < 0x80;
    if (ascii) {
        appendEscaped(out, gbk, length);
    } else {
        const QByteArray utf8 = Gbk::toUtf8(gbk, length);
        appendEscaped(out, utf8.constData(), static_cast<std::size_t>(utf8.size()));
    }
    out += '"';
}

void RecordJson::appendEscaped(std::string &out, const char *utf8, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        const char c = utf8[i];
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
}

} // namespace quarvel
