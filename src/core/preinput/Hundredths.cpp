#include "preinput/Hundredths.h"

#include <cmath>
#include <limits>

namespace quarvel {

namespace {

// The integer part of v ± 0.1, held inside the int range so that an absurd
// entry cannot wrap into a small or negative amount.
int scaled(double v)
{
    const double r = v >= 0.01 ? v + 0.1 : v - 0.1;
    if (!std::isfinite(r))
        return 0;
    if (r >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (r <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

} // namespace

int Hundredths(double x)
{
    return scaled(100.0 * x);
}

int Thousandths(double x)
{
    return scaled(1000.0 * x);
}

} // namespace quarvel
