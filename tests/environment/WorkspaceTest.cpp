// The temporary workspace, its careful removal, KillFile and the throttled
// message pump, on real folders and windows under Wine.

#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <vector>

#include "environment/toolbookprocs.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "tests/environment/EnvironmentTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using envtest::MakeUnixSymlink;
using envtest::MessageCounter;
using envtest::SeamsRestored;
using envtest::TempPathOverride;
using testsupport::DialogWatcher;
using testsupport::PathExists;
using testsupport::ScratchFolder;
using namespace toolbookprocs;

std::string Narrow(const std::wstring& text) { return rtl::WideToUtf8(text); }

// A program folder whose kalvora.cfg selects stand-alone mode, so that the
// start-up steps publish nothing.
std::wstring StandAloneProgramIn(const ScratchFolder& scratch) {
    testsupport::MakeFolders(scratch / L"Kalvora\\bin");
    testsupport::WriteText(scratch / L"Kalvora\\bin\\kalvora.cfg", L"[Config]\r\nStandAlone=1\r\n");
    return scratch / L"Kalvora\\bin\\Pelorin.exe";
}

// ---- Choosing and creating the workspace -----------------------------------

class Workspace : public ::testing::Test {
protected:
    ~Workspace() override { TempFolder.clear(); }
    ScratchFolder scratch;
    ScratchFolder temp;
    testsupport::RegistrySandbox registry;
    SeamsRestored seams;
};

TEST_F(Workspace, TakenFoldersAreSkippedAndTheWorkspaceGoesAtExit) {
    testsupport::MakeFolders(temp / L"_Kalvora1");
    testsupport::MakeFolders(temp / L"_Kalvora2");
    testsupport::WriteText(temp / L"_Kalvora2\\keep.txt", L"x");
    TempPathOverride tmp(temp.Path());
    DialogWatcher boxes;
    InitFoldersFor(StandAloneProgramIn(scratch));
    EXPECT_EQ(TempFolder, temp / L"_Kalvora3\\");
    EXPECT_TRUE(rtl::DirectoryExists(temp / L"_Kalvora3"));
    Finalize();
    EXPECT_FALSE(PathExists(temp / L"_Kalvora3"));
    EXPECT_TRUE(PathExists(temp / L"_Kalvora2\\keep.txt"));
    EXPECT_TRUE(PathExists(temp / L"_Kalvora1"));
    EXPECT_EQ(boxes.Seen().size(), 0u);
}

TEST_F(Workspace, FileOfTheNameLeavesItFreeAndNothingIsReportedOrRemoved) {
    testsupport::WriteText(temp / L"_Kalvora1", L"in the way");
    TempPathOverride tmp(temp.Path());
    DialogWatcher boxes;
    InitFoldersFor(StandAloneProgramIn(scratch));
    EXPECT_EQ(TempFolder, temp / L"_Kalvora1\\");
    EXPECT_TRUE(EnsureFolder(TempFolder)) << "the folder should still be missing";
    Finalize();
    EXPECT_TRUE(rtl::FileExists(temp / L"_Kalvora1"));
    EXPECT_EQ(testsupport::ReadBytes(temp / L"_Kalvora1"), "in the way");
    EXPECT_EQ(boxes.Seen().size(), 0u);
}

TEST_F(Workspace, FailedTempPathQueryMeansNoWorkspace) {
    // GetTempPathW fails when the path does not fit its 260 characters.
    const std::wstring tooLong = temp / std::wstring(280, L't');
    TempPathOverride tmp(tooLong);
    ASSERT_EQ(SystemTempPath(), L"");
    DialogWatcher boxes;
    InitFoldersFor(StandAloneProgramIn(scratch));
    EXPECT_EQ(TempFolder, L"");
    Finalize();
    EXPECT_EQ(boxes.Seen().size(), 0u);
}

