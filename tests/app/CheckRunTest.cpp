// The check run of the main window, in process, against real folders and the
// stand-in client library with a world of its own for each case.

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Pelorin.MainForm.h"
#include "environment/toolbookprocs.h"
#include "platform/ads/AceApi.h"
#include "platform/rtl/FileSystem.h"
#include "platform/vcl/Screen.h"
#include "tests/support/CheckRunFixture.h"
#include "tests/support/PelorinProcess.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ace32/StandIn.h"

using testsupport::StandInWorld;

namespace {

// An expected line; one ending in '*' only has to start with the rest.
bool LineMatches(const std::wstring& expected, const std::wstring& got) {
    if (!expected.empty() && expected.back() == L'*') {
        return got.compare(0, expected.size() - 1, expected, 0, expected.size() - 1) == 0;
    }
    return got == expected;
}

std::string Show(const std::vector<std::wstring>& lines) {
    std::wstring all;
    for (const auto& line : lines) all += L"  |" + line + L"\n";
    return rtl::WideToUtf8(all);
}

// A world of the stand-in and the lines the run writes in it between the
// opening lines and the two Finish lines.
struct WorldCase {
    const char* name;
    StandInWorld world;
    std::vector<std::wstring> expected;
};

class CheckRunTest : public testsupport::CheckRunFixture {
protected:
    void SetUp() override {
        CheckRunFixture::SetUp();
        toolbookprocs::DataFolder = data_.Path();
    }

    void Install(const StandInWorld& world) {
        testsupport::InstallStandIn(library_.Path(), world);
        ASSERT_TRUE(SetDllDirectoryW(library_.Path().c_str()));
    }

    // Runs Start on a fresh window and returns the lines after the three
    // opening ones; the window is gone afterwards, as at program end.
    std::vector<std::wstring> Run() {
        auto form = std::make_unique<TfmPelorin>();
        form->DoCreate();
        form->cmStartClick();
        EXPECT_FALSE(form->cmStart->Enabled()) << "Start must stay disabled after a run";
        EXPECT_TRUE(form->cmExit->Enabled());
        EXPECT_EQ(vcl::Screen->Cursor(), vcl::crDefault);
        std::vector<std::wstring> lines;
        for (int i = 0; i < form->mLog->Lines.Count(); ++i) lines.push_back(form->mLog->Lines[i]);
        EXPECT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[0], L"Data folder: " + data_.Path());
        EXPECT_EQ(lines[1], L"Client folder: C:\\Kalvora\\");
        EXPECT_EQ(lines[2], L"Click \"Start\" to perform check.");
        lastText_ = form->mLog->Text();
        lines.erase(lines.begin(), lines.begin() + 3);
        EXPECT_FALSE(rtl::FileExists(data_ / L"testfile.dat")) << "test file A left behind";
        EXPECT_FALSE(rtl::FileExists(data_ / L"DB\\testfile.dat")) << "test file B left behind";
        return lines;
    }

    void ExpectLog(const std::vector<std::wstring>& got,
                   const std::vector<std::wstring>& expected) {
        bool same = got.size() == expected.size();
        for (size_t i = 0; same && i < got.size(); ++i) same = LineMatches(expected[i], got[i]);
        EXPECT_TRUE(same) << "expected:\n" << Show(expected) << "got:\n" << Show(got);
    }

    void RunCases(const std::vector<WorldCase>& cases);

    testsupport::ScratchFolder library_;
    std::wstring lastText_;
};

const std::vector<std::wstring> FileStepsOk = {
    L"1. check if data folder is writable",
    L" OK: Test file written.",
    L"2. deleting test file",
    L" OK: Test file deleted.",
    L"3. check if db folder is writable",
    L" OK: Test file written.",
    L"4. deleting test file",
    L" OK: Test file deleted.",
    L"5. Check if db dictionary exists",
    L" OK: dictionary exists",
};

