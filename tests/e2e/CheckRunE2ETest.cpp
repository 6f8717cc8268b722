// The real Pelorin.exe: Start pressed from outside, the log read back from
// the window and from the clipboard.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/rtl/SysUtils.h"
#include "tests/support/PelorinProcess.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ace32/StandIn.h"

using namespace testsupport;

namespace {

constexpr DWORD TimeoutMs = 30000;

// A stand-alone installation whose data folder is the installation folder.
class CheckRunE2E : public ::testing::Test {
protected:
    void SetUp() override {
        MakeFolders(Install() + L"DB");
        WriteText(Install() + L"db\\db.add", L"dictionary");
        InstallPelorinAt(Install() + L"bin\\Pelorin.exe");
        WriteText(Install() + L"bin\\kalvora.cfg", L"[Config]\r\nStandAlone=1\r\n");
    }
    std::wstring Install() const { return scratch_ / L"Kalvora\\"; }

    // Starts the program, presses Start, waits for the run to end and
    // returns the log text shown in the window, each line followed by
    // CR LF as the program copies it (the window shows no final line break).
    std::wstring RunChecks(PelorinProcess& program) {
        window_ = program.WaitForWindow(L"Kalvora Pelorin", TimeoutMs);
        EXPECT_NE(window_, nullptr);
        if (!window_) return {};
        start_ = FindChild(window_, L"Button", L"Start");
        exit_ = FindChild(window_, L"Button", L"Exit");
        memo_ = FindChild(window_, L"Edit", L"");
        EXPECT_TRUE(start_ && exit_ && memo_);
        if (!start_ || !exit_ || !memo_) return {};
        EXPECT_TRUE(IsWindowEnabled(start_));
        ClearClipboard();
        PressButton(start_);
        EXPECT_TRUE(WaitForRunToFinish(start_, exit_, memo_, TimeoutMs));
        DWORD code = 0;
        EXPECT_FALSE(program.WaitForExit(0, code))
            << "the program ended during the run with code " << std::hex << code;
        return ControlText(memo_) + L"\r\n";
    }
    void ExitAndExpectZero(PelorinProcess& program) {
        PressButton(exit_);
        DWORD code = 1234;
        ASSERT_TRUE(program.WaitForExit(TimeoutMs, code));
        EXPECT_EQ(code, 0u);
    }

    ScratchFolder scratch_;
    HWND window_ = nullptr, start_ = nullptr, exit_ = nullptr, memo_ = nullptr;
};

TEST_F(CheckRunE2E, StartRunsEveryCheckOnceAndPutsTheLogOnTheClipboard) {
    StandInWorld world;
    world.Answer(Install() + L"db\\db.add", L"remote");
    InstallStandIn(Install() + L"bin\\", world);
    PelorinProcess program(Install() + L"bin\\Pelorin.exe");
    DialogWatcher watcher(program.Id());
    const std::wstring log = RunChecks(program);
    const std::wstring opening = L"Data folder: " + Install() + L"\r\nClient folder: " + Install() +
                                 L"\r\nClick \"Start\" to perform check.\r\n";
    EXPECT_EQ(log.substr(0, opening.size()), opening);
    EXPECT_NE(log.find(L"\r\n7c. deleting records\r\n OK: record deleted\r\n"), std::wstring::npos)
        << rtl::WideToUtf8(log);
    const std::wstring finish = L"=== FINISH ===\r\n(log already copied to clipboard)\r\n";
    ASSERT_GE(log.size(), finish.size());
    EXPECT_EQ(log.substr(log.size() - finish.size()), finish);
    EXPECT_EQ(ClipboardText(), log);
    EXPECT_FALSE(IsWindowEnabled(start_)) << "a second run must be impossible";
    EXPECT_TRUE(IsWindowEnabled(exit_));
    EXPECT_EQ(GetFileAttributesW((Install() + L"testfile.dat").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW((Install() + L"DB\\testfile.dat").c_str()),
              INVALID_FILE_ATTRIBUTES);
    ExitAndExpectZero(program);
    EXPECT_TRUE(watcher.Seen().empty()) << "an error box appeared";
}

TEST_F(CheckRunE2E, WithoutTheClientLibraryTheRunEndsWithClearLines) {
    PelorinProcess program(Install() + L"bin\\Pelorin.exe");
    const std::wstring log = RunChecks(program);
    const std::wstring missing =
        L" ERROR: couldn't connect, error message: The database client library ace32.dll could not "
        L"be loaded";
    size_t count = 0;
    for (size_t at = log.find(missing); at != std::wstring::npos; at = log.find(missing, at + 1))
        ++count;
    EXPECT_EQ(count, 3u) << rtl::WideToUtf8(log);
    EXPECT_NE(log.find(L"6b. checking alternative local connection"), std::wstring::npos);
    EXPECT_EQ(log.find(L"7. checking"), std::wstring::npos);
    ExitAndExpectZero(program);
}

}  // namespace
