#include "TestHooks.h"

#include <chrono>

namespace quarvel::server {

bool TestHooks::apply(std::string_view lines, std::string &error)
{
    std::vector<HookRule> added;
    bool clearFirst = false;
    std::size_t at = 0;
    while (at <= lines.size()) {
        const std::size_t end = std::min(lines.find('\n', at), lines.size());
        std::string_view line = lines.substr(at, end - at);
        at = end + 1;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.find_first_not_of(' ') == std::string_view::npos)
            continue;
        if (line == "clear") {
            clearFirst = true;
            added.clear();
            continue;
        }
        auto rule = HookRule::parse(line, error);
        if (!rule) {
            error = std::string(line) + ": " + error;
            return false;
        }
        added.push_back(std::move(*rule));
    }
    const std::lock_guard lock(mutex_);
    if (clearFirst)
        clearLocked();
    rules_.insert(rules_.end(), added.begin(), added.end());
    return true;
}

void TestHooks::clear()
{
    const std::lock_guard lock(mutex_);
    clearLocked();
}

void TestHooks::clearLocked()
{
    rules_.clear();
    ++generation_;
    released_.notify_all();
}

std::optional<HookRule> TestHooks::take(bool trans, int operation, const std::string &waybill)
{
    const std::lock_guard lock(mutex_);
    for (auto rule = rules_.begin(); rule != rules_.end(); ++rule) {
        bool matches = false;
        switch (rule->match) {
        case HookRule::Match::Next:
            matches = true;
            break;
        case HookRule::Match::Operation:
            matches = trans && operation == rule->operation;
            break;
        case HookRule::Match::Waybill:
            matches = trans && (operation == 0 || operation == 4) && waybill == rule->waybill;
            break;
        }
        if (!matches)
            continue;
        HookRule taken = *rule;
        if (rule->times > 0 && --rule->times == 0)
            rules_.erase(rule);
        return taken;
    }
    return std::nullopt;
}

void TestHooks::stall(double seconds)
{
    std::unique_lock lock(mutex_);
    const unsigned long generation = generation_;
    released_.wait_for(lock, std::chrono::duration<double>(seconds),
                       [&] { return stopped_ || generation_ != generation; });
}

void TestHooks::hang()
{
    std::unique_lock lock(mutex_);
    const unsigned long generation = generation_;
    released_.wait(lock, [&] { return stopped_ || generation_ != generation; });
}

void TestHooks::stop()
{
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    released_.notify_all();
}

std::string TestHooks::list() const
{
    const std::lock_guard lock(mutex_);
    std::string text;
    for (const HookRule &r : rules_)
        text += r.text + " (" + (r.times < 0 ? std::string("always") : std::to_string(r.times) + " left") + ")\n";
    return text;
}

} // namespace quarvel::server
