#pragma once
// The installation environment: where the client files and the shared data
// live, and the small text helpers the rest of the program uses (declared in
// toolbookprocs_text.h).

#include <string>

#include "environment/toolbookprocs_text.h"
#include "platform/rtl/DateUtils.h"

namespace toolbookprocs {

// ---- Installation folders ------------------------------------------------

// Resolved once by InitFolders; both folders end in '\' afterwards.
extern std::wstring ClientFolder;
extern std::wstring DataFolder;
extern bool StandAloneMode;

// One text setting under Software\<OEMROOTKEY>\<subKey> of the user's or the
// machine's hive, with a second attempt relative to that key (or to the
// hive's root when it does not exist). Values that are not text count as
// missing. An empty result gives the fallback.
std::wstring ReadUserSetting(const std::wstring& subKey, const std::wstring& valueName,
                             const std::wstring& fallback);
std::wstring ReadMachineSetting(const std::wstring& subKey, const std::wstring& valueName,
                                const std::wstring& fallback);

// One value of an INI file, at most 399 characters; empty gives the fallback.
std::wstring ReadConfigValue(const std::wstring& section, const std::wstring& key,
                             const std::wstring& fileName, const std::wstring& fallback = L"");

// Resolves the folders for the running program.
void InitFolders();
// The same for a program file at programPath (its folder holds kalvora.cfg).
void InitFoldersFor(const std::wstring& programPath);

// ---- Message pumping -----------------------------------------------------

// When window messages were last processed by PumpMessagesThrottled; set to
// the moment of the module's start-up.
extern rtl::TDateTime LastPumpTime;

// Processes every pending window message of this thread, unless that was
// done less than intervalMs ago by the local clock (exactly the interval is
// not enough). LastPumpTime is the clock read after the messages ran.
void PumpMessagesThrottled(int intervalMs);

// ---- Environment publishing and the temporary workspace -------------------

// This run's own folder under the system's temporary path, "_Kalvora<n>\";
// empty when the temporary path could not be had (the run then has none).
extern std::wstring TempFolder;

// The system's temporary path as it gives it (ending in '\'); empty when the
// query fails or the path does not fit its 260 characters.
std::wstring SystemTempPath();
// Sets TempFolder (without its '\') to the first SystemTempPath + "_Kalvora"
// + n, n = 1, 2, ..., for which no folder exists; a file of that name does
// not count. Empty when the temporary path cannot be had.
void ChooseTempFolder();
// Creates the folder with any missing parents; true when it is still missing
// afterwards. Paths that folder creation refuses raise rtl::EInOutError.
bool EnsureFolder(const std::wstring& folder);

// Writes ClientFolder and DataFolder, each without one trailing '\', to the
// user variables KalvoraClient and KalvoraData where the stored values
// differ, and then tells every top-level window once that the environment
// changed. Raises rtl::EOSError when the Environment key cannot be written.
void PublishFolderVariables();
// The user variable stored under HKEY_CURRENT_USER\Environment, expanded
// against this program's environment; empty when there is none, and empty as
// well when the expansion needs more than 254 characters.
std::wstring ReadUserVariable(const std::wstring& name);
// Stores the value as REG_SZ under the existing HKEY_CURRENT_USER\Environment.
// Raises rtl::EOSError, naming the key or value, when that fails.
void WriteUserVariable(const std::wstring& name, const std::wstring& value);

// Removes everything in the folder, subfolders included, and unless keepRoot
// the folder itself. Paths under 5 characters are refused with an error box.
// Links (reparse points, or entries that open somewhere else) are removed as
// links where the system can do that without touching what they point to,
// and left in place otherwise; they are never followed. A deletion error of
// KillFile leaves at once.
void RemoveFolderTree(const std::wstring& path, bool keepRoot);
// Deletes the file, clearing its read-only attribute first; retries back to
// back while it is still there, pumping messages at most every 500 ms, and
// gives up with the error box (help context 11) after 4 whole seconds of the
// local clock in either direction. The deletion errors of rtl::FileDelete
// pass through.
void KillFile(const std::wstring& path);

// The exit step: removes the workspace when it exists. A deletion error is
// shown once in the error box and the rest is left in place.
void RemoveWorkspace();

// ---- Seams for tests ------------------------------------------------------
// Windows cannot be made to move its clock or to keep a deleted file on
// purpose; tests swap these and put them back.

// The local clock of KillFile and PumpMessagesThrottled; rtl::Now normally.
extern rtl::TDateTime (*LocalClock)();
// The deletion KillFile retries; rtl::FileDelete normally.
extern void (*DeleteFileOperation)(const std::wstring& path);

// ---- Module start-up and shutdown ------------------------------------------

// In this order: LastPumpTime, the default delimiter, the format settings,
// InitFolders, the hand cursor.
void Initialize();
void Finalize();

}  // namespace toolbookprocs
