#include "BaseDataText.h"

#include "Database.h"
#include "WireText.h"

namespace quarvel::server {

namespace {

// Field limits of the client's base-data records (their sizes less the NUL).
constexpr std::size_t kKindCode = 15;
constexpr std::size_t kKindName = 31;
constexpr std::size_t kKey1 = 7;
constexpr std::size_t kKey2 = 15;
constexpr std::size_t kPostcode = 11;
constexpr std::size_t kName = 31;
constexpr std::size_t kCountry = 63;

// A field inside a tab-separated line: no control bytes (a tab would shift the
// fields, a BEL would end the whole download), cut to its limit.
std::string field(const std::string &utf8, std::size_t maxBytes)
{
    std::string gbk = WireText::line(utf8, maxBytes);
    for (char &c : gbk) {
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    }
    return gbk;
}

} // namespace

std::string BaseDataText::answer(std::string_view siteGbk)
{
    const auto lock = db_.lock();
    std::string site;
    if (!WireText::toUtf8(siteGbk, site))
        return "-1\n";
    auto q = db_.prepare("SELECT cvolmode FROM site WHERE cwcid = ?");
    q.bind(1, site);
    if (!q.step())
        return "-1\n";
    std::string out = "C1";
    out += q.text(0) == "D" ? 'D' : 'N';
    out += '\n';
    appendKinds(out);
    appendDestinations(out);
    appendServed(out);
    out += '\a';
    return out;
}

void BaseDataText::appendKinds(std::string &out)
{
    out += "\nEMB\n";
    auto q = db_.prepare("SELECT ccode, cname FROM ems_kind ORDER BY nsort, ccode");
    while (q.step())
        out += field(q.text(0), kKindCode) + '\t' + field(q.text(1), kKindName) + '\n';
    out += "\nEME\n";
}

void BaseDataText::appendDestinations(std::string &out)
{
    out += "\nGPB\n";
    auto q = db_.prepare("SELECT nregion, nzone, ckey1, ckey2, cpost, cname, ccountry FROM destination ORDER BY ides");
    while (q.step()) {
        // Region digit, a comma, the price zone, then the five texts.
        out += std::to_string(q.integer(0) % 10) + ',' + std::to_string(q.integer(1) & 0xff) + '\t' +
               field(q.text(2), kKey1) + '\t' + field(q.text(3), kKey2) + '\t' + field(q.text(4), kPostcode) + '\t' +
               field(q.text(5), kName) + '\t' + field(q.text(6), kCountry) + '\n';
    }
    out += "\nGPE\n";
}

void BaseDataText::appendServed(std::string &out)
{
    out += "\nEPB\n";
    // A kind that serves nothing gets no pair: the client then knows no list for it.
    auto q = db_.prepare("SELECT k.ccode, d.cname FROM ems_kind k JOIN ems_kind_des s ON s.ccode = k.ccode "
                         "JOIN destination d ON d.ides = s.ides ORDER BY k.nsort, k.ccode, d.ides");
    std::string current;
    bool open = false;
    while (q.step()) {
        const std::string code = q.text(0);
        if (!open || code != current) {
            if (open)
                out += '\n';
            out += field(code, kKindCode) + '\n';
            current = code;
            open = true;
        }
        out += field(q.text(1), kName) + '\t';
    }
    if (open)
        out += '\n';
    out += "\nEPE\n";
}

} // namespace quarvel::server
