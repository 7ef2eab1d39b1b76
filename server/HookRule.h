#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quarvel::server {

// One rule of the test hooks, written "MATCH [times=K] ACTION":
//   MATCH   next          the next request (any command)
//           op=N          the next KVTrans request of operation N
//           waybill=NUM   every upload (operation 0) or scan (operation 4) of that waybill number
//   ACTION  status N      answer "N\n" and do nothing else
//           reply TEXT    answer TEXT (the rest of the line; \n \r \t \a \\ and \xHH escapes)
//           stall SECONDS wait, then handle the request as usual
//           hang          never answer; the connection closes when the hooks are cleared or the server stops
//           close         close the connection without answering
// "times=K" makes the rule apply K times (next and op=N: once; waybill=NUM: always).
struct HookRule {
    enum class Match { Next, Operation, Waybill };
    enum class Action { Reply, Stall, Hang, Close };

    Match match = Match::Next;
    int operation = 0;
    std::string waybill;
    int times = 1; // below 0: no limit
    Action action = Action::Reply;
    std::string reply;
    double seconds = 0;
    std::string text; // the rule as written

    static std::optional<HookRule> parse(std::string_view line, std::string &error);
};

} // namespace quarvel::server
