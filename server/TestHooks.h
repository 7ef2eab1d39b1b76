#pragma once

#include "HookRule.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvel::server {

// Faults on demand for tests (only with --test-hooks): rules that make the
// server answer a chosen reply, wait, never answer or close the connection,
// for a waybill number, an operation or the next request. Rules come from the
// command line and from the control request; the first rule that matches a
// request applies.
class TestHooks {
public:
    // Adds the rules of the text, one a line; a line "clear" first removes
    // the rules there are. Nothing changes when a line is wrong.
    bool apply(std::string_view lines, std::string &error);
    void clear();
    // The rule for a request: trans tells a KVTrans request, whose operation
    // and waybill number (UTF-8, empty when none) follow.
    std::optional<HookRule> take(bool trans, int operation, const std::string &waybill);
    // Waits the seconds, or until the hooks are cleared or stopped.
    void stall(double seconds);
    // Waits until the hooks are cleared or stopped.
    void hang();
    // Ends every wait, now and later: the server is stopping.
    void stop();
    // The rules still in force, one a line, each with the times it has left.
    std::string list() const;

private:
    void clearLocked();

    mutable std::mutex mutex_;
    std::condition_variable released_;
    std::vector<HookRule> rules_;
    unsigned long generation_ = 0;
    bool stopped_ = false;
};

} // namespace quarvel::server
