#include "ConnectionLimits.h"

#include <algorithm>

namespace quarvel::server {

ConnectionLimits::ConnectionLimits(std::size_t total, std::size_t perAddress)
    : total_(std::max<std::size_t>(total, 1)), perAddress_(std::max<std::size_t>(perAddress, 1))
{
}

ConnectionLimits::Verdict ConnectionLimits::admit(std::uint32_t address)
{
    const std::lock_guard lock(mutex_);
    if (open_ >= total_)
        return Verdict::TooManyInAll;
    std::size_t &mine = byAddress_[address];
    if (mine >= perAddress_)
        return Verdict::TooManyFromAddress;
    ++mine;
    ++open_;
    return Verdict::Admitted;
}

void ConnectionLimits::release(std::uint32_t address)
{
    const std::lock_guard lock(mutex_);
    const auto it = byAddress_.find(address);
    if (it == byAddress_.end())
        return;
    --open_;
    // Addresses that come and go must not pile up in the map.
    if (--it->second == 0)
        byAddress_.erase(it);
}

std::size_t ConnectionLimits::open() const
{
    const std::lock_guard lock(mutex_);
    return open_;
}

} // namespace quarvel::server
