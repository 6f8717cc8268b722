#include "platform/rtl/PathRules.h"

namespace rtl {

namespace {

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool IsInvalidPathCharacter(wchar_t c) {
    return c < 32 || c == L'"' || c == L'<' || c == L'>' || c == L'|' || c == L'*' || c == L'?';
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Device names are ASCII, and the system matches them without regard to the
// case of ASCII letters only.
bool EqualsIgnoringAsciiCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

// Windows opens these names as devices in any folder, with or without an
// extension ("C:\data\nul.txt" is the null device).
bool IsDeviceName(const std::wstring& segment) {
    std::wstring base = segment.substr(0, segment.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    static const wchar_t* const plain[] = {L"CON", L"PRN", L"AUX", L"NUL"};
    for (const wchar_t* name : plain) {
        if (EqualsIgnoringAsciiCase(base, name)) return true;
    }
    if (base.size() == 4 && base[3] >= L'1' && base[3] <= L'9') {
        const std::wstring stem = base.substr(0, 3);
        return EqualsIgnoringAsciiCase(stem, L"COM") || EqualsIgnoringAsciiCase(stem, L"LPT");
    }
    return false;
}

bool HasDeviceSegment(const std::wstring& path) {
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = path.find(L'\\', start);
        const std::wstring segment =
            path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (IsDeviceName(segment)) return true;
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return false;
}

// \\server\share\... needs both a server and a share.
bool IsCompleteUncPath(const std::wstring& path) {
    const size_t serverEnd = path.find(L'\\', 2);
    if (serverEnd == std::wstring::npos || serverEnd == 2) return false;
    const size_t shareEnd = path.find(L'\\', serverEnd + 1);
    const size_t shareLength =
        (shareEnd == std::wstring::npos ? path.size() : shareEnd) - (serverEnd + 1);
    return shareLength > 0;
}

}  // namespace

bool HasInvalidCharacters(const std::wstring& path) {
    for (wchar_t c : path) {
        if (IsInvalidPathCharacter(c)) return true;
    }
    return false;
}

std::wstring WithBackslashes(std::wstring path) {
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

bool IsSupportedFormat(const std::wstring& given) {
    const std::wstring path = WithBackslashes(given);
    if (path.empty()) return false;
    // The device namespace bypasses the checks made here; the raw "\\?\"
    // prefix is already refused for its '?'.
    if (StartsWith(path, L"\\\\.\\")) return false;
    for (size_t i = 0; i < path.size(); ++i) {
        // Only a drive letter may carry a colon; elsewhere it names a stream.
        if (path[i] == L':' && !(i == 1 && IsAsciiLetter(path[0]))) return false;
    }
    if (StartsWith(path, L"\\\\") && !IsCompleteUncPath(path)) return false;
    return !HasDeviceSegment(path);
}

PathProblem CheckPathText(const std::wstring& path) {
    if (path.size() >= MaxPathLength) return PathProblem::TooLong;
    if (HasInvalidCharacters(path)) return PathProblem::InvalidCharacters;
    if (!IsSupportedFormat(path)) return PathProblem::BadFormat;
    return PathProblem::None;
}

const char* PathProblemName(PathProblem problem) {
    switch (problem) {
        case PathProblem::None: return "None";
        case PathProblem::TooLong: return "TooLong";
        case PathProblem::InvalidCharacters: return "InvalidCharacters";
        case PathProblem::BadFormat: return "BadFormat";
        case PathProblem::FolderNotFound: return "FolderNotFound";
    }
    return "not a PathProblem";
}

std::wstring PathProblemText(PathProblem problem) {
    switch (problem) {
        case PathProblem::None: return L"";
        case PathProblem::TooLong: return L"The specified path is too long";
        case PathProblem::InvalidCharacters: return L"Invalid characters in path";
        case PathProblem::BadFormat: return L"The path format is not supported";
        case PathProblem::FolderNotFound: return L"The specified path was not found";
    }
    return L"";
}

}  // namespace rtl
