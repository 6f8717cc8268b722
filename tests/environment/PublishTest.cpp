// Publishing the folders as user environment variables, against the real
// HKEY_CURRENT_USER\Environment of the Wine prefix. Each test saves the two
// values and puts them back.

#include <gtest/gtest.h>

#include "environment/toolbookprocs.h"
#include "platform/rtl/SysUtils.h"
#include "tests/environment/EnvironmentTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace toolbookprocs;

using envtest::Describe;
using envtest::ReadStored;
using envtest::Stored;
using envtest::WriteStored;

// Saves KalvoraClient and KalvoraData of the real user hive and restores them.
class RealEnvironment : public ::testing::Test {
protected:
    ~RealEnvironment() override {
        ClientFolder.clear();
        DataFolder.clear();
        StandAloneMode = false;
        TempFolder.clear();
    }

private:
    envtest::SavedUserVariable client_{L"KalvoraClient"};
    envtest::SavedUserVariable data_{L"KalvoraData"};
};

std::optional<Stored> Sz(const std::wstring& text) { return Stored{REG_SZ, text}; }
std::optional<Stored> ExpandSz(const std::wstring& text) { return Stored{REG_EXPAND_SZ, text}; }
const std::optional<Stored> None = std::nullopt;
const std::optional<Stored> Number = Stored{REG_DWORD, std::wstring(L"\x0007\x0000", 2)};

TEST_F(RealEnvironment, PublishingTable) {
    SetEnvironmentVariableW(L"PELORIN_TEST_ROOT", L"C:\\Suite");
    const std::wstring longFolder = L"C:\\" + std::wstring(260, L'x');
    struct Case {
        const char* what;
        std::optional<Stored> client, data;
        std::wstring clientFolder, dataFolder;
        std::optional<Stored> expectedClient, expectedData;
        int broadcasts;
    } cases[] = {
        {"both equal", ExpandSz(L"C:\\Suite"), ExpandSz(L"\\\\srv\\Kalvora$"), L"C:\\Suite\\",
         L"\\\\srv\\Kalvora$\\", ExpandSz(L"C:\\Suite"), ExpandSz(L"\\\\srv\\Kalvora$"), 0},
        {"a reference that expands to the folder", ExpandSz(L"%PELORIN_TEST_ROOT%\\Client"),
         Sz(L"D:\\Data"), L"C:\\Suite\\Client\\", L"D:\\Data\\",
         ExpandSz(L"%PELORIN_TEST_ROOT%\\Client"), Sz(L"D:\\Data"), 0},
        {"letter case differs", Sz(L"c:\\suite"), Sz(L"D:\\Data"), L"C:\\Suite\\", L"D:\\Data\\",
         Sz(L"C:\\Suite"), Sz(L"D:\\Data"), 1},
        {"C:\\ is written as C:", None, Sz(L"D:\\Data"), L"C:\\", L"D:\\Data\\", Sz(L"C:"),
         Sz(L"D:\\Data"), 1},
        {"neither stored", None, None, L"C:\\Suite\\", L"D:\\Data\\", Sz(L"C:\\Suite"),
         Sz(L"D:\\Data"), 1},
        {"REG_EXPAND_SZ replaced by REG_SZ", ExpandSz(L"C:\\Old"), ExpandSz(L"D:\\Old"),
         L"C:\\Suite\\", L"D:\\Data\\", Sz(L"C:\\Suite"), Sz(L"D:\\Data"), 1},
        {"only data differs", Sz(L"C:\\Suite"), Sz(L"D:\\Old"), L"C:\\Suite\\", L"D:\\Data\\",
         Sz(L"C:\\Suite"), Sz(L"D:\\Data"), 1},
        {"an expansion that does not fit counts as different", ExpandSz(longFolder),
         Sz(L"D:\\Data"), longFolder + L"\\", L"D:\\Data\\", Sz(longFolder), Sz(L"D:\\Data"), 1},
        {"a stored number counts as missing", Number, Sz(L"D:\\Data"), L"C:\\Suite\\",
         L"D:\\Data\\", Sz(L"C:\\Suite"), Sz(L"D:\\Data"), 1},
    };
    for (const Case& c : cases) {
        WriteStored(L"KalvoraClient", c.client);
        WriteStored(L"KalvoraData", c.data);
        ClientFolder = c.clientFolder;
        DataFolder = c.dataFolder;
        envtest::MessageCounter counter;
        PublishFolderVariables();
        const auto client = ReadStored(L"KalvoraClient");
        const auto data = ReadStored(L"KalvoraData");
        EXPECT_EQ(client, c.expectedClient)
            << c.what << ": client expected " << Describe(c.expectedClient) << ", got "
            << Describe(client);
        EXPECT_EQ(data, c.expectedData) << c.what << ": data expected " << Describe(c.expectedData)
                                        << ", got " << Describe(data);
        EXPECT_EQ(counter.environmentChanges, c.broadcasts) << c.what;
    }
    SetEnvironmentVariableW(L"PELORIN_TEST_ROOT", nullptr);
}

TEST_F(RealEnvironment, ReadUserVariableExpandsAndGivesEmptyForNone) {
    SetEnvironmentVariableW(L"PELORIN_TEST_ROOT", L"C:\\Suite");
    WriteStored(L"KalvoraClient", ExpandSz(L"%PELORIN_TEST_ROOT%\\bin"));
    WriteStored(L"KalvoraData", None);
    EXPECT_EQ(ReadUserVariable(L"KalvoraClient"), L"C:\\Suite\\bin");
    EXPECT_EQ(ReadUserVariable(L"KalvoraData"), L"");
    // 254 characters fit the expansion, 255 do not.
    WriteStored(L"KalvoraClient", Sz(std::wstring(254, L'a')));
    EXPECT_EQ(ReadUserVariable(L"KalvoraClient"), std::wstring(254, L'a'));
    WriteStored(L"KalvoraClient", Sz(std::wstring(255, L'a')));
    EXPECT_EQ(ReadUserVariable(L"KalvoraClient"), L"");
    SetEnvironmentVariableW(L"PELORIN_TEST_ROOT", nullptr);
}

TEST_F(RealEnvironment, StandAloneReadsWritesAndBroadcastsNothing) {
    testsupport::ScratchFolder scratch;
    testsupport::ScratchFolder temp;
    envtest::TempPathOverride tmp(temp.Path());
    testsupport::MakeFolders(scratch / L"Kalvora\\bin");
    testsupport::WriteText(scratch / L"Kalvora\\bin\\kalvora.cfg", L"[Config]\r\nStandAlone=1\r\n");
    WriteStored(L"KalvoraClient", ExpandSz(L"C:\\Untouched"));
    WriteStored(L"KalvoraData", None);
    envtest::MessageCounter counter;
    InitFoldersFor(scratch / L"Kalvora\\bin\\Pelorin.exe");
    EXPECT_TRUE(StandAloneMode);
    EXPECT_EQ(ReadStored(L"KalvoraClient"), ExpandSz(L"C:\\Untouched"));
    EXPECT_EQ(ReadStored(L"KalvoraData"), None);
    EXPECT_EQ(counter.environmentChanges, 0);
    // The workspace is still made.
    EXPECT_EQ(TempFolder, temp / L"_Kalvora1\\");
    EXPECT_TRUE(testsupport::PathExists(TempFolder));
    Finalize();
    EXPECT_FALSE(testsupport::PathExists(temp / L"_Kalvora1"));
}

}  // namespace

// The test programs link with -municode, whose start-up calls wmain; the
// main of GoogleTest's own library is never reached.
int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
