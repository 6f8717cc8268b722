#pragma once
// File and folder operations of the run-time layer: whole-file text writing,
// file deletion, folder creation with missing parents and folder
// enumeration, with the path validation they share. The tests of existence
// live in FileSystem.h.

#include <windows.h>

#include <string>

#include "platform/rtl/FileSystem.h"
#include "platform/rtl/PathRules.h"

namespace rtl {

// ---- Path validation -------------------------------------------------------
// PathProblem and the checks that need only the text are in PathRules.h.

// The text checks of CheckPathText, then the full path's length and
// whether its folder exists.
PathProblem CheckFilePath(const std::wstring& path);
// Raises EInOutError with that text unless the path is sound.
void ValidateFilePath(const std::wstring& path);

// ---- Files -----------------------------------------------------------------

// Creates or replaces the file with the text as UTF-8 without byte-order
// mark. Raises EInOutError with the path's problem or the system's text.
void WriteAllText(const std::wstring& path, const std::wstring& text);

// Deletes the file. An invalid path raises its problem; the refusals "file
// not found", "access denied" and "in use" (codes 2, 5, 32) raise EInOutError
// whose message is the system's text for the code. Any other refusal is
// returned as its code; 0 means the system accepted the deletion.
DWORD FileDeleteRefusal(const std::wstring& path);
// The same, quiet about the other refusals: a file that refuses to go for
// such a reason is left to the caller's retry.
void FileDelete(const std::wstring& path);
// The same, raising for every refusal, for callers that must not report a
// refused deletion as done.
void FileDeleteStrict(const std::wstring& path);

// ---- Folders ---------------------------------------------------------------

// Longest folder path, trailing '\' not counted, that ForceDirectories takes.
constexpr size_t MaxFolderPathLength = 248;

// Creates the folder and every missing parent. Raises EInOutError, naming
// the folder, for a path longer than MaxFolderPathLength, one with invalid
// characters or a bad format, and one on a drive that does not exist.
// Returns false when the folder could not be made for another reason (a file
// in the way, no access).
bool ForceDirectories(const std::wstring& path);

// The entries of a folder that match a pattern ("C:\dir\*"), as the classic
// FindFirst with an attribute mask gives them: an entry is left out when it
// has the hidden (2), system (4), volume (8) or folder (16) attribute and the
// mask lacks it. "." and ".." are reported like any other entry.
class FolderEntries {
public:
    FolderEntries(const std::wstring& pattern, DWORD attributeMask);
    ~FolderEntries();
    FolderEntries(const FolderEntries&) = delete;
    FolderEntries& operator=(const FolderEntries&) = delete;

    // Moves to the next matching entry; false when there is none.
    bool Next();
    std::wstring Name() const { return data_.cFileName; }
    DWORD Attributes() const { return data_.dwFileAttributes; }

private:
    bool Matches() const;
    HANDLE find_ = INVALID_HANDLE_VALUE;
    bool first_ = true;
    DWORD mask_;
    WIN32_FIND_DATAW data_{};
};

}  // namespace rtl
