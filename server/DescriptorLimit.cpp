#include "DescriptorLimit.h"

#include <algorithm>
#include <sys/resource.h>

namespace quarvel::server {

namespace {

// Far beyond any connection limit; an unlimited hard limit is no value the
// soft limit can take.
constexpr rlim_t kEnough = 1 << 20;

} // namespace

std::size_t DescriptorLimit::raise()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 1024;
    const rlim_t wanted = std::min(limit.rlim_max, kEnough);
    if (limit.rlim_cur < wanted) {
        rlimit raised = limit;
        raised.rlim_cur = wanted;
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit.rlim_cur = wanted;
    }
    return static_cast<std::size_t>(std::min(limit.rlim_cur, kEnough));
}

} // namespace quarvel::server
