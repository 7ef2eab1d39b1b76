#pragma once

#include <QStringList>

namespace quarvel {

class Cli;
struct ListPage;
enum class ServerListKind;

// quarvelctl query ...: the server lists of the query pages with the values
// of their condition dialogs, and the deletion of uploaded pre-entries.
class QueryCommand {
public:
    static int run(Cli &cli, const QStringList &args);

private:
    static int records(Cli &cli, const QStringList &args);
    static int fees(Cli &cli, const QStringList &args);
    static int preEntries(Cli &cli, const QStringList &args);
    static int deletePreEntries(Cli &cli, const QStringList &args);
    static int fetch(Cli &cli, ServerListKind kind, const QByteArray &condition, int page, bool json);
    static void print(ServerListKind kind, const ListPage &page, bool json);
};

} // namespace quarvel
