#pragma once
// The checks of a path that need nothing but its text: its length, its
// characters, its format and the device names in it. Files.h adds the checks
// that need the system (the full path, whether the folder exists). No
// Windows header here, so that these also build and run natively (fuzz/).

#include <cstddef>
#include <string>

namespace rtl {

// The classic path limit of the system, NUL included (MAX_PATH).
constexpr size_t MaxPathLength = 260;

// What is wrong with a path given to the file operations, checked in this
// order:
//   TooLong            260 characters or more, as given or once made full;
//   InvalidCharacters  a control character (0 to 31) or one of " < > | * ?;
//   BadFormat          empty; a ':' anywhere but right after a leading drive
//                      letter (streams, "1:\"); the device prefix "\\.\"
//                      (the raw "\\?\" has an invalid '?'); a UNC path without server or
//                      share; a name that is a device (CON, PRN, AUX, NUL,
//                      COM1 to COM9, LPT1 to LPT9, with or without extension);
//   FolderNotFound     the folder the path names a file in does not exist.
// Relative paths are resolved against the current folder; "/" counts as "\".
enum class PathProblem { None, TooLong, InvalidCharacters, BadFormat, FolderNotFound };

// The checks above that need only the text, in the same order: TooLong as
// given, InvalidCharacters, BadFormat. None when the text passes them.
PathProblem CheckPathText(const std::wstring& path);

bool HasInvalidCharacters(const std::wstring& path);
// False for the BadFormat cases above.
bool IsSupportedFormat(const std::wstring& path);
// The path with every '/' turned into '\'.
std::wstring WithBackslashes(std::wstring path);

// "The specified path is too long", "Invalid characters in path",
// "The path format is not supported", "The specified path was not found".
std::wstring PathProblemText(PathProblem problem);
// The enumerator's own name ("TooLong"), for test and fuzzer reports.
const char* PathProblemName(PathProblem problem);

}  // namespace rtl
