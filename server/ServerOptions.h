#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quarvel::server {

// The command line of tarvo-server.
struct ServerOptions {
    std::string address = "127.0.0.1";
    int port = 8080;
    std::string dataFile;
    bool demo = false;
    std::string redirectTo;
    int timeWindowSeconds = 300;
    bool quiet = false;
    // Connections held at once: in all (0: as many as the descriptor limit
    // allows, at most 4000) and from one client address.
    int maxConnections = 0;
    int maxPerAddress = 128;
    // How long a connection may take to send its whole request head.
    double headTimeoutSeconds = 5;
    // Test hooks: the control request and the rules given at start.
    bool testHooks = false;
    std::vector<std::string> hooks;
    bool help = false;
    bool version = false;

    // Empty error and filled options, or the reason the line was refused.
    static ServerOptions parse(const std::vector<std::string> &args, std::string &error);
    static std::string usage();
    // A dotted IPv4 address as the client recognises one in a reply: 7 to 15
    // characters, digits and exactly three dots, every part below 256.
    static bool isIpAddress(const std::string &text);
};

} // namespace quarvel::server
