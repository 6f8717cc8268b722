#include "platform/rtl/Files.h"

#include <vector>

#include "platform/rtl/SysUtils.h"

namespace rtl {

namespace {

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool IsInvalidPathCharacter(wchar_t c) {
    return c < 32 || c == L'"' || c == L'<' || c == L'>' || c == L'|' || c == L'*' || c == L'?';
}

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

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, wcslen(prefix), prefix) == 0;
}

bool EqualsIgnoringAsciiCase(const std::wstring& a, const wchar_t* b) {
    return _wcsicmp(a.c_str(), b) == 0;
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

std::wstring FullPathOf(const std::wstring& path) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()),
                                              buffer.data(), nullptr);
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

DWORD ErrorCodeOf(PathProblem problem) {
    switch (problem) {
        case PathProblem::TooLong: return ERROR_FILENAME_EXCED_RANGE;
        case PathProblem::FolderNotFound: return ERROR_PATH_NOT_FOUND;
        default: return ERROR_INVALID_NAME;
    }
}

[[noreturn]] void RaiseSystemError(DWORD code) { throw EInOutError(SysErrorMessage(code), code); }

std::wstring WithoutTrailingBackslash(const std::wstring& path) {
    if (path.size() > 1 && path.back() == L'\\' && !(path.size() == 3 && path[1] == L':')) {
        return path.substr(0, path.size() - 1);
    }
    return path;
}

[[noreturn]] void RaiseFolderError(const std::wstring& path, const std::wstring& reason,
                                   DWORD code) {
    throw EInOutError(L"Cannot create the folder \"" + path + L"\": " + reason, code);
}

bool CreateWithParents(const std::wstring& folder) {
    if (DirectoryExists(folder)) return true;
    const std::wstring parent = WithoutTrailingBackslash(ExtractFilePath(folder));
    // Stop at a root ("C:\", "\\server\share") or when nothing is left.
    if (!parent.empty() && parent != folder && parent.size() < folder.size() &&
        !DirectoryExists(parent)) {
        if (!CreateWithParents(parent)) return false;
    }
    return CreateDirectoryW(folder.c_str(), nullptr) || DirectoryExists(folder);
}

}  // namespace

PathProblem CheckFilePath(const std::wstring& path) {
    if (path.size() >= MAX_PATH) return PathProblem::TooLong;
    if (HasInvalidCharacters(path)) return PathProblem::InvalidCharacters;
    if (!IsSupportedFormat(path)) return PathProblem::BadFormat;
    const std::wstring full = FullPathOf(path);
    if (full.empty()) return PathProblem::BadFormat;
    if (full.size() >= MAX_PATH) return PathProblem::TooLong;
    if (!DirectoryExists(ExtractFilePath(full))) return PathProblem::FolderNotFound;
    return PathProblem::None;
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

void ValidateFilePath(const std::wstring& path) {
    const PathProblem problem = CheckFilePath(path);
    if (problem != PathProblem::None) throw EInOutError(PathProblemText(problem), ErrorCodeOf(problem));
}

void WriteAllText(const std::wstring& path, const std::wstring& text) {
    ValidateFilePath(path);
    const std::string bytes = WideToUtf8(text);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) RaiseSystemError(GetLastError());
    size_t written = 0;
    while (written < bytes.size()) {
        DWORD chunk = 0;
        const DWORD wanted = static_cast<DWORD>(bytes.size() - written);
        if (!WriteFile(file, bytes.data() + written, wanted, &chunk, nullptr)) {
            const DWORD code = GetLastError();
            CloseHandle(file);
            RaiseSystemError(code);
        }
        written += chunk;
    }
    if (!CloseHandle(file)) RaiseSystemError(GetLastError());
}

DWORD FileDeleteRefusal(const std::wstring& path) {
    ValidateFilePath(path);
    if (DeleteFileW(path.c_str())) return 0;
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_ACCESS_DENIED ||
        code == ERROR_SHARING_VIOLATION) {
        RaiseSystemError(code);
    }
    return code == 0 ? ERROR_GEN_FAILURE : code;
}

void FileDelete(const std::wstring& path) { FileDeleteRefusal(path); }

void FileDeleteStrict(const std::wstring& path) {
    if (const DWORD code = FileDeleteRefusal(path)) RaiseSystemError(code);
}

bool ForceDirectories(const std::wstring& path) {
    const std::wstring folder = WithoutTrailingBackslash(WithBackslashes(path));
    if (folder.size() > MaxFolderPathLength) {
        RaiseFolderError(path, PathProblemText(PathProblem::TooLong), ERROR_FILENAME_EXCED_RANGE);
    }
    if (HasInvalidCharacters(folder)) {
        RaiseFolderError(path, PathProblemText(PathProblem::InvalidCharacters), ERROR_INVALID_NAME);
    }
    if (!IsSupportedFormat(folder)) {
        RaiseFolderError(path, PathProblemText(PathProblem::BadFormat), ERROR_INVALID_NAME);
    }
    const std::wstring full = WithoutTrailingBackslash(FullPathOf(folder));
    if (full.size() > MaxFolderPathLength) {
        RaiseFolderError(path, PathProblemText(PathProblem::TooLong), ERROR_FILENAME_EXCED_RANGE);
    }
    if (full.size() >= 2 && full[1] == L':') {
        const std::wstring root = full.substr(0, 2) + L"\\";
        if (GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR) {
            RaiseFolderError(path, L"The drive " + full.substr(0, 2) + L" does not exist",
                             ERROR_PATH_NOT_FOUND);
        }
    }
    return CreateWithParents(full);
}

FolderEntries::FolderEntries(const std::wstring& pattern, DWORD attributeMask)
    : mask_(attributeMask) {
    find_ = FindFirstFileW(pattern.c_str(), &data_);
}

FolderEntries::~FolderEntries() {
    if (find_ != INVALID_HANDLE_VALUE) FindClose(find_);
}

bool FolderEntries::Matches() const {
    constexpr DWORD Filtered = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 0x8 /* volume */ |
                               FILE_ATTRIBUTE_DIRECTORY;
    const DWORD excluded = ~mask_ & Filtered;
    return (data_.dwFileAttributes & excluded) == 0;
}

bool FolderEntries::Next() {
    if (find_ == INVALID_HANDLE_VALUE) return false;
    for (;;) {
        if (first_) {
            first_ = false;
        } else if (!FindNextFileW(find_, &data_)) {
            return false;
        }
        if (Matches()) return true;
    }
}

}  // namespace rtl
