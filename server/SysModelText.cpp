#include "SysModelText.h"

#include "Database.h"
#include "TransStatus.h"
#include "WireText.h"

namespace quarvel::server {

namespace {

constexpr std::string_view kSite = "w=";
constexpr std::string_view kModel = "&cmodel=";

} // namespace

std::string SysModelText::answer(std::string_view body)
{
    if (!body.starts_with(kSite))
        return statusLine(-1);
    body.remove_prefix(kSite.size());
    const std::size_t model = body.find(kModel);
    std::string site;
    if (!WireText::toUtf8(body.substr(0, model), site))
        return statusLine(-1);
    const auto lock = db_.lock();
    auto known = db_.prepare("SELECT 1 FROM site WHERE cwcid = ?");
    known.bind(1, site);
    if (!known.step())
        return statusLine(-1);
    if (model == std::string_view::npos)
        return list(site);
    std::string name;
    if (!WireText::toUtf8(body.substr(model + kModel.size()), name))
        return statusLine(-2);
    return one(site, name);
}

std::string SysModelText::list(const std::string &site)
{
    auto rows = db_.prepare("SELECT nkind, cname FROM sys_model WHERE cwcid = ? ORDER BY nkind, cname");
    rows.bind(1, site);
    std::string lines;
    int count = 0;
    while (rows.step()) {
        lines += std::to_string(rows.integer(0)) + WireText::line(rows.text(1), 31) + "\n";
        ++count;
    }
    return "+" + std::to_string(count) + "\n" + lines;
}

std::string SysModelText::one(const std::string &site, const std::string &name)
{
    auto row = db_.prepare("SELECT btxt, bxls FROM sys_model WHERE cwcid = ? AND cname = ? ORDER BY nkind LIMIT 1");
    row.bind(1, site).bind(2, name);
    if (!row.step())
        return statusLine(-2);
    const std::string definition = row.text(0);
    const std::string spreadsheet = row.text(1);
    if (definition.size() < 2 || spreadsheet.empty())
        return statusLine(-2);
    return "+0\n" + std::to_string(definition.size() - 1) + "\n" + std::to_string(spreadsheet.size()) + "\n" +
           definition + spreadsheet;
}

} // namespace quarvel::server
