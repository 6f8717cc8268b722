// The run-time layer's file operations against real files under Wine.

#include "platform/rtl/Files.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {

using rtl::PathProblem;
using testsupport::ScratchFolder;

// Runs a test with the scratch folder as the current folder, so that
// relative paths land there.
class InScratchFolder : public ::testing::Test {
protected:
    ScratchFolder scratch;
    testsupport::CurrentFolder inScratch{scratch.Path()};
};

using PathValidation = InScratchFolder;

TEST_F(PathValidation, TableOfPaths) {
    const std::wstring s = scratch.Path();
    testsupport::MakeFolders(s + L"sub");
    // Names that make the whole path exactly 259 and 260 characters long.
    const std::wstring fits = s + std::wstring(259 - s.size(), L'f');
    const std::wstring tooLong = s + std::wstring(260 - s.size(), L'f');
    // Short as given, but 260 or more once the current folder is put before it.
    const std::wstring longOnceFull(260 - s.size() + 5, L'r');
    struct Case {
        std::wstring path;
        PathProblem expected;
    } cases[] = {
        {s + L"a.txt", PathProblem::None},
        {s + L"sub\\a.txt", PathProblem::None},
        {s + L"sub/a.txt", PathProblem::None},
        {L"a.txt", PathProblem::None},
        {L"sub\\..\\a.txt", PathProblem::None},
        {L"C:a.txt", PathProblem::None},  // the current folder of drive C:
        {s + L"console.txt", PathProblem::None},
        {s + L"com0.txt", PathProblem::None},
        {s + L"nul.txt.bak", PathProblem::BadFormat},
        {fits, PathProblem::None},
        {tooLong, PathProblem::TooLong},
        {longOnceFull, PathProblem::TooLong},
        {tooLong + L"|", PathProblem::TooLong},  // length is checked first
        {s + L"a<b.txt", PathProblem::InvalidCharacters},
        {s + L"a>b.txt", PathProblem::InvalidCharacters},
        {s + L"a|b.txt", PathProblem::InvalidCharacters},
        {s + L"a\"b.txt", PathProblem::InvalidCharacters},
        {s + L"*.txt", PathProblem::InvalidCharacters},
        {s + L"a?.txt", PathProblem::InvalidCharacters},
        {s + L"a\tb.txt", PathProblem::InvalidCharacters},
        {s + L"a\x1f"
             L"b.txt",
         PathProblem::InvalidCharacters},
        {std::wstring(L"a\0b", 3), PathProblem::InvalidCharacters},
        {L"\\\\?\\C:\\a.txt", PathProblem::InvalidCharacters},  // its '?'
        {s + L"a.txt:stream", PathProblem::BadFormat},
        {s + L"a:b\\c.txt", PathProblem::BadFormat},
        {L"1:\\a.txt", PathProblem::BadFormat},
        {L":a.txt", PathProblem::BadFormat},
        {L"", PathProblem::BadFormat},
        {L"\\\\.\\C:\\a.txt", PathProblem::BadFormat},
        {L"\\\\server", PathProblem::BadFormat},
        {L"\\\\server\\", PathProblem::BadFormat},
        {L"\\\\\\share\\a.txt", PathProblem::BadFormat},
        {s + L"nul", PathProblem::BadFormat},
        {s + L"CON", PathProblem::BadFormat},
        {s + L"Aux.log", PathProblem::BadFormat},
        {s + L"prn .txt", PathProblem::BadFormat},
        {s + L"com1", PathProblem::BadFormat},
        {s + L"LPT9.txt", PathProblem::BadFormat},
        {s + L"nul\\a.txt", PathProblem::BadFormat},
        {s + L"missing\\a.txt", PathProblem::FolderNotFound},
        {L"missing\\a.txt", PathProblem::FolderNotFound},
        {s + L"sub\\deeper\\a.txt", PathProblem::FolderNotFound},
    };
    for (const Case& c : cases) {
        const PathProblem got = rtl::CheckFilePath(c.path);
        EXPECT_EQ(got, c.expected)
            << "path \"" << rtl::WideToUtf8(c.path) << "\": expected "
            << rtl::PathProblemName(c.expected) << ", got " << rtl::PathProblemName(got);
    }
}

TEST_F(PathValidation, MissingDriveIsAFolderNotFound) {
    const DWORD drives = GetLogicalDrives();
    wchar_t letter = 0;
    for (wchar_t c = L'Q'; c <= L'Y' && !letter; ++c) {
        if (!(drives & (1u << (c - L'A')))) letter = c;
    }
    ASSERT_NE(letter, 0) << "no free drive letter between Q: and Y:";
    const std::wstring path = std::wstring(1, letter) + L":\\a.txt";
    EXPECT_EQ(rtl::CheckFilePath(path), PathProblem::FolderNotFound);
}