std::vector<std::wstring> Join(std::vector<std::wstring> a, const std::vector<std::wstring>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<std::wstring> FinishLines = {L"=== FINISH ===",
                                               L"(log already copied to clipboard)"};

const std::vector<std::wstring> TableRoundTrip = {
    L"7. checking table access (LM_Configuration)",
    L" OK: table opened",
    L"7a. testinge table writing",
    L" OK: data written",
    L"7b. testinge table browsing",
    L" OK: can browse table",
    L"7c. deleting records",
    L" OK: record deleted",
};

void CheckRunTest::RunCases(const std::vector<WorldCase>& cases) {
    for (const WorldCase& c : cases) {
        SCOPED_TRACE(c.name);
        // A loaded library cannot be replaced; each world installs afresh.
        ads::ace::FreeClientLibrary();
        Install(c.world);
        ExpectLog(Run(), Join(c.expected, FinishLines));
    }
}

TEST_F(CheckRunTest, EverythingWorksAtTheFirstAttemptAndTheLogGoesToTheClipboard) {
    Install(RemoteWorld());
    testsupport::ClearClipboard();
    const auto lines = Run();
    ExpectLog(
        lines,
        Join(Join(Join(FileStepsOk, {L"6. connecting to database", L" OK: database connected"}),
                  TableRoundTrip),
             FinishLines));
    std::wstring expectedText;
    for (const auto& line :
         std::vector<std::wstring>{L"Data folder: " + data_.Path(), L"Client folder: C:\\Kalvora\\",
                                   L"Click \"Start\" to perform check."}) {
        expectedText += line + L"\r\n";
    }
    for (const auto& line : lines) expectedText += line + L"\r\n";
    EXPECT_EQ(lastText_, expectedText);
    EXPECT_EQ(testsupport::ClipboardText(), expectedText);
}

TEST_F(CheckRunTest, ConnectionAlternatives) {
    const std::wstring connectError = L" ERROR: couldn't connect, error message: *";
    toolbookprocs::DefaultDelimiter = L'\\';
    const std::wstring alternative = AlternativeConnectPath(Dictionary());
    toolbookprocs::DefaultDelimiter = L',';
    ASSERT_NE(alternative, Dictionary());
    const std::vector<std::wstring> firstFails = {L"6. connecting to database", connectError,
                                                  L"6a. checking alternative remote connection",
                                                  L"connecting to " + alternative + L" ..."};
    StandInWorld remoteAlternative, local, none;
    remoteAlternative.Answer(alternative, L"remote");
    // Local only for the dictionary path itself: the path must be back at D
    // after the failed remote alternative.
    local.Answer(Dictionary(), L"local");
    const std::vector<WorldCase> cases = {
        {"the remote alternative answers", remoteAlternative,
         Join(Join(Join(FileStepsOk, firstFails), {L" OK: database connected"}), TableRoundTrip)},
        {"only the local server answers", local,
         Join(Join(Join(FileStepsOk, firstFails),
                   {connectError, L"6b. checking alternative local connection",
                    L" OK: database connected"}),
              TableRoundTrip)},
        {"nothing answers", none,
         Join(FileStepsOk,
              Join(firstFails,
                   {connectError, L"6b. checking alternative local connection", connectError}))},
    };
    RunCases(cases);
}

TEST_F(CheckRunTest, TableFailures) {
    const std::vector<std::wstring> connected =
        Join(FileStepsOk, {L"6. connecting to database", L" OK: database connected"});
    const std::vector<std::wstring> opened =
        Join(connected, {L"7. checking table access (LM_Configuration)", L" OK: table opened"});
    StandInWorld writeFailsWithRecord = RemoteWorld();
    writeFailsWithRecord.Fail(L"AdsWriteRecord", 5035, L"record is locked");
    writeFailsWithRecord.Records.emplace_back(L"LM_Configuration", L"9999");
    const std::vector<WorldCase> cases = {
        {"table does not open", RemoteWorld().Fail(L"AdsOpenTable", 7008, L"table missing"),
         Join(connected, {L"7. checking table access (LM_Configuration)",
                          L" ERROR: couldn't open table, error message: Error 7008*"})},
        {"writing fails and nothing is found",
         RemoteWorld().Fail(L"AdsWriteRecord", 5035, L"record is locked"),
         Join(opened, {L"7a. testinge table writing", L" ERROR: Error 5035*",
                       L"7b. testinge table browsing", L" ERROR: can't browse table"})},
        {"writing fails, a record 9999 is there and gets deleted", writeFailsWithRecord,
         Join(opened, {L"7a. testinge table writing", L" ERROR: Error 5035*",
                       L"7b. testinge table browsing", L" OK: can browse table",
                       L"7c. deleting records", L" OK: record deleted"})},
        {"browsing fails", RemoteWorld().Fail(L"AdsSeek", 7022, L"index damaged"),
         Join(opened, {L"7a. testinge table writing", L" OK: data written",
                       L"7b. testinge table browsing", L" ERROR: Error 7022*"})},
        {"deleting fails", RemoteWorld().Fail(L"AdsDeleteRecord", 5072, L"no rights"),
         Join(opened,
              {L"7a. testinge table writing", L" OK: data written", L"7b. testinge table browsing",
               L" OK: can browse table", L"7c. deleting records", L" ERROR: Error 5072*"})},
    };
    RunCases(cases);
}

TEST_F(CheckRunTest, WithoutTheDictionaryNothingElseIsTried) {
    Install(RemoteWorld());
    const std::vector<std::wstring> expected =
        Join(std::vector<std::wstring>(FileStepsOk.begin(), FileStepsOk.end() - 1),
             {L" ERROR: dictionary not found", L"no further tests possible", L"=== FINISH ===",
              L"(log already copied to clipboard)"});
    DeleteFileW(Dictionary().c_str());
    ExpectLog(Run(), expected);
    // A folder of that name is no dictionary either.
    testsupport::MakeFolders(Dictionary());
    ExpectLog(Run(), expected);
}

TEST_F(CheckRunTest, FileStepFailures) {
    Install(RemoteWorld());
    const std::wstring fileA = data_ / L"testfile.dat";
    const std::wstring fileB = data_ / L"DB\\testfile.dat";
    const auto writeError = [](const std::wstring& path) {
        return L" ERROR: couldn't write to test file \"" + path + L"\". Error Message: ";
    };
    const auto deleteError = [](const std::wstring& path) {
        return L" ERROR: couldn't delete test file \"" + path + L"\". Error Message: ";
    };

    // No DB sub-folder: both of its steps end in the not-found text.
    testsupport::RemoveTree(data_ / L"DB");
    auto lines = Run();
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[4], L"3. check if db folder is writable");
    EXPECT_EQ(lines[5], writeError(fileB) + L"The specified path was not found");
    EXPECT_EQ(lines[7], deleteError(fileB) + L"The specified path was not found");
    EXPECT_EQ(lines[8], L"5. Check if db dictionary exists") << "steps 5 and on still run";

    // A folder in the way of test file A: it can be neither written nor
    // deleted as a file, and the refusal is reported, not counted as done.
    testsupport::MakeFolders(data_ / L"DB");
    testsupport::MakeFolders(fileA);
    lines = Run();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_TRUE(LineMatches(writeError(fileA) + L"*", lines[1])) << rtl::WideToUtf8(lines[1]);
    EXPECT_TRUE(LineMatches(deleteError(fileA) + L"*", lines[3])) << rtl::WideToUtf8(lines[3]);
    EXPECT_EQ(lines[5], L" OK: Test file written.") << "step 3 still runs";
    EXPECT_TRUE(testsupport::PathExists(fileA)) << "the folder in the way is not ours to remove";
}

