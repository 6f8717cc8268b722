#include "platform/rtl/FormatSettings.h"

#include <windows.h>

#include <cmath>

namespace rtl {

namespace {

std::wstring LocaleText(LCTYPE type) {
    wchar_t buffer[100] = {};
    if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 100)) return {};
    return buffer;
}

// Windows writes hours as H/HH (24 h) or h/hh (12 h) and an AM/PM marker
// as t/tt; our format letters know a 24-hour clock only.
std::wstring FromWindowsFormat(const std::wstring& windowsFormat) {
    std::wstring result;
    for (wchar_t c : windowsFormat) {
        if (c == L'H') c = L'h';
        if (c == L't') continue;
        result += c;
    }
    while (!result.empty() && result.back() == L' ') result.pop_back();
    return result;
}

// Replaces the locale's own separator by ':', which stands for TimeSeparator.
std::wstring WithSeparatorLetter(std::wstring format, const std::wstring& separator) {
    if (separator.empty() || separator == L":") return format;
    for (size_t at = format.find(separator); at != std::wstring::npos;
         at = format.find(separator, at + 1)) {
        format.replace(at, separator.size(), L":");
    }
    return format;
}

void AppendNumber(std::wstring& out, int value, bool twoDigits) {
    if (twoDigits && value < 10) out += L'0';
    out += std::to_wstring(value);
}

}  // namespace

TFormatSettings TFormatSettings::FromUserLocale() {
    TFormatSettings settings;
    const std::wstring separator = LocaleText(LOCALE_STIME);
    if (separator.size() == 1) settings.TimeSeparator = separator[0];
    settings.LongTimeFormat =
        WithSeparatorLetter(FromWindowsFormat(LocaleText(LOCALE_STIMEFORMAT)), separator);
    if (settings.LongTimeFormat.empty()) settings.LongTimeFormat = L"hh:nn:ss";
    // The short form is the long one without its seconds.
    settings.ShortTimeFormat = settings.LongTimeFormat;
    const size_t seconds = settings.ShortTimeFormat.find(L":s");
    if (seconds != std::wstring::npos) settings.ShortTimeFormat.erase(seconds);
    return settings;
}

TFormatSettings FormatSettings = TFormatSettings::FromUserLocale();

std::wstring FormatTime(const std::wstring& format, TDateTime value,
                        const TFormatSettings& settings) {
    const double day = std::floor(value);
    long long ms = std::llround((value - day) * MillisecondsPerDay);
    if (ms >= 86400000) ms = 86399999;
    const int hour = static_cast<int>(ms / 3600000);
    const int minute = static_cast<int>(ms / 60000 % 60);
    const int second = static_cast<int>(ms / 1000 % 60);

    std::wstring out;
    for (size_t i = 0; i < format.size();) {
        const wchar_t c = format[i];
        const wchar_t lower = static_cast<wchar_t>(c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c);
        if (c == L'"' || c == L'\'') {
            const size_t end = format.find(c, i + 1);
            const size_t stop = end == std::wstring::npos ? format.size() : end;
            out += format.substr(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (c == L':') {
            out += settings.TimeSeparator;
            ++i;
            continue;
        }
        if (lower == L'h' || lower == L'n' || lower == L'm' || lower == L's') {
            size_t run = 1;
            while (i + run < format.size() && (format[i + run] | 0x20) == lower) ++run;
            const int part = lower == L'h' ? hour : lower == L's' ? second : minute;
            AppendNumber(out, part, run >= 2);
            i += run;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

std::wstring TimeToStr(TDateTime value) {
    return FormatTime(FormatSettings.ShortTimeFormat, value);
}

}  // namespace rtl
