#pragma once
// A failed property ends the run like a crash, so that libFuzzer keeps the
// input and the run fails.

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzcheck {

// The text as its code units, printable ASCII as it is, anything else as \uXXXX.
inline std::string Shown(const std::wstring& text) {
    std::string out;
    char buffer[16];
    for (wchar_t c : text) {
        const unsigned code = static_cast<unsigned>(c);
        if (code >= 0x20 && code < 0x7F && code != '\\') {
            out += static_cast<char>(code);
        } else {
            std::snprintf(buffer, sizeof buffer, "\\u%04X", code);
            out += buffer;
        }
    }
    return out;
}

[[noreturn]] inline void Fail(const char* property, const std::wstring& text,
                              const std::string& detail) {
    std::fprintf(stderr, "property violated: %s\n  text: \"%s\"\n  %s\n", property,
                 Shown(text).c_str(), detail.c_str());
    std::abort();
}

}  // namespace fuzzcheck

// Checks a property of the helpers for one input text.
#define FUZZ_CHECK(condition, text, detail)                          \
    do {                                                             \
        if (!(condition)) fuzzcheck::Fail(#condition, text, detail); \
    } while (0)
