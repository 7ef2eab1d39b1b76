#pragma once

#include <string>

namespace quarvel::server {

class Database;

// The templates of the demo site: every definition and spreadsheet pair
// ("TAB_NAME.txt" and "TAB_NAME.xls", prefixes IVC_, TAB_, LBL_) of the
// program's shipped data, its default templates and the demo's extra
// layouts. Seeding again adds only what is missing. Returns the number added.
class DemoTemplates {
public:
    static int seed(Database &db, const std::string &site);
    // Pairs of one folder (GBK names in the files, UTF-8 names in the database).
    static int seedFolder(Database &db, const std::string &site, const std::string &folder);
};

} // namespace quarvel::server
