#pragma once
// The text helpers of the installation environment. They need nothing of the
// system and include no Windows header, so that they also build and run
// natively (fuzz/). toolbookprocs.h includes this header.

#include <string>

namespace toolbookprocs {

// The text with a '\' appended unless it already ends in one.
std::wstring AddTrailingDelimiter(const std::wstring& text);
// a..z to A..Z; every other character stays as it is.
std::wstring UpperCaseText(const std::wstring& text);

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

}  // namespace toolbookprocs