TEST_F(Workspace, FolderCreationRefusedLeavesStartUpNamingTheFolder) {
    // Short enough for the temporary path, too long for a folder with
    // "_Kalvora1" after it.
    const std::wstring longTemp =
        temp.Path() + std::wstring(245 - temp.Path().size(), L'l') + L"\\";
    TempPathOverride tmp(longTemp);
    ASSERT_EQ(SystemTempPath(), longTemp);
    try {
        InitFoldersFor(StandAloneProgramIn(scratch));
        ADD_FAILURE() << "start-up went on";
    } catch (const rtl::EInOutError& error) {
        EXPECT_EQ(error.Message(), L"Cannot create the folder \"" + longTemp +
                                       L"_Kalvora1\\\": The specified path is too long");
    }
    EXPECT_FALSE(PathExists(longTemp));
}

TEST_F(Workspace, EnvironmentKeyThatCannotBeWrittenLeavesStartUp) {
    // Without the Environment key in the user's hive: writing does not
    // create it.
    ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L"Environment"), ERROR_SUCCESS);
    TempPathOverride tmp(temp.Path());
    testsupport::MakeFolders(scratch / L"bin");
    try {
        InitFoldersFor(scratch / L"bin\\Pelorin.exe");
        ADD_FAILURE() << "start-up went on";
    } catch (const rtl::Exception& error) {
        const std::wstring expected =
            L"Cannot open the registry key HKEY_CURRENT_USER\\Environment for writing: ";
        EXPECT_EQ(error.Message().substr(0, expected.size()), expected) << Narrow(error.Message());
    }
    // Publishing comes before the workspace is made.
    EXPECT_FALSE(PathExists(temp / L"_Kalvora1"));
}

// ---- RemoveFolderTree --------------------------------------------------------

// Runs with the scratch folder as the current folder, so that short relative
// paths stay inside it.
class Removal : public ::testing::Test {
protected:
    ScratchFolder scratch;
    testsupport::CurrentFolder inScratch{scratch.Path()};
    SeamsRestored seams;
};

TEST_F(Removal, PathsUnderFiveCharactersAreRefusedWithTheMessage) {
    testsupport::MakeFolders(scratch / L"abcd");
    testsupport::WriteText(scratch / L"abcd\\f.txt", L"x");
    testsupport::MakeFolders(scratch / L"abcde");
    testsupport::WriteText(scratch / L"abcde\\f.txt", L"x");
    struct Case {
        std::wstring path;
        bool refused;
    } cases[] = {{L"", true}, {L"abcd", true}, {L"abcde", false}};
    for (const Case& c : cases) {
        DialogWatcher boxes;
        RemoveFolderTree(c.path, false);
        const auto seen = boxes.Seen();
        if (c.refused) {
            ASSERT_EQ(seen.size(), 1u) << "path \"" << Narrow(c.path) << "\"";
            EXPECT_EQ(seen[0].text, L"Directory removal aborted. Path \"" + c.path +
                                        L"\" doesn't match the 5 characters minimum limit.");
            EXPECT_EQ(seen[0].helpContext, 0u);
        } else {
            EXPECT_EQ(seen.size(), 0u) << "path \"" << Narrow(c.path) << "\"";
        }
    }
    EXPECT_TRUE(PathExists(scratch / L"abcd\\f.txt"));
    EXPECT_FALSE(PathExists(scratch / L"abcde"));
}

void MakeNestedTree(const std::wstring& root) {
    testsupport::MakeFolders(root + L"a\\b\\c");
    testsupport::MakeFolders(root + L"empty");
    testsupport::WriteText(root + L"top.txt", L"x");
    testsupport::WriteText(root + L"a\\one.txt", L"x");
    testsupport::WriteText(root + L"a\\b\\c\\deep.txt", L"x");
}

TEST_F(Removal, KeepRootKeepsOnlyTheRootAndOtherwiseAllGoes) {
    const std::wstring root = scratch / L"ws\\";
    MakeNestedTree(root);
    RemoveFolderTree(root, true);
    EXPECT_TRUE(rtl::DirectoryExists(root));
    rtl::FolderEntries entries(root + L"*", 63);
    while (entries.Next()) {
        EXPECT_TRUE(entries.Name() == L"." || entries.Name() == L"..")
            << "left behind: " << Narrow(entries.Name());
    }
    MakeNestedTree(root);
    RemoveFolderTree(scratch / L"ws", false);  // without its trailing '\'
    EXPECT_FALSE(PathExists(root));
}

