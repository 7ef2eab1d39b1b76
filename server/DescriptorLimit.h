#pragma once

#include <cstddef>

namespace quarvel::server {

// The process's limit of open descriptors. Every connection the server
// holds is one; the usual soft limit of 1024 would end accepting long
// before the connection limits do.
class DescriptorLimit {
public:
    // Raises the soft limit to the hard one; returns the limit now in force.
    static std::size_t raise();
};

} // namespace quarvel::server
