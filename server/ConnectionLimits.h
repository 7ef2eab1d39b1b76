#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace quarvel::server {

// How many connections the server holds at once, in all and from one client
// address. A client that opens connections without end (or many clients
// together) then runs into a refusal instead of starving everyone else of
// descriptors and memory. Shared by the thread that accepts and the threads
// that finish requests.
class ConnectionLimits {
public:
    enum class Verdict { Admitted, TooManyInAll, TooManyFromAddress };

    ConnectionLimits(std::size_t total, std::size_t perAddress);

    // Counts a new connection from the IPv4 address (in network order) when
    // both limits leave room for it.
    Verdict admit(std::uint32_t address);
    // Gives the place of an admitted connection back.
    void release(std::uint32_t address);
    std::size_t open() const;
    std::size_t total() const { return total_; }
    std::size_t perAddress() const { return perAddress_; }

private:
    const std::size_t total_;
    const std::size_t perAddress_;
    mutable std::mutex mutex_;
    std::size_t open_ = 0;
    std::unordered_map<std::uint32_t, std::size_t> byAddress_;
};

} // namespace quarvel::server
