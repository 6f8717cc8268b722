// The real Pelorin.exe, started from an installation made by the test.

#include <gtest/gtest.h>

#include <string>

#include "tests/support/PelorinProcess.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;

namespace {

constexpr DWORD StartTimeoutMs = 20000;

// A stand-alone installation: kalvora.cfg makes the folder above the
// program's folder the client folder, so no registry setting is needed.
std::wstring InstallStandAlone(const std::wstring& programFolder) {
    InstallPelorinAt(programFolder + L"Pelorin.exe");
    WriteText(programFolder + L"kalvora.cfg", L"[Config]\r\nStandAlone=1\r\n");
    return programFolder + L"Pelorin.exe";
}

TEST(Startup, OutsideTheBinFolderShowsTheLocationMessageAndEndsWithZero) {
    ScratchFolder scratch;
    const std::wstring exe = InstallStandAlone(scratch / L"Kalvora\\tools\\");
    PelorinProcess program(exe);
    DialogWatcher watcher(program.Id());
    bool mainWindowSeen = false;
    DWORD exitCode = 1234;
    const DWORD start = GetTickCount();
    while (!program.WaitForExit(50, exitCode) && GetTickCount() - start < StartTimeoutMs) {
        mainWindowSeen = mainWindowSeen || program.WaitForWindow(L"Kalvora Pelorin", 0) != nullptr;
    }
    ASSERT_EQ(exitCode, 0u) << "the program did not end with 0 after OK was pressed";
    EXPECT_FALSE(mainWindowSeen);
    const auto seen = watcher.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, L"Error");
    EXPECT_EQ(seen[0].text,
              L"This tool must be copied to folder \"" + scratch.Path() + L"Kalvora\\bin\".");
    EXPECT_EQ(seen[0].helpContext, 0u);
    EXPECT_TRUE(seen[0].hasIcon);
}

TEST(Startup, FromTheBinFolderOpensTheMainWindowUntilItIsClosed) {
    ScratchFolder scratch;
    const std::wstring exe = InstallStandAlone(scratch / L"Kalvora\\bin\\");
    PelorinProcess program(exe);
    DialogWatcher watcher(program.Id());
    const HWND window = program.WaitForWindow(L"Kalvora Pelorin", StartTimeoutMs);
    ASSERT_NE(window, nullptr) << "no main window appeared";
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_GT(client.right, 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 1234;
    ASSERT_TRUE(program.WaitForExit(StartTimeoutMs, exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(watcher.Seen().empty()) << "an error box appeared";
}

}  // namespace
