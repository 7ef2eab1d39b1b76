#pragma once

namespace quarvel {

// Money kept as hundredths: 100·x rounded so that a typed 12.34 is stored as
// 1234 even when 100·x falls just below it (0.1 towards the sign).
int Hundredths(double x);

// Grams from kilograms by the same rule (1000·x).
int Thousandths(double x);

} // namespace quarvel