// Calls op and returns the message of the EInOutError it raises, or a
// marker when it raises nothing.
template <class Op>
std::wstring InOutErrorOf(Op op, DWORD* code = nullptr) {
    try {
        op();
    } catch (const rtl::EInOutError& error) {
        if (code) *code = error.ErrorCode;
        return error.Message();
    }
    return L"<no error>";
}

TEST(WriteAllText, WritesUtf8WithoutByteOrderMarkAndReplaces) {
    ScratchFolder scratch;
    const std::wstring path = scratch / L"t.txt";
    testsupport::WriteBytes(path, std::string(100, 'x'));
    rtl::WriteAllText(path, L"test content \u00e4\u00df\u20ac");
    EXPECT_EQ(testsupport::ReadBytes(path), "test content \xc3\xa4\xc3\x9f\xe2\x82\xac");
    rtl::WriteAllText(path, L"");
    EXPECT_EQ(testsupport::ReadBytes(path), "");
}

TEST(WriteAllText, RefusesBadPathsWithTheirMessagesAndCreatesNothing) {
    ScratchFolder scratch;
    struct Case {
        std::wstring path;
        std::wstring message;
    } cases[] = {
        {scratch / L"missing\\t.txt", L"The specified path was not found"},
        {scratch / L"a|b.txt", L"Invalid characters in path"},
        {scratch / L"t.txt:s", L"The path format is not supported"},
        {scratch / std::wstring(300, L'n'), L"The specified path is too long"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InOutErrorOf([&] { rtl::WriteAllText(c.path, L"x"); }), c.message)
            << rtl::WideToUtf8(c.path);
    }
    EXPECT_FALSE(testsupport::PathExists(scratch / L"missing"));
    EXPECT_FALSE(testsupport::PathExists(scratch / L"t.txt"));
}

TEST(WriteAllText, SystemRefusalCarriesTheSystemText) {
    ScratchFolder scratch;
    // A folder where the file should be.
    testsupport::MakeFolders(scratch / L"t.txt");
    DWORD code = 0;
    const std::wstring message =
        InOutErrorOf([&] { rtl::WriteAllText(scratch / L"t.txt", L"x"); }, &code);
    EXPECT_NE(code, 0u);
    EXPECT_EQ(message, rtl::SysErrorMessage(code));
}

TEST(FileDelete, DeletesAndReportsNoRefusal) {
    ScratchFolder scratch;
    const std::wstring path = scratch / L"t.txt";
    testsupport::WriteText(path, L"x");
    EXPECT_EQ(rtl::FileDeleteRefusal(path), 0u);
    EXPECT_FALSE(testsupport::PathExists(path));
}

