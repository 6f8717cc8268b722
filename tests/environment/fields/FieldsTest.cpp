// Delimited fields and the process-wide default delimiter.

#include <gtest/gtest.h>

#include <string>

#include "environment/toolbookprocs.h"

namespace {

using toolbookprocs::DefaultDelimiter;
using toolbookprocs::ExtractField;

struct FieldCase {
    const wchar_t* text;
    wchar_t delimiter;
    int field;
    const wchar_t* expected;
};

// The default delimiter is ',' in every case below; '\' cases name it.
const FieldCase fieldCases[] = {
    {L"", L',', 1, L""},  // empty text has no fields
    {L"", L' ', 1, L""},
    {L"a,b,", L' ', 1, L"a"},  // space: the default delimiter
    {L"a,b,", L' ', 2, L"b"},
    {L"a,b,", L' ', 3, L""},  // trailing delimiter: one empty field
    {L"a,b,", L' ', 4, L""},  // and nothing after it
    {L",a", L',', 1, L""},
    {L",a", L',', 2, L"a"},
    {L"a,,b", L',', 2, L""},
    {L"a,,b", L',', 3, L"b"},
    {L" a ,b", L',', 1, L" a "},    // nothing is trimmed
    {L"a\tb;c", L';', 1, L"a\tb"},  // control characters are ordinary
    {L"a b", L' ', 1, L"a b"},      // a space never splits
    {L"a b", L' ', 2, L""},
    {L"C:\\Suite\\Data\\db\\db.add", L'\\', 1, L"C:"},
    {L"C:\\Suite\\Data\\db\\db.add", L'\\', 3, L"Data"},
    {L"C:\\Suite\\Data\\db\\db.add", L'\\', 5, L"db.add"},
    {L"C:\\Suite\\Data\\db\\db.add", L'\\', 6, L""},
    {L"\\\\srv\\share\\db\\db.add", L'\\', 1, L""},  // UNC: two empty fields first
    {L"\\\\srv\\share\\db\\db.add", L'\\', 2, L""},
    {L"\\\\srv\\share\\db\\db.add", L'\\', 3, L"srv"},
    {L"\\\\srv\\share\\db\\db.add", L'\\', 6, L"db.add"},
    {L"\\\\srv\\share\\db\\db.add", L'\\', 7, L""},
    {L"\"x,y\",z", L',', 1, L"x,y"},  // quoted: the delimiter does not split
    {L"\"x,y\",z", L',', 2, L"z"},
    {L"\"x,y\",z", L',', 3, L""},
    {L"\"say \"\"hi\"\"\",b", L',', 1, L"say \"hi\""},  // doubled quote stands for one
    {L"\"say \"\"hi\"\"\",b", L',', 2, L"b"},
    {L"\"\",b", L',', 1, L""},  // an empty quoted field
    {L"\"\",b", L',', 2, L"b"},
    {L"\"x\",", L',', 2, L""},     // closing quote, final delimiter
    {L"\"x\"y,z", L',', 1, L"x"},  // after the closing quote, no delimiter:
    {L"\"x\"y,z", L',', 2, L"y"},  // the next field starts right there
    {L"\"x\"y,z", L',', 3, L"z"},
    {L"a\"b,c", L',', 1, L"a\"b"},  // a quote inside a field is ordinary
    {L"a\"b,c", L',', 2, L"c"},
    {L"a,\"b,c\"", L',', 2, L"b,c"},  // quoted field after the first
    {L"\"x,y", L',', 1, L"x,y"},      // unclosed: runs to the end of the text
    {L"\"x,y", L',', 2, L""},         // and is the last field
    {L"\"a\"\"b", L',', 1, L"a\"b"},  // unclosed, with a doubled quote inside
    {L"a,b", L',', 0, L""},           // field numbers below 1 name no field
    {L"a,b", L',', -1, L""},
    {L"a,b", L',', 1000, L""},
};

TEST(ExtractField, CasesTable) {
    DefaultDelimiter = L',';
    for (const FieldCase& c : fieldCases) {
        const std::wstring got = ExtractField(c.field, c.text, c.delimiter);
        EXPECT_EQ(std::wstring(c.expected), got)
            << "field " << c.field << " of [" << testing::PrintToString(std::wstring(c.text))
            << "] with delimiter '" << static_cast<char>(c.delimiter) << "'";
    }
    EXPECT_EQ(L',', DefaultDelimiter) << "ExtractField must not change the default delimiter";
}

TEST(ExtractField, SpaceReadsTheDefaultDelimiterAtTheCall) {
    const std::wstring unc = L"\\\\srv\\share\\db\\db.add";
    DefaultDelimiter = L',';
    EXPECT_EQ(unc, ExtractField(1, unc, L' '));
    toolbookprocs::SetDefaultDelimiter(L'\\');
    EXPECT_EQ(L"srv", ExtractField(3, unc, L' '));
    EXPECT_EQ(L"x y", ExtractField(1, L"x y", L' ')) << "a space argument never splits at spaces";
    DefaultDelimiter = L',';
}

TEST(DefaultDelimiter, OneSavedLevelNotAStack) {
    DefaultDelimiter = L',';
    toolbookprocs::SetDefaultDelimiter(L'\\');
    EXPECT_EQ(L'\\', DefaultDelimiter);
    EXPECT_EQ(L',', toolbookprocs::SavedDefaultDelimiter);
    toolbookprocs::SetDefaultDelimiter(L'.');
    EXPECT_EQ(L'.', DefaultDelimiter);
    EXPECT_EQ(L'\\', toolbookprocs::SavedDefaultDelimiter);
    toolbookprocs::RestoreDefaultDelimiter();
    EXPECT_EQ(L'\\', DefaultDelimiter) << "restore gives the one saved level";
    toolbookprocs::RestoreDefaultDelimiter();
    EXPECT_EQ(L'\\', DefaultDelimiter) << "the ',' from before the first save is lost";
    EXPECT_EQ(L'\\', toolbookprocs::SavedDefaultDelimiter) << "restore leaves the saved copy";
    DefaultDelimiter = L',';
}

}  // namespace
