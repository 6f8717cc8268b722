// The location guard and the error box.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Pelorin.h"
#include "app/mini.dialogs.h"
#include "environment/toolbookprocs.h"
#include "tests/support/TestSupport.h"

namespace {

struct LocationCase {
    const char* name;
    std::wstring programPath;
    bool accepted;
};

TEST(LocationGuard, ComparesTheExactPathIgnoringCaseOfAToZOnly) {
    toolbookprocs::ClientFolder = L"C:\\Suite\\Kalvora\u00c4\\";
    const std::vector<LocationCase> cases = {
        {"the bin folder", L"C:\\Suite\\Kalvora\u00c4\\bin\\Pelorin.exe", true},
        {"another case of a to z", L"c:\\SUITE\\kalvORA\u00c4\\BIN\\pelorin.EXE", true},
        {"a renamed program", L"C:\\Suite\\Kalvora\u00c4\\bin\\Check.exe", true},
        {"case differs in a letter outside a to z", L"C:\\Suite\\Kalvora\u00e4\\bin\\Pelorin.exe",
         false},
        {"the client folder itself", L"C:\\Suite\\Kalvora\u00c4\\Pelorin.exe", false},
        {"a parent-folder step", L"C:\\Suite\\Kalvora\u00c4\\x\\..\\bin\\Pelorin.exe", false},
        {"a short name", L"C:\\Suite\\KALVOR~1\\bin\\Pelorin.exe", false},
        {"a network form of the path", L"\\\\srv\\c$\\Suite\\Kalvora\u00c4\\bin\\Pelorin.exe",
         false},
        {"a sub-folder of bin", L"C:\\Suite\\Kalvora\u00c4\\bin\\old\\Pelorin.exe", false},
    };
    for (const LocationCase& c : cases) {
        EXPECT_EQ(IsInClientBinFolderFor(c.programPath), c.accepted) << c.name;
    }
    toolbookprocs::ClientFolder.clear();
}

TEST(LocationGuard, MessageNamesTheBinFolder) {
    toolbookprocs::ClientFolder = L"C:\\Program Files\\Kalvora\\";
    EXPECT_EQ(LocationMessage(),
              L"This tool must be copied to folder \"C:\\Program Files\\Kalvora\\bin\".");
    toolbookprocs::ClientFolder.clear();
}

TEST(ErrorBox, ShowsMessageErrorIconOneOkButtonAndHelpContext) {
    testsupport::DialogWatcher watcher;
    ShowErrorBox(L"Something went wrong", 11);
    ASSERT_TRUE(watcher.WaitFor(1, 5000));
    const auto seen = watcher.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"Error");
    EXPECT_EQ(seen[0].text, L"Something went wrong");
    EXPECT_TRUE(seen[0].hasIcon);
    ASSERT_EQ(seen[0].buttons.size(), 1u);
    EXPECT_EQ(seen[0].buttons[0], L"OK");
    EXPECT_EQ(seen[0].helpContext, 11u);
}

}  // namespace