// Holds a file open with the given sharing for the object's lifetime.
class OpenFile {
public:
    OpenFile(const std::wstring& path, DWORD share)
        : handle_(
              CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~OpenFile() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

TEST(FileDelete, RefusalsTwoFiveAndThirtyTwoRaiseTheSystemText) {
    ScratchFolder scratch;
    const std::wstring held = scratch / L"held.txt";
    const std::wstring readOnly = scratch / L"readonly.txt";
    testsupport::WriteText(held, L"x");
    testsupport::WriteText(readOnly, L"x");
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    testsupport::MakeFolders(scratch / L"folder");
    OpenFile open(held, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(open.IsOpen());

    struct Case {
        const char* what;
        std::wstring path;
        DWORD code;
    } cases[] = {
        {"missing file", scratch / L"missing.txt", ERROR_FILE_NOT_FOUND},
        {"read-only file", readOnly, ERROR_ACCESS_DENIED},
        {"a folder", scratch / L"folder", ERROR_ACCESS_DENIED},
        {"open without delete sharing", held, ERROR_SHARING_VIOLATION},
    };
    for (const Case& c : cases) {
        for (int strict = 0; strict < 2; ++strict) {
            DWORD code = 0;
            const std::wstring message = InOutErrorOf(
                [&] { strict ? rtl::FileDeleteStrict(c.path) : rtl::FileDelete(c.path); }, &code);
            EXPECT_EQ(code, c.code) << c.what << (strict ? " (strict)" : "");
            EXPECT_EQ(message, rtl::SysErrorMessage(c.code)) << c.what;
        }
    }
    EXPECT_TRUE(testsupport::PathExists(held));
    EXPECT_TRUE(testsupport::PathExists(readOnly));
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FileDelete, BadPathsRaiseTheirMessages) {
    ScratchFolder scratch;
    EXPECT_EQ(InOutErrorOf([&] { rtl::FileDelete(scratch / L"missing\\t.txt"); }),
              L"The specified path was not found");
    EXPECT_EQ(InOutErrorOf([&] { rtl::FileDelete(scratch / L"t?.txt"); }),
              L"Invalid characters in path");
}

// Wine maps the Unix root to Z:, and deleting its /dev/null is refused with
// ERROR_INVALID_PARAMETER: a refusal other than 2, 5 or 32 that Windows
// itself gives no simple way to provoke.
TEST(FileDelete, OtherRefusalIsQuietOrReportedOrStrict_WineDevNull) {
    const std::wstring path = L"Z:\\dev\\null";
    if (!testsupport::PathExists(path)) GTEST_SKIP() << "no Z:\\dev\\null: not Wine's Unix root";
    const DWORD refusal = rtl::FileDeleteRefusal(path);
    ASSERT_NE(refusal, 0u) << "the system deleted /dev/null";
    EXPECT_NE(refusal, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_NE(refusal, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_NE(refusal, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(InOutErrorOf([&] { rtl::FileDelete(path); }), L"<no error>");
    DWORD code = 0;
    EXPECT_EQ(InOutErrorOf([&] { rtl::FileDeleteStrict(path); }, &code),
              rtl::SysErrorMessage(refusal));
    EXPECT_EQ(code, refusal);
}

TEST(ForceDirectories, CreatesMissingParentsAndAcceptsExisting) {
    ScratchFolder scratch;
    const std::wstring deep = scratch / L"a\\b\\c\\";
    EXPECT_TRUE(rtl::ForceDirectories(deep));
    EXPECT_TRUE(rtl::DirectoryExists(deep));
    EXPECT_TRUE(rtl::ForceDirectories(scratch / L"a\\b"));
}

TEST(ForceDirectories, FileInTheWayGivesFalseWithoutError) {
    ScratchFolder scratch;
    testsupport::WriteText(scratch / L"f", L"x");
    EXPECT_FALSE(rtl::ForceDirectories(scratch / L"f"));
    EXPECT_FALSE(rtl::ForceDirectories(scratch / L"f\\sub"));
    EXPECT_TRUE(rtl::FileExists(scratch / L"f"));
}

TEST(ForceDirectories, RefusalsNameTheFolder) {
    ScratchFolder scratch;
    const std::wstring s = scratch.Path();
    // 248 characters without the trailing '\' is the longest accepted.
    const std::wstring longest = s + std::wstring(248 - s.size(), L'd');
    EXPECT_TRUE(rtl::ForceDirectories(longest + L"\\"));
    EXPECT_TRUE(rtl::DirectoryExists(longest));
    const std::wstring tooLong = s + std::wstring(249 - s.size(), L'e');

    const DWORD drives = GetLogicalDrives();
    std::wstring missingDrive;
    for (wchar_t c = L'Q'; c <= L'Y' && missingDrive.empty(); ++c) {
        if (!(drives & (1u << (c - L'A')))) missingDrive = std::wstring(1, c) + L":\\kalvora\\x";
    }
    ASSERT_FALSE(missingDrive.empty());

    struct Case {
        std::wstring path;
        std::wstring reason;
    } cases[] = {
        {tooLong, L"The specified path is too long"},
        {s + L"a<b", L"Invalid characters in path"},
        {s + L"a:b", L"The path format is not supported"},
        {L"", L"The path format is not supported"},
        {missingDrive, L"The drive " + missingDrive.substr(0, 2) + L" does not exist"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InOutErrorOf([&] { rtl::ForceDirectories(c.path); }),
                  L"Cannot create the folder \"" + c.path + L"\": " + c.reason)
            << rtl::WideToUtf8(c.path);
    }
    EXPECT_FALSE(testsupport::PathExists(tooLong));
}

TEST(FolderEntries, MaskLeavesOutHiddenSystemAndFoldersUnlessAsked) {
    ScratchFolder scratch;
    testsupport::WriteText(scratch / L"plain", L"x");
    testsupport::WriteText(scratch / L"hidden", L"x");
    testsupport::WriteText(scratch / L"system", L"x");
    testsupport::WriteText(scratch / L"readonly", L"x");
    testsupport::MakeFolders(scratch / L"folder");
    SetFileAttributesW((scratch / L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((scratch / L"system").c_str(), FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesW((scratch / L"readonly").c_str(), FILE_ATTRIBUTE_READONLY);
    auto names = [&](DWORD mask) {
        std::vector<std::wstring> found;
        rtl::FolderEntries entries(scratch / L"*", mask);
        while (entries.Next()) {
            if (entries.Name() != L"." && entries.Name() != L"..") found.push_back(entries.Name());
        }
        std::sort(found.begin(), found.end());
        return found;
    };
    using V = std::vector<std::wstring>;
    EXPECT_EQ(names(0), (V{L"plain", L"readonly"}));
    EXPECT_EQ(names(FILE_ATTRIBUTE_DIRECTORY), (V{L"folder", L"plain", L"readonly"}));
    EXPECT_EQ(names(63), (V{L"folder", L"hidden", L"plain", L"readonly", L"system"}));
    SetFileAttributesW((scratch / L"readonly").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

// The test programs link with -municode, whose start-up calls wmain; the
// main of GoogleTest's own library is never reached.
int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
