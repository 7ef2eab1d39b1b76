#include "DemoTemplates.h"

#include "Database.h"
#include "app/ShippedData.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace quarvel::server {

namespace {

namespace fs = std::filesystem;

const std::pair<const char *, int> kPrefixes[] = {{"IVC_", 0}, {"TAB_", 1}, {"LBL_", 2}};

bool readFile(const fs::path &path, std::string &bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

} // namespace

int DemoTemplates::seedFolder(Database &db, const std::string &site, const std::string &folder)
{
    std::error_code error;
    int added = 0;
    auto add = db.prepare("INSERT OR IGNORE INTO sys_model (cwcid, nkind, cname, btxt, bxls) VALUES (?, ?, ?, ?, ?)");
    for (const fs::directory_entry &entry : fs::directory_iterator(folder, error)) {
        const fs::path path = entry.path();
        if (path.extension() != ".xls")
            continue;
        const std::string stem = path.stem().string();
        for (const auto &[prefix, kind] : kPrefixes) {
            std::string definition;
            std::string spreadsheet;
            if (!stem.starts_with(prefix) || !readFile(fs::path(path).replace_extension(".txt"), definition) ||
                !readFile(path, spreadsheet))
                continue;
            add.bind(1, site).bind(2, kind).bind(3, stem.substr(std::string(prefix).size()));
            add.bindBlob(4, definition).bindBlob(5, spreadsheet).run();
            added += db.changes();
        }
    }
    return added;
}

int DemoTemplates::seed(Database &db, const std::string &site)
{
    const std::string shipped = ShippedData::Folder().toStdString();
    if (shipped.empty())
        return 0;
    return seedFolder(db, site, shipped + "/DATA_MODEL") + seedFolder(db, site, shipped + "/demo-templates");
}

} // namespace quarvel::server
