// The real Pelorin.exe: its temporary workspace and the published folders.

#include <gtest/gtest.h>

#include "platform/rtl/FileSystem.h"
#include "tests/environment/EnvironmentTestSupport.h"
#include "tests/support/PelorinProcess.h"
#include "tests/support/TestSupport.h"

namespace {

using envtest::ReadStored;
using envtest::Stored;
using envtest::WriteStored;
using testsupport::PelorinProcess;
using testsupport::ScratchFolder;

constexpr wchar_t Title[] = L"Kalvora Pelorin";
constexpr DWORD StartTimeoutMs = 30000;

// A copy of Pelorin.exe at folder + "Pelorin.exe" with the given kalvora.cfg.
std::wstring Install(const std::wstring& folder, const std::wstring& config) {
    const std::wstring exe = folder + L"Pelorin.exe";
    testsupport::InstallPelorinAt(exe);
    testsupport::WriteText(folder + L"kalvora.cfg", config);
    return exe;
}

const wchar_t StandAlone[] = L"[Config]\r\nStandAlone=1\r\n";

std::wstring WithoutTrailingBackslash(const std::wstring& folder) {
    return folder.substr(0, folder.size() - 1);
}

// Each test gives the program a temporary path of its own and keeps the
// user's two variables as they were.
class RealProgram : public ::testing::Test {
protected:
    ScratchFolder scratch;
    ScratchFolder temp;
    envtest::TempPathOverride tmp{temp.Path()};
    envtest::SavedUserVariable client{L"KalvoraClient"};
    envtest::SavedUserVariable data{L"KalvoraData"};

    std::wstring Workspace() const { return temp / L"_Kalvora1"; }

    // Closes the window as its close box and Exit do, and waits for the end.
    static DWORD CloseAndWait(const PelorinProcess& program, HWND window) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        DWORD exitCode = 0xFFFF;
        EXPECT_TRUE(program.WaitForExit(StartTimeoutMs, exitCode)) << "the program did not end";
        return exitCode;
    }
};

TEST_F(RealProgram, WorkspaceExistsWhileTheWindowIsOpenAndGoesWhenItCloses) {
    const std::wstring exe = Install(scratch / L"Kalvora\\bin\\", StandAlone);
    PelorinProcess program(exe);
    HWND window = program.WaitForWindow(Title, StartTimeoutMs);
    ASSERT_NE(window, nullptr) << "no main window";
    EXPECT_TRUE(rtl::DirectoryExists(Workspace()));
    EXPECT_EQ(CloseAndWait(program, window), 0u);
    EXPECT_FALSE(testsupport::PathExists(Workspace()));
}

TEST_F(RealProgram, WorkspaceGoesAfterTheLocationGuardRefused) {
    // Stand-alone makes the client folder Kalvora\, so tools\ is the wrong place.
    const std::wstring exe = Install(scratch / L"Kalvora\\tools\\", StandAlone);
    PelorinProcess program(exe);
    HWND box = nullptr;
    for (int i = 0; i < 1200 && !box; ++i) {
        const auto boxes = testsupport::TopLevelWindowsOf(program.Id(), L"#32770");
        if (!boxes.empty())
            box = boxes[0];
        else
            Sleep(25);
    }
    ASSERT_NE(box, nullptr) << "no location box";
    Sleep(100);
    EXPECT_EQ(testsupport::DescribeDialog(box).text,
              L"This tool must be copied to folder \"" + scratch.Path() + L"Kalvora\\bin\".");
    EXPECT_TRUE(rtl::DirectoryExists(Workspace()))
        << "the workspace should exist while the box is up";
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    DWORD exitCode = 0xFFFF;
    ASSERT_TRUE(program.WaitForExit(StartTimeoutMs, exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(testsupport::PathExists(Workspace()));
}

TEST_F(RealProgram, StartUpPublishesTheFoldersAsPlainStrings) {
    const std::wstring clientFolder = scratch / L"Kalvora\\";
    const std::wstring dataFolder = scratch / L"Data\\";
    const std::wstring exe =
        Install(clientFolder + L"bin\\", L"[Config]\r\nClientFolder=" + clientFolder +
                                             L"\r\nDataFolder=" + dataFolder + L"\r\n");
    WriteStored(L"KalvoraClient", Stored{REG_EXPAND_SZ, L"C:\\Old"});
    WriteStored(L"KalvoraData", std::nullopt);
    PelorinProcess program(exe);
    HWND window = program.WaitForWindow(Title, StartTimeoutMs);
    ASSERT_NE(window, nullptr) << "no main window";
    EXPECT_EQ(ReadStored(L"KalvoraClient"),
              (Stored{REG_SZ, WithoutTrailingBackslash(clientFolder)}))
        << envtest::Describe(ReadStored(L"KalvoraClient"));
    EXPECT_EQ(ReadStored(L"KalvoraData"), (Stored{REG_SZ, WithoutTrailingBackslash(dataFolder)}))
        << envtest::Describe(ReadStored(L"KalvoraData"));
    EXPECT_EQ(CloseAndWait(program, window), 0u);
}

TEST_F(RealProgram, StandAloneLeavesTheVariablesUntouched) {
    const std::wstring exe = Install(scratch / L"Kalvora\\bin\\", StandAlone);
    WriteStored(L"KalvoraClient", Stored{REG_EXPAND_SZ, L"C:\\Untouched"});
    WriteStored(L"KalvoraData", std::nullopt);
    PelorinProcess program(exe);
    HWND window = program.WaitForWindow(Title, StartTimeoutMs);
    ASSERT_NE(window, nullptr) << "no main window";
    EXPECT_EQ(ReadStored(L"KalvoraClient"), (Stored{REG_EXPAND_SZ, L"C:\\Untouched"}));
    EXPECT_EQ(ReadStored(L"KalvoraData"), std::nullopt);
    EXPECT_EQ(CloseAndWait(program, window), 0u);
}

TEST_F(RealProgram, RefusedWorkspaceFolderEndsStartUpWithOneBoxAndExitCodeOne) {
    // A temporary path that fits, under which the workspace folder is too long.
    const std::wstring longTemp =
        temp.Path() + std::wstring(245 - temp.Path().size(), L'l') + L"\\";
    envtest::TempPathOverride longTmp(longTemp);
    const std::wstring exe = Install(scratch / L"Kalvora\\bin\\", StandAlone);
    PelorinProcess program(exe);
    testsupport::DialogWatcher programBoxes(program.Id());
    bool sawMainWindow = false;
    DWORD exitCode = 0xFFFF;
    bool ended = false;
    for (int i = 0; i < 1200 && !ended; ++i) {
        for (const std::wstring& caption : program.WindowCaptions())
            sawMainWindow |= caption == Title;
        ended = program.WaitForExit(25, exitCode);
    }
    ASSERT_TRUE(ended) << "the program did not end";
    EXPECT_EQ(exitCode, 1u);
    EXPECT_FALSE(sawMainWindow);
    const auto seen = programBoxes.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, L"Kalvora Pelorin could not start: Cannot create the folder \"" +
                                longTemp + L"_Kalvora1\\\": The specified path is too long");
    EXPECT_FALSE(testsupport::PathExists(longTemp));
}

}  // namespace

// The test programs link with -municode, whose start-up calls wmain; the
// main of GoogleTest's own library is never reached.
int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
