#pragma once
// File and folder tests of the run-time layer.

#include <string>

namespace rtl {

// True only for a file (not a folder) at that path; links are followed.
bool FileExists(const std::wstring& path);
// True only for a folder at that path; links are followed.
bool DirectoryExists(const std::wstring& path);

// Everything up to and including the last '\' or ':' ("C:\a\b.exe" gives
// "C:\a\"); empty when there is neither.
std::wstring ExtractFilePath(const std::wstring& fileName);
// Everything after the last '\' or ':'.
std::wstring ExtractFileName(const std::wstring& fileName);

}  // namespace rtl
