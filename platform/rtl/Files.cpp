#include "platform/rtl/Files.h"

#include <vector>

#include "platform/rtl/SysUtils.h"

namespace rtl {

namespace {

static_assert(MaxPathLength == MAX_PATH, "the text checks use the system's path limit");

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
    if (const PathProblem problem = CheckPathText(path); problem != PathProblem::None) {
        return problem;
    }
    const std::wstring full = FullPathOf(path);
    if (full.empty()) return PathProblem::BadFormat;
    if (full.size() >= MAX_PATH) return PathProblem::TooLong;
    if (!DirectoryExists(ExtractFilePath(full))) return PathProblem::FolderNotFound;
    return PathProblem::None;
}

void ValidateFilePath(const std::wstring& path) {
    const PathProblem problem = CheckFilePath(path);
    if (problem != PathProblem::None)
        throw EInOutError(PathProblemText(problem), ErrorCodeOf(problem));
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
    constexpr DWORD Filtered =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 0x8 /* volume */ | FILE_ATTRIBUTE_DIRECTORY;
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
