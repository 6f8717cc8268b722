// The text checks of a path (CheckPathText) against what must hold for any
// path: the order of the checks, what a path that passes cannot hold, and
// verdicts that must not change when the path is written another way or made
// longer in a known way. Input: one byte that picks a position in the path,
// two bytes that pick a device name, then the path (see FuzzInput.h).

#include <string>

#include "environment/toolbookprocs_text.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "platform/rtl/PathRules.h"

using rtl::CheckPathText;
using rtl::MaxPathLength;
using rtl::PathProblem;

namespace {

std::string Got(const char* expected, PathProblem got) {
    return std::string("expected ") + expected + ", got " + rtl::PathProblemName(got);
}

bool IsInvalidCharacter(wchar_t c) {
    return c < 0x20 || std::wstring(L"\"<>|*?").find(c) != std::wstring::npos;
}

std::wstring Slashed(std::wstring path) {
    for (wchar_t& c : path) {
        if (c == L'\\') c = L'/';
    }
    return path;
}

bool Fits(const std::wstring& path) { return path.size() < MaxPathLength; }

// What a path that passes cannot hold.
void CheckPassingPath(const std::wstring& path) {
    FUZZ_CHECK(path.size() < MaxPathLength, path,
               "passes with " + std::to_string(path.size()) + " characters");
    FUZZ_CHECK(!path.empty(), path, "the empty path passes");
    for (size_t i = 0; i < path.size(); ++i) {
        FUZZ_CHECK(!IsInvalidCharacter(path[i]), path,
                   "passes with an invalid character at " + std::to_string(i));
        // A colon only as the drive's, right after a leading ASCII letter.
        if (path[i] == L':') {
            const wchar_t d = path[0];
            const bool drive = i == 1 && ((d >= L'a' && d <= L'z') || (d >= L'A' && d <= L'Z'));
            FUZZ_CHECK(drive, path, "passes with a ':' at " + std::to_string(i));
        }
    }
}

// Names that the system opens as devices in every folder.
const wchar_t* const DeviceNames[] = {L"CON",  L"PRN",  L"AUX",  L"NUL",  L"COM1", L"COM2",
                                      L"COM3", L"COM4", L"COM5", L"COM6", L"COM7", L"COM8",
                                      L"COM9", L"LPT1", L"LPT2", L"LPT3", L"LPT4", L"LPT5",
                                      L"LPT6", L"LPT7", L"LPT8", L"LPT9"};
constexpr size_t DeviceNameCount = sizeof DeviceNames / sizeof DeviceNames[0];

// One device name picked by choice, its letters in a case picked by the
// other bits, with or without an extension.
std::wstring DeviceName(unsigned choice) {
    std::wstring name = DeviceNames[choice % DeviceNameCount];
    unsigned bits = choice / DeviceNameCount;
    for (wchar_t& c : name) {
        if (c >= L'A' && c <= L'Z' && (bits & 1)) c = static_cast<wchar_t>(c + 0x20);
        bits >>= 1;
    }
    return (bits & 1) ? name + L".txt" : name;
}

// A path that passes, made longer in ways whose verdict is known.
void CheckExtensionsOf(const std::wstring& path, size_t at, unsigned choice) {
    struct Extension {
        std::wstring path;
        PathProblem expected;
        const char* name;
    };
    const Extension extensions[] = {
        // A sound file name below a path that passes passes as well.
        {path + L"\\x\\y.txt", PathProblem::None, "None"},
        {path + L"\\" + DeviceName(choice), PathProblem::BadFormat, "BadFormat"},
        {path + L"\\" + DeviceName(choice) + L"\\a", PathProblem::BadFormat, "BadFormat"},
        // Only COM and LPT with 1 to 9 are devices.
        {path + L"\\x\\com0.txt", PathProblem::None, "None"},
        {path + L"\\x\\LPT10", PathProblem::None, "None"},
        {path + L"\\x\\CONSOLE", PathProblem::None, "None"},
        {path + L"\\aux .txt\\z", PathProblem::BadFormat, "BadFormat"},
        {path + L"\\a:s", PathProblem::BadFormat, "BadFormat"},  // a stream
        {L"\\\\.\\" + path, PathProblem::BadFormat, "BadFormat"},
        {path.substr(0, at) + L"|" + path.substr(at), PathProblem::InvalidCharacters,
         "InvalidCharacters"},
        {path.substr(0, at) + L'\x1f' + path.substr(at), PathProblem::InvalidCharacters,
         "InvalidCharacters"},
    };
    for (const Extension& e : extensions) {
        if (!Fits(e.path)) continue;
        const PathProblem got = CheckPathText(e.path);
        FUZZ_CHECK(got == e.expected, path,
                   "for \"" + fuzzcheck::Shown(e.path) + "\": " + Got(e.name, got));
    }
}

// A UNC path needs a server and a share: a name from a path that passes,
// used as a server alone or as a share without a server, never passes.
void CheckIncompleteUncPaths(const std::wstring& path) {
    std::wstring name;
    for (wchar_t c : path) {
        if (c != L'\\' && c != L'/') name += c;
    }
    if (name.empty()) return;
    for (const std::wstring& unc : {L"\\\\" + name, L"\\\\" + name + L"\\", L"//" + name + L"/",
                                    L"\\\\\\" + name, L"\\\\\\" + name + L"\\x"}) {
        if (!Fits(unc)) continue;
        const PathProblem got = CheckPathText(unc);
        FUZZ_CHECK(got == PathProblem::BadFormat, path,
                   "for \"" + fuzzcheck::Shown(unc) + "\": " + Got("BadFormat", got));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzinput::Reader in(data, size);
    const size_t atByte = in.Byte();
    const unsigned choiceLow = in.Byte();
    const unsigned choice = choiceLow | (in.Byte() << 8);
    const std::wstring path = in.Rest();
    const size_t at = path.empty() ? 0 : atByte % (path.size() + 1);

    const PathProblem problem = CheckPathText(path);
    FUZZ_CHECK(problem == PathProblem::None || problem == PathProblem::TooLong ||
                   problem == PathProblem::InvalidCharacters || problem == PathProblem::BadFormat,
               path, std::string("the text alone gave ") + rtl::PathProblemName(problem));
    FUZZ_CHECK(
        !rtl::PathProblemText(problem).empty() == (problem != PathProblem::None), path,
        std::string("no message, or one for a sound path: ") + rtl::PathProblemName(problem));
    // Length is checked before anything else.
    FUZZ_CHECK((path.size() >= MaxPathLength) == (problem == PathProblem::TooLong), path,
               Got(path.size() >= MaxPathLength ? "TooLong" : "no TooLong", problem));

    // '/' counts as '\', and device names ignore the case of ASCII letters.
    const PathProblem slashed = CheckPathText(Slashed(path));
    FUZZ_CHECK(slashed == problem, path,
               std::string("with '/': ") + Got(rtl::PathProblemName(problem), slashed));
    const PathProblem upper = CheckPathText(toolbookprocs::UpperCaseText(path));
    FUZZ_CHECK(upper == problem, path,
               std::string("upper-cased: ") + Got(rtl::PathProblemName(problem), upper));

    if (problem == PathProblem::InvalidCharacters) {
        // Nothing appended can mend an invalid character.
        const std::wstring longer = path + L"\\a.txt";
        const PathProblem got = CheckPathText(longer);
        if (Fits(longer)) FUZZ_CHECK(got == problem, path, Got("InvalidCharacters", got));
    }
    if (problem == PathProblem::None) {
        CheckPassingPath(path);
        CheckExtensionsOf(path, at, choice);
        CheckIncompleteUncPaths(path);
    }
    return 0;
}
