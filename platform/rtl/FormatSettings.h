#pragma once
// The process-wide format settings: how the run-time layer writes times.
// They start from the user's regional settings; a program may replace them.

#include <string>

#include "platform/rtl/DateUtils.h"

namespace rtl {

struct TFormatSettings {
    // Format letters: h or hh the hour (0..23), n/nn or m/mm the minutes,
    // s/ss the seconds, ':' the time separator; text in double or single
    // quotes is copied as it is.
    std::wstring ShortTimeFormat;
    std::wstring LongTimeFormat;
    wchar_t TimeSeparator = L':';

    // The user's regional settings.
    static TFormatSettings FromUserLocale();
};

// The settings that the run-time layer's formatting uses in this process.
extern TFormatSettings FormatSettings;

// The time of day of value, written with format; the separator comes from
// settings.
std::wstring FormatTime(const std::wstring& format, TDateTime value,
                        const TFormatSettings& settings = FormatSettings);

// The time of day of value in the short time format.
std::wstring TimeToStr(TDateTime value);

}  // namespace rtl
