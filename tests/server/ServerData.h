#pragma once

#include <QString>

#include <string>

// Runs SQL on a stand-in server's data file (while it runs or not), for the
// cases the demo data does not hold. Returns an empty text or SQLite's error.
std::string runSql(const QString &dataFile, const std::string &sql);
// The first column of the first row of a query, as text.
std::string queryText(const QString &dataFile, const std::string &sql);
