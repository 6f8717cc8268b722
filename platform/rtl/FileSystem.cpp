#include "platform/rtl/FileSystem.h"

#include <windows.h>

namespace rtl {

namespace {

// GetFileAttributesW reports a link's own attributes; opening the path
// follows it, so this is what decides files and folders behind links.
DWORD AttributesFollowingLinks(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return attributes;
    }
    HANDLE handle =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return INVALID_FILE_ATTRIBUTES;
    BY_HANDLE_FILE_INFORMATION info{};
    const BOOL ok = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    return ok ? info.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

size_t LastDelimiter(const std::wstring& fileName) { return fileName.find_last_of(L"\\:"); }

}  // namespace

bool FileExists(const std::wstring& path) {
    const DWORD attributes = AttributesFollowingLinks(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
    const DWORD attributes = AttributesFollowingLinks(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ExtractFilePath(const std::wstring& fileName) {
    const size_t at = LastDelimiter(fileName);
    return at == std::wstring::npos ? std::wstring() : fileName.substr(0, at + 1);
}

std::wstring ExtractFileName(const std::wstring& fileName) {
    const size_t at = LastDelimiter(fileName);
    return at == std::wstring::npos ? fileName : fileName.substr(at + 1);
}

}  // namespace rtl
