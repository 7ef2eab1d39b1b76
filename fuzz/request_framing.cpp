// tarvo-server's door: where a request ends, judged on bytes as they arrive.
// The first byte chooses how the rest is cut into arrivals; the verdict must
// not depend on the cutting, and a complete request never reaches past the
// bytes received.
#include "RequestFraming.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

using quarvel::server::RequestFraming;

constexpr std::size_t kMaxHead = 512;
constexpr std::size_t kMaxBody = 256;

struct Verdict {
    RequestFraming::State state = RequestFraming::State::More;
    std::size_t length = 0;
    int status = 0;
};

Verdict judge(std::string_view bytes, std::size_t step)
{
    RequestFraming framing(kMaxHead, kMaxBody);
    Verdict v;
    for (std::size_t seen = 0; seen < bytes.size() && v.state == RequestFraming::State::More;) {
        seen = seen + step < bytes.size() ? seen + step : bytes.size();
        v.state = framing.judge(bytes.substr(0, seen));
        if (v.state == RequestFraming::State::Complete && framing.length() > seen)
            __builtin_trap();
    }
    v.length = v.state == RequestFraming::State::Complete ? framing.length() : 0;
    v.status = v.state == RequestFraming::State::Refused ? framing.status() : 0;
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const std::size_t step = 1 + data[0] % 16;
    const std::string_view bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    const Verdict whole = judge(bytes, bytes.size() + 1);
    const Verdict pieces = judge(bytes, step);
    // A verdict reached early in pieces can only be one the whole bytes also reach.
    if (pieces.state != RequestFraming::State::More &&
        (pieces.state != whole.state || pieces.length != whole.length || pieces.status != whole.status))
        __builtin_trap();
    if (whole.status != 0 && whole.status != 400 && whole.status != 411 && whole.status != 413 && whole.status != 431)
        __builtin_trap();
    return 0;
}
