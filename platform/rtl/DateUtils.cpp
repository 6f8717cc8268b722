#include "platform/rtl/DateUtils.h"

#include <windows.h>

namespace rtl {

TDateTime Now() {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    FILETIME asFileTime{};
    SystemTimeToFileTime(&local, &asFileTime);
    ULARGE_INTEGER ticks{};
    ticks.LowPart = asFileTime.dwLowDateTime;
    ticks.HighPart = asFileTime.dwHighDateTime;
    // FILETIME counts 100 ns from 1601-01-01, which is 109205 days before
    // the TDateTime epoch.
    constexpr double TicksPerDay = 864000000000.0;
    constexpr double EpochOffsetDays = 109205.0;
    const double milliseconds = static_cast<double>(ticks.QuadPart / 10000);
    return milliseconds * 10000.0 / TicksPerDay - EpochOffsetDays;
}

}  // namespace rtl
