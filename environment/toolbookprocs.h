#pragma once
// The installation environment: where the client files and the shared data
// live, and the small text helpers the rest of the program uses.

#include <string>

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

// The text with a '\' appended unless it already ends in one.
std::wstring AddTrailingDelimiter(const std::wstring& text);
// a..z to A..Z; every other character stays as it is.
std::wstring UpperCaseText(const std::wstring& text);

// Resolves the folders for the running program.
void InitFolders();
// The same for a program file at programPath (its folder holds kalvora.cfg).
void InitFoldersFor(const std::wstring& programPath);

// ---- Delimited fields ------------------------------------------------------

// The delimiter that ExtractField uses when it is given a space; ',' from the
// module's start-up on.
extern wchar_t DefaultDelimiter;
// The one saved copy that SetDefaultDelimiter fills; code 0 until then.
extern wchar_t SavedDefaultDelimiter;

// Saves DefaultDelimiter (one level, not a stack), then sets it.
void SetDefaultDelimiter(wchar_t delimiter);
// Sets DefaultDelimiter back to the saved copy, which stays as it is.
void RestoreDefaultDelimiter();

// Field fieldNumber (from 1) of text, split strictly at delimiter: nothing is
// trimmed, empty text has no fields, a final delimiter ends with one more
// empty field. A field that starts with '"' runs to the closing quote, with
// "" inside standing for one quote; without a closing quote it runs to the
// end of the text. A space as delimiter means DefaultDelimiter as it is at
// the call. Empty text when there is no such field (or fieldNumber < 1).
std::wstring ExtractField(int fieldNumber, const std::wstring& text, wchar_t delimiter);

// ---- Message pumping -----------------------------------------------------

// When window messages were last processed by PumpMessagesThrottled; set to
// the moment of the module's start-up.
extern rtl::TDateTime LastPumpTime;

// ---- Module start-up and shutdown ------------------------------------------

// In this order: LastPumpTime, the default delimiter, the format settings,
// InitFolders, the hand cursor.
void Initialize();
void Finalize();

}  // namespace toolbookprocs