TEST_F(Removal, HiddenSystemAndReadOnlyEntriesGo) {
    const std::wstring root = scratch / L"ws\\";
    testsupport::MakeFolders(root + L"sub");
    const DWORD kinds[] = {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_READONLY,
                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY};
    int n = 0;
    for (DWORD attributes : kinds) {
        for (const wchar_t* folder : {L"", L"sub\\"}) {
            const std::wstring file = root + folder + L"f" + std::to_wstring(++n);
            testsupport::WriteText(file, L"x");
            ASSERT_TRUE(SetFileAttributesW(file.c_str(), attributes));
            ASSERT_EQ(GetFileAttributesW(file.c_str()) & attributes, attributes)
                << "Wine did not keep the attributes " << attributes;
        }
    }
    SetFileAttributesW((root + L"sub").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    RemoveFolderTree(root, false);
    EXPECT_FALSE(PathExists(root));
}

// ---- Links -------------------------------------------------------------------

// What a link test leaves outside the workspace and checks afterwards.
struct Outside {
    explicit Outside(const ScratchFolder& scratch)
        : folder(scratch / L"outside\\"), file(scratch / L"outside\\keep.txt") {
        testsupport::MakeFolders(folder + L"inner");
        testsupport::WriteText(file, L"keep");
        testsupport::WriteText(folder + L"inner\\keep2.txt", L"keep");
    }
    void ExpectIntact() const {
        EXPECT_EQ(testsupport::ReadBytes(file), "keep");
        EXPECT_TRUE(PathExists(folder + L"inner\\keep2.txt"));
    }
    std::wstring folder;
    std::wstring file;
};

TEST_F(Removal, UnixSymlinksInsideTheDriveAreNeverFollowed_WineCannotRemoveTheLinkItself) {
    Outside outside(scratch);
    const std::wstring root = scratch / L"ws\\";
    testsupport::MakeFolders(root + L"sub");
    testsupport::WriteText(root + L"plain.txt", L"x");
    if (!MakeUnixSymlink(outside.folder, root, L"folderlink") ||
        !MakeUnixSymlink(outside.file, root + L"sub\\", L"filelink")) {
        GTEST_SKIP() << "no Unix symbolic link could be made (not under Wine?)";
    }
    // Wine shows the link to a folder as a reparse point, the link to a file
    // as a plain file; every deletion call of Wine 8 acts on the target.
    RemoveFolderTree(root, false);
    outside.ExpectIntact();
    EXPECT_FALSE(PathExists(root + L"plain.txt"));
}

TEST_F(Removal, WorkspaceReplacedByAUnixSymlinkIsNotFollowedAtExit) {
    Outside outside(scratch);
    testsupport::MakeFolders(scratch / L"tmp");
    if (!MakeUnixSymlink(outside.folder, scratch / L"tmp\\", L"_Kalvora1")) {
        GTEST_SKIP() << "no Unix symbolic link could be made (not under Wine?)";
    }
    TempFolder = scratch / L"tmp\\_Kalvora1\\";
    DialogWatcher boxes;
    Finalize();
    outside.ExpectIntact();
    EXPECT_EQ(boxes.Seen().size(), 0u);
}

TEST_F(Removal, SymbolicLinksAreRemovedAsLinks) {
    Outside outside(scratch);
    const std::wstring root = scratch / L"ws\\";
    testsupport::MakeFolders(root);
    CreateSymbolicLinkW((root + L"dirlink").c_str(), outside.folder.c_str(),
                        SYMBOLIC_LINK_FLAG_DIRECTORY);
    CreateSymbolicLinkW((root + L"filelink").c_str(), outside.file.c_str(), 0);
    if (!PathExists(root + L"dirlink") && !PathExists(root + L"filelink")) {
        GTEST_SKIP() << "Wine 8's CreateSymbolicLinkW reports success but makes no link";
    }
    RemoveFolderTree(root, false);
    outside.ExpectIntact();
    EXPECT_FALSE(PathExists(root));
}

// REPARSE_DATA_BUFFER of a mount point, laid out by hand (the header that
// declares it is a driver header).
bool MakeJunction(const std::wstring& link, const std::wstring& target, DWORD& error) {
    testsupport::MakeFolders(link);
    HANDLE handle = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    const std::wstring substitute = L"\\??\\" + target;
    const WORD substituteBytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    const WORD printBytes = static_cast<WORD>(target.size() * sizeof(wchar_t));
    std::vector<BYTE> buffer(16 + substituteBytes + printBytes + 4, 0);
    auto put16 = [&](size_t at, WORD value) { memcpy(&buffer[at], &value, 2); };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    memcpy(&buffer[0], &tag, 4);
    put16(4, static_cast<WORD>(buffer.size() - 8));
    put16(8, 0);
    put16(10, substituteBytes);
    put16(12, static_cast<WORD>(substituteBytes + 2));
    put16(14, printBytes);
    memcpy(&buffer[16], substitute.c_str(), substituteBytes);
    memcpy(&buffer[16 + substituteBytes + 2], target.c_str(), printBytes);
    DWORD returned = 0;
    const BOOL ok =
        DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(),
                        static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    error = ok ? 0 : GetLastError();
    CloseHandle(handle);
    return ok;
}

TEST_F(Removal, JunctionsAreRemovedAsLinks) {
    Outside outside(scratch);
    const std::wstring root = scratch / L"ws\\";
    DWORD error = 0;
    if (!MakeJunction(root + L"junction", outside.folder, error)) {
        GTEST_SKIP() << "Wine cannot make a junction: FSCTL_SET_REPARSE_POINT fails with error "
                     << error;
    }
    RemoveFolderTree(root, false);
    outside.ExpectIntact();
    EXPECT_FALSE(PathExists(root));
}

// ---- KillFile ----------------------------------------------------------------

int deletionCalls = 0;
void CountingDeletion(const std::wstring&) { ++deletionCalls; }

// Holds a file open with the given sharing for the object's lifetime.
class OpenFile {
public:
    OpenFile(const std::wstring& path, DWORD share)
        : handle_(
              CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~OpenFile() { Close(); }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Close() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

TEST_F(Removal, KillFileOnAMissingFileReturnsAtOnce) {
    deletionCalls = 0;
    DeleteFileOperation = &CountingDeletion;
    DialogWatcher boxes;
    KillFile(scratch / L"missing.txt");
    KillFile(scratch.Path());  // a folder is no file either
    EXPECT_EQ(deletionCalls, 0);
    EXPECT_EQ(boxes.Seen().size(), 0u);
}

TEST_F(Removal, KillFileClearsReadOnlyAndDeletes) {
    const std::wstring file = scratch / L"ro.txt";
    testsupport::WriteText(file, L"x");
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    KillFile(file);
    EXPECT_FALSE(PathExists(file));
}

TEST_F(Removal, KillFileLetsTheDeletionErrorThrough) {
    const std::wstring file = scratch / L"held.txt";
    testsupport::WriteText(file, L"x");
    OpenFile held(file, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(held.IsOpen());
    DialogWatcher boxes;
    try {
        KillFile(file);
        ADD_FAILURE() << "no error";
    } catch (const rtl::EInOutError& error) {
        EXPECT_EQ(error.Message(), rtl::SysErrorMessage(ERROR_SHARING_VIOLATION));
    }
    EXPECT_TRUE(PathExists(file));
    EXPECT_EQ(boxes.Seen().size(), 0u);
}

TEST_F(Removal, KillFileGivesUpWithOneBoxAfterFourSeconds_FileHeldWithDeleteSharing) {
    const std::wstring file = scratch / L"held.txt";
    testsupport::WriteText(file, L"x");
    // The deletion is accepted, but the file stays until the handle closes.
    OpenFile held(file, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    ASSERT_TRUE(held.IsOpen());
    DialogWatcher boxes;
    const ULONGLONG start = GetTickCount64();
    KillFile(file);
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 3900u);
    // The retries compete for the processor with other programs.
    EXPECT_LT(elapsed, 10000u);
    const auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, L"Couldn't delete file \"" + file + L"\"!");
    EXPECT_EQ(seen[0].helpContext, 11u);
    EXPECT_TRUE(rtl::FileExists(file));
    held.Close();
    EXPECT_FALSE(PathExists(file));
}

// The fake clock of the clock tests: each deletion attempt moves it on.
rtl::TDateTime fakeNow = 0;
rtl::TDateTime FakeClock() { return fakeNow; }
constexpr rtl::TDateTime FakeStart = 46000.5;
double jumpSeconds = 0;
int attempts = 0;
void DeletionThatMovesTheClock(const std::wstring&) {
    ++attempts;
    // Three attempts at the start, then the jump, and from the tenth attempt
    // on ten seconds later, so that a run that ignored the jump still ends.
    const double seconds = attempts < 4 ? 0 : attempts < 10 ? jumpSeconds : 10;
    fakeNow = FakeStart + seconds * 1000 / rtl::MillisecondsPerDay;
}

TEST_F(Removal, KillFileCountsWholeSecondsOfTheLocalClockInEitherDirection) {
    const std::wstring file = scratch / L"stays.txt";
    testsupport::WriteText(file, L"x");
    LocalClock = &FakeClock;
    DeleteFileOperation = &DeletionThatMovesTheClock;
    struct Case {
        double jump;
        int attemptsUntilBox;
    } cases[] = {{4, 4}, {-4, 4}, {3.999, 10}, {-3.999, 10}, {60, 4}, {-3600, 4}};
    for (const Case& c : cases) {
        fakeNow = FakeStart;
        jumpSeconds = c.jump;
        attempts = 0;
        DialogWatcher boxes;
        KillFile(file);
        EXPECT_EQ(attempts, c.attemptsUntilBox) << "clock jump " << c.jump << " s";
        const auto seen = boxes.Seen();
        ASSERT_EQ(seen.size(), 1u) << "clock jump " << c.jump << " s";
        EXPECT_EQ(seen[0].helpContext, 11u);
    }
    EXPECT_TRUE(PathExists(file));
}

// Deletes every file but stays.txt for real; that one stays, and each
// attempt at it moves the fake clock five seconds on.
void DeletionThatKeepsOneFile(const std::wstring& path) {
    if (rtl::ExtractFileName(path) == L"stays.txt") {
        fakeNow += 5000 / rtl::MillisecondsPerDay;
    } else {
        rtl::FileDelete(path);
    }
}

TEST_F(Removal, FileThatStaysIsReportedAndRemovalGoesOnWithTheRest) {
    const std::wstring root = scratch / L"ws\\";
    testsupport::MakeFolders(root + L"sub");
    testsupport::WriteText(root + L"a.txt", L"x");
    testsupport::WriteText(root + L"stays.txt", L"x");
    testsupport::WriteText(root + L"z.txt", L"x");
    testsupport::WriteText(root + L"sub\\b.txt", L"x");
    fakeNow = FakeStart;
    LocalClock = &FakeClock;
    DeleteFileOperation = &DeletionThatKeepsOneFile;
    DialogWatcher boxes;
    RemoveFolderTree(root, false);
    const auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, L"Couldn't delete file \"" + root + L"stays.txt\"!");
    EXPECT_TRUE(PathExists(root + L"stays.txt"));
    EXPECT_FALSE(PathExists(root + L"a.txt"));
    EXPECT_FALSE(PathExists(root + L"z.txt"));
    EXPECT_FALSE(PathExists(root + L"sub"));
}

// ---- The exit step -------------------------------------------------------------

TEST_F(Removal, DeletionErrorAtExitIsShownOnceAndTheRestStays) {
    TempFolder = scratch / L"_Kalvora1\\";
    testsupport::MakeFolders(TempFolder + L"sub");
    testsupport::WriteText(TempFolder + L"held.txt", L"x");
    testsupport::WriteText(TempFolder + L"sub\\other.txt", L"x");
    OpenFile held(TempFolder + L"held.txt", FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(held.IsOpen());
    const std::wstring folder = TempFolder;
    DialogWatcher boxes;
    EXPECT_NO_THROW(Finalize());
    const auto seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, L"The temporary folder \"" + folder +
                                L"\" could not be removed completely: " +
                                rtl::SysErrorMessage(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(PathExists(folder + L"held.txt"));
    EXPECT_EQ(TempFolder, L"");
}

// ---- PumpMessagesThrottled -------------------------------------------------------

void AdvanceClockTwoSeconds() { fakeNow += 2000 / rtl::MillisecondsPerDay; }

bool AppMessagePending(HWND hwnd) {
    MSG msg;
    return PeekMessageW(&msg, hwnd, WM_APP, WM_APP, PM_NOREMOVE) != 0;
}

void DropPending(HWND hwnd) {
    MSG msg;
    while (PeekMessageW(&msg, hwnd, WM_APP, WM_APP, PM_REMOVE)) {
    }
}

TEST(PumpMessagesThrottled, ProcessesOnlyStrictlyAfterTheInterval) {
    SeamsRestored seams;
    MessageCounter counter;
    LocalClock = &FakeClock;
    const rtl::TDateTime last = FakeStart;
    struct Case {
        double msAfterLast;
        bool processes;
    } cases[] = {{0, false},  {499, false},    {500, false},
                 {501, true}, {-10000, false}, {86400000, true}};
    for (const Case& c : cases) {
        LastPumpTime = last;
        fakeNow = last + c.msAfterLast / rtl::MillisecondsPerDay;
        PostMessageW(counter.hwnd, WM_APP, 0, 0);
        PumpMessagesThrottled(500);
        EXPECT_EQ(!AppMessagePending(counter.hwnd), c.processes) << c.msAfterLast << " ms after";
        EXPECT_EQ(LastPumpTime, c.processes ? fakeNow : last) << c.msAfterLast << " ms after";
        DropPending(counter.hwnd);
    }
}

TEST(PumpMessagesThrottled, LastPumpTimeIsReadAfterTheMessagesRan) {
    SeamsRestored seams;
    MessageCounter counter;
    counter.onAppMessage = &AdvanceClockTwoSeconds;
    LocalClock = &FakeClock;
    LastPumpTime = FakeStart;
    fakeNow = FakeStart + 1000 / rtl::MillisecondsPerDay;
    PostMessageW(counter.hwnd, WM_APP, 0, 0);
    PumpMessagesThrottled(500);
    EXPECT_EQ(counter.appMessages, 1);
    EXPECT_EQ(LastPumpTime,
              FakeStart + 1000 / rtl::MillisecondsPerDay + 2000 / rtl::MillisecondsPerDay);
}

TEST(PumpMessagesThrottled, SecondCallWithinTheIntervalProcessesNothing) {
    SeamsRestored seams;
    MessageCounter counter;
    LastPumpTime = 0;
    PostMessageW(counter.hwnd, WM_APP, 0, 0);
    PumpMessagesThrottled(500);
    EXPECT_EQ(counter.appMessages, 1);
    PostMessageW(counter.hwnd, WM_APP, 0, 0);
    PumpMessagesThrottled(500);
    EXPECT_EQ(counter.appMessages, 1);
    EXPECT_TRUE(AppMessagePending(counter.hwnd));
    DropPending(counter.hwnd);
}

TEST(PumpMessagesThrottled, CallWithinTheIntervalOfStartUpProcessesNothing) {
    SeamsRestored seams;
    ScratchFolder temp;
    TempPathOverride tmp(temp.Path());
    testsupport::RegistrySandbox registry;
    testsupport::RegistrySandbox::CreateKey(HKEY_CURRENT_USER, L"Environment");
    MessageCounter counter;
    PostMessageW(counter.hwnd, WM_APP, 0, 0);
    const rtl::TDateTime before = rtl::Now();
    toolbookprocs::Initialize();
    const rtl::TDateTime after = rtl::Now();
    EXPECT_GE(LastPumpTime, before);
    EXPECT_LE(LastPumpTime, after);
    // 499 ms after the start-up by the module's clock: start-up itself can
    // take longer than that on a busy machine, since its broadcast waits for
    // other programs' windows.
    fakeNow = LastPumpTime + 499 / rtl::MillisecondsPerDay;
    LocalClock = &FakeClock;
    PumpMessagesThrottled(500);
    EXPECT_EQ(counter.appMessages, 0);
    EXPECT_TRUE(AppMessagePending(counter.hwnd));
    DropPending(counter.hwnd);
    LocalClock = &rtl::Now;
    toolbookprocs::Finalize();
}

}  // namespace

// The test programs link with -municode, whose start-up calls wmain; the
// main of GoogleTest's own library is never reached.
int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
