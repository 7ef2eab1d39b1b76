#include "Envelope.h"

#include "TransStatus.h"

#include <array>
#include <charconv>
#include <limits>

namespace quarvel::server {

namespace {

struct Element {
    std::string_view tag;
    int status;
};

// The header elements in the order they must stand.
constexpr std::array<Element, 8> kHeader = {{{"WER", BadVersion},
                                             {"WCID", BadSite},
                                             {"AC", BadAccount},
                                             {"OP", BadOperation},
                                             {"ID", BadId},
                                             {"NUMBER", BadNumber},
                                             {"LCID", BadLocale},
                                             {"RAND", BadSession}}};

// Built by appending: GCC 12 warns (falsely) about the "<" + string form in release builds.
std::string open(std::string_view tag)
{
    std::string text("<");
    text.append(tag).append(">");
    return text;
}

std::string close(std::string_view tag)
{
    std::string text("</");
    text.append(tag).append(">");
    return text;
}

template <typename T> bool decimal(std::string_view text, T &out)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.size() > 11 || error != std::errc() || end != text.data() + text.size())
        return false;
    if (value < static_cast<std::int64_t>(std::numeric_limits<T>::min()) ||
        value > static_cast<std::int64_t>(std::numeric_limits<T>::max()))
        return false;
    out = static_cast<T>(value);
    return true;
}

// Reads the values of the header elements. A text value (site, account) runs
// to its closing tag followed by the next element's opening tag, so that an
// account holding "</AC>" still reads whole.
int readHeader(std::string_view body, std::size_t &pos, std::array<std::string_view, 8> &values)
{
    for (std::size_t i = 0; i < kHeader.size(); ++i) {
        const std::string first = open(kHeader[i].tag);
        if (body.substr(pos, first.size()) != first)
            return kHeader[i].status;
        pos += first.size();
        const std::string end = close(kHeader[i].tag);
        const std::string next = i + 1 < kHeader.size() ? open(kHeader[i + 1].tag) : std::string("<DATA>");
        auto stop = body.find(end + next, pos);
        if (stop == std::string_view::npos) {
            stop = body.find(end, pos);
            if (stop == std::string_view::npos)
                return kHeader[i].status;
        }
        values[i] = body.substr(pos, stop - pos);
        pos = stop + end.size();
    }
    return 0;
}

} // namespace

int Envelope::parse(std::string_view body, Envelope &out)
{
    std::size_t pos = 0;
    std::array<std::string_view, 8> v;
    if (const int status = readHeader(body, pos, v))
        return status;
    out.version = v[0];
    out.site = v[1];
    out.account = v[2];
    if (out.version.empty() || out.version.find_first_not_of("0123456789") != std::string::npos)
        return BadVersion;
    if (!decimal(v[3], out.op))
        return BadOperation;
    if (!decimal(v[4], out.id))
        return BadId;
    if (!decimal(v[5], out.number))
        return BadNumber;
    if (!decimal(v[6], out.locale))
        return BadLocale;
    if (!decimal(v[7], out.session))
        return BadSession;

    constexpr std::string_view data = "<DATA>";
    constexpr std::string_view end = "\a</DATA>\n";
    if (body.substr(pos, data.size()) != data)
        return BadCommand;
    pos += data.size();
    out.trailingBel = body.ends_with('\a') && body.size() > end.size() &&
                      body.substr(body.size() - 1 - end.size(), end.size()) == end;
    const std::size_t tail = end.size() + (out.trailingBel ? 1 : 0);
    if (body.size() < pos + tail || body.substr(body.size() - tail, end.size()) != end)
        return BadCommand;
    out.payload = body.substr(pos, body.size() - tail - pos);
    return 0;
}

} // namespace quarvel::server
