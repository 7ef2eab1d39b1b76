#include "ServerOptions.h"

#include "HookRule.h"

#include <charconv>

namespace quarvel::server {

namespace {

bool toInt(const std::string &text, int &out)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

bool toSeconds(const std::string &text, double &out)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() && out > 0 && out <= 3600;
}

bool parseListen(const std::string &text, ServerOptions &o)
{
    const auto colon = text.rfind(':');
    if (colon == std::string::npos)
        return false;
    o.address = text.substr(0, colon);
    return ServerOptions::isIpAddress(o.address) && toInt(text.substr(colon + 1), o.port) && o.port >= 0 &&
           o.port <= 65535;
}

} // namespace

bool ServerOptions::isIpAddress(const std::string &text)
{
    if (text.size() < 7 || text.size() > 15)
        return false;
    int dots = 0;
    int part = 0;
    int digits = 0;
    for (const char c : text) {
        if (c == '.') {
            if (digits == 0 || ++dots > 3)
                return false;
            part = 0;
            digits = 0;
        } else if (c >= '0' && c <= '9') {
            part = part * 10 + (c - '0');
            if (++digits > 3 || part > 255)
                return false;
        } else {
            return false;
        }
    }
    return dots == 3 && digits > 0;
}

std::string ServerOptions::usage()
{
    return "Usage: tarvo-server --listen ADDRESS:PORT --data FILE [options]\n"
           "\n"
           "The stand-in company server: answers the counter client's login, base data and\n"
           "transactions under /cgi-bin/VEdiz.dll and keeps its data in an SQLite file.\n"
           "\n"
           "  --listen ADDRESS:PORT  IPv4 address and port to listen on (default 127.0.0.1:8080);\n"
           "                         port 0 takes a free port. The first line printed is\n"
           "                         \"listening ADDRESS:PORT\" with the port bound.\n"
           "  --data FILE            the SQLite data file, created when missing\n"
           "  --demo                 add the demo site, customers, accounts and base data; refused\n"
           "                         for a file that holds customers of its own\n"
           "  --redirect-to IPV4     answer every login, base-data and template request with\n"
           "                         this address, sending the client to another server\n"
           "  --time-window SECONDS  how far the time in a login may be from this server's\n"
           "                         clock (default 300)\n"
           "  --quiet                no line per request on standard error\n"
           "  --max-connections N    connections held at once in all (default: what the\n"
           "                         descriptor limit allows, at most 4000); more are answered 503\n"
           "  --max-per-address N    connections held at once from one client address\n"
           "                         (default 128); more are answered 503\n"
           "  --head-timeout SECONDS time a connection has to send its whole request head\n"
           "                         (default 5); then it is closed without a reply\n"
           "  --test-hooks           for tests only: serve the control request POST /test-hooks\n"
           "                         that sets fault rules (see README.md)\n"
           "  --hook RULE            with --test-hooks: a fault rule in force from the start,\n"
           "                         e.g. \"waybill=D1 status -10\", \"next stall 2\", \"op=0 close\"\n"
           "  --help                 this text\n"
           "  --version              the program's version\n";
}

ServerOptions ServerOptions::parse(const std::vector<std::string> &args, std::string &error)
{
    ServerOptions o;
    error.clear();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--demo") {
            o.demo = true;
        } else if (a == "--quiet") {
            o.quiet = true;
        } else if (a == "--test-hooks") {
            o.testHooks = true;
        } else if (a == "--hook" && hasValue) {
            o.hooks.push_back(args[++i]);
            std::string why;
            if (!HookRule::parse(o.hooks.back(), why))
                error = "--hook " + o.hooks.back() + ": " + why;
        } else if (a == "--listen" && hasValue) {
            if (!parseListen(args[++i], o))
                error = "--listen needs an IPv4 address and a port, for example 127.0.0.1:8080";
        } else if (a == "--data" && hasValue) {
            o.dataFile = args[++i];
        } else if (a == "--redirect-to" && hasValue) {
            o.redirectTo = args[++i];
            if (!isIpAddress(o.redirectTo))
                error = "--redirect-to needs a dotted IPv4 address";
        } else if (a == "--max-connections" && hasValue) {
            if (!toInt(args[++i], o.maxConnections) || o.maxConnections < 1)
                error = "--max-connections needs a number above 0";
        } else if (a == "--max-per-address" && hasValue) {
            if (!toInt(args[++i], o.maxPerAddress) || o.maxPerAddress < 1)
                error = "--max-per-address needs a number above 0";
        } else if (a == "--head-timeout" && hasValue) {
            if (!toSeconds(args[++i], o.headTimeoutSeconds))
                error = "--head-timeout needs a number of seconds above 0, at most 3600";
        } else if (a == "--time-window" && hasValue) {
            if (!toInt(args[++i], o.timeWindowSeconds) || o.timeWindowSeconds < 0)
                error = "--time-window needs a number of seconds";
        } else {
            error = "unknown option or missing value: " + a;
        }
        if (!error.empty())
            return o;
    }
    if (!o.help && !o.version && o.dataFile.empty())
        error = "--data FILE is required";
    else if (!o.hooks.empty() && !o.testHooks)
        error = "--hook needs --test-hooks";
    return o;
}

} // namespace quarvel::server
