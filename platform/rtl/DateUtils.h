#pragma once
// Local date and time as the classic run-time library keeps it: days since
// 30 December 1899 as a double, the time of day as the fraction.

namespace rtl {

using TDateTime = double;

constexpr double MillisecondsPerDay = 86400000.0;

// The local wall clock (not a monotonic clock), to the millisecond.
TDateTime Now();

}  // namespace rtl