TEST_F(CheckRunTest, WithoutAnyClientLibraryTheLogSaysSo) {
    // An empty folder: no ace32.dll anywhere the program looks.
    ASSERT_TRUE(SetDllDirectoryW(library_.Path().c_str()));
    const std::wstring loadError =
        L" ERROR: couldn't connect, error message: The database client library ace32.dll could not "
        L"be loaded*";
    const auto lines = Run();
    ASSERT_EQ(lines.size(), 10u + 7u + 2u) << Show(lines);
    EXPECT_TRUE(LineMatches(loadError, lines[11])) << rtl::WideToUtf8(lines[11]);
    EXPECT_TRUE(LineMatches(loadError, lines[14]));
    EXPECT_TRUE(LineMatches(loadError, lines[16]));
    EXPECT_EQ(lines[17], L"=== FINISH ===");
}

struct PathCase {
    const wchar_t* path;
    const wchar_t* expected;
};

TEST(AlternativeConnectPath, InsertsThePortAfterTheThirdField) {
    const PathCase cases[] = {
        {L"\\\\srv01\\Kalvora$\\db\\db.add", L"\\\\srv01:6262\\Kalvora$\\db\\db.add"},
        {L"C:\\Suite\\Data\\db\\db.add", L"C:\\Suite\\Data:6262\\db\\db.add"},
        // The first occurrence of the third field may lie in an earlier name.
        {L"C:\\MyData\\Data\\db\\db.add", L"C:\\MyData:6262\\Data\\db\\db.add"},
        {L"C:\\\\\\db.add", L"C:\\\\\\db.add"},  // empty third field
        {L"C:\\db.add", L"C:\\db.add"},          // no third field
    };
    toolbookprocs::DefaultDelimiter = L'\\';
    for (const PathCase& c : cases) {
        EXPECT_EQ(AlternativeConnectPath(c.path), c.expected) << rtl::WideToUtf8(c.path);
    }
    toolbookprocs::DefaultDelimiter = L',';
}

}  // namespace
