#include "app/Pelorin.MainForm.h"

#include <windows.h>

#include "app/mini.dialogs.h"
#include "environment/toolbookprocs.h"
#include "look/VistaReady.h"
#include "platform/rtl/FileSystem.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Clipboard.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Screen.h"

using toolbookprocs::ClientFolder;
using toolbookprocs::DataFolder;

TfmPelorin* fmPelorin = nullptr;

namespace {

constexpr wchar_t TestFileText[] = L"test content";
constexpr wchar_t TableName[] = L"LM_Configuration";
constexpr double TestRecordId = 9999.0;
constexpr wchar_t AlternativePort[] = L":6262";

}  // namespace

TfmPelorin::TfmPelorin() {
    // The stored layout, made at 96 dots per inch; the form scales it to the
    // monitor when its window is created.
    ClientWidth = 711;
    ClientHeight = 397;
    CenterOnScreen = true;
    Font().SetName(L"Tahoma");
    Font().SetHeight(-11);

    Panel1 = new vcl::TPanel(this);
    Panel1->Name = L"Panel1";
    Panel1->SetParent(this);
    Panel1->SetAlign(vcl::TAlign::alTop);
    Panel1->SetHeight(41);
    Panel1->SetBevelOuter(vcl::TPanelBevel::bvNone);
    Panel1->SetCaption(L"");

    cmStart = new vcl::TButton(this);
    cmStart->Name = L"cmStart";
    cmStart->SetParent(Panel1);
    cmStart->SetBounds(8, 8, 75, 25);
    cmStart->SetCaption(L"Start");
    cmStart->SetDefault(true);
    cmStart->SetTabOrder(0);
    cmStart->OnClick = [this] { cmStartClick(); };

    cmExit = new vcl::TButton(this);
    cmExit->Name = L"cmExit";
    cmExit->SetParent(Panel1);
    cmExit->SetBounds(84, 8, 75, 25);
    cmExit->SetCaption(L"Exit");
    cmExit->SetCancel(true);
    cmExit->SetTabOrder(1);
    cmExit->OnClick = [this] { cmExitClick(); };

    mLog = new vcl::TMemo(this);
    mLog->Name = L"mLog";
    mLog->SetParent(this);
    mLog->SetBounds(0, 41, 711, 356);
    mLog->SetReadOnly(true);
    mLog->ScrollBars = vcl::TScrollStyle::ssVertical;
    mLog->WordWrap = true;
    mLog->SetColor(vcl::clBtnFace);
    mLog->Lines.Add(L"mLog");  // the designer's placeholder, removed at creation

    con.AdsServerTypes = {ads::TAdsServerType::Remote};
    con.Username = L"adssys";
    con.CommunicationType = ads::ctAdsUDPIP;
    tb.AdsConnection = &con;
    tb.TableName = TableName;
}

void TfmPelorin::FormCreate() {
    VistaReady::ApplySystemFonts(this);
    SetCaption(vcl::Application->Title());
    mLog->SetAlign(vcl::TAlign::alClient);
    const int adaptedSize = mLog->Font().Size();
    mLog->Font().SetName(L"Consolas");
    mLog->Font().SetSize(adaptedSize + 1);
    mLog->Lines.Clear();
    AddLog(L"Data folder: " + DataFolder);
    AddLog(L"Client folder: " + ClientFolder);
    AddLog(L"Click \"Start\" to perform check.");
}

void TfmPelorin::AddLog(const std::wstring& line) { mLog->Lines.Add(line); }

void TfmPelorin::cmExitClick() { Close(); }

void TfmPelorin::cmStartClick() {
    vcl::Screen->SetCursor(vcl::crHourGlass);
    cmStart->SetEnabled(false);
    cmExit->SetEnabled(false);
    // Once, so that the disabled buttons and the cursor show; the run does
    // not yield again until it has finished.
    vcl::Application->ProcessMessages();
    // Nothing is painted before the run ends anyway, since it does not yield;
    // the log's window takes the lines in one go at the end instead of
    // laying itself out again for every one of them.
    mLog->Lines.BeginUpdate();
    try {
        CheckTestFiles();
        const std::wstring dictionary = DataFolder + L"db\\db.add";
        if (CheckDictionary(dictionary)) {
            ConnectDatabase(dictionary);
            if (con.IsConnected()) CheckTable();
        }
    } catch (const std::exception& error) {
        // Not one of the checks' own errors (memory, say): the log says so and
        // the run still ends properly instead of taking the window with it.
        AddLog(L" ERROR: " + rtl::Utf8ToWide(error.what()));
    }
    Finish();
}

void TfmPelorin::CheckTestFiles() {
    struct TestFile {
        const wchar_t* writeHeading;
        const wchar_t* deleteHeading;
        std::wstring path;
    };
    const TestFile files[] = {
        {L"1. check if data folder is writable", L"2. deleting test file",
         DataFolder + L"testfile.dat"},
        {L"3. check if db folder is writable", L"4. deleting test file",
         DataFolder + L"DB\\testfile.dat"},
    };
    for (const TestFile& file : files) {
        AddLog(file.writeHeading);
        try {
            rtl::WriteAllText(file.path, TestFileText);
            AddLog(L" OK: Test file written.");
        } catch (const rtl::Exception& error) {
            AddLog(L" ERROR: couldn't write to test file \"" + file.path + L"\". Error Message: " +
                   error.Message());
        }
        // Deleted even when writing failed; a deletion the system refused for
        // any reason is reported, never counted as done.
        AddLog(file.deleteHeading);
        try {
            rtl::FileDeleteStrict(file.path);
            AddLog(L" OK: Test file deleted.");
        } catch (const rtl::Exception& error) {
            AddLog(L" ERROR: couldn't delete test file \"" + file.path + L"\". Error Message: " +
                   error.Message());
        }
    }
}

bool TfmPelorin::CheckDictionary(const std::wstring& dictionary) {
    AddLog(L"5. Check if db dictionary exists");
    if (rtl::FileExists(dictionary)) {
        AddLog(L" OK: dictionary exists");
        return true;
    }
    AddLog(L" ERROR: dictionary not found");
    AddLog(L"no further tests possible");
    return false;
}

void TfmPelorin::TryConnect() {
    try {
        con.Connect();
        AddLog(L" OK: database connected");
    } catch (const rtl::Exception& error) {
        AddLog(L" ERROR: couldn't connect, error message: " + error.Message());
    }
}

std::wstring AlternativeConnectPath(const std::wstring& path) {
    const std::wstring server = toolbookprocs::ExtractField(3, path, L' ');
    const size_t at = server.empty() ? std::wstring::npos : path.find(server);
    if (at == std::wstring::npos) return path;
    std::wstring result = path;
    result.insert(at + server.size(), AlternativePort);
    return result;
}

void TfmPelorin::ConnectDatabase(const std::wstring& dictionary) {
    AddLog(L"6. connecting to database");
    con.SetConnectPath(dictionary);
    TryConnect();

    if (!con.IsConnected()) {
        AddLog(L"6a. checking alternative remote connection");
        con.AdsServerTypes = {ads::TAdsServerType::Remote};
        const std::wstring path = con.ConnectPath();
        // Left at the backslash afterwards; nothing reads it again.
        toolbookprocs::SetDefaultDelimiter(L'\\');
        const std::wstring alternative = AlternativeConnectPath(path);
        con.SetConnectPath(alternative);
        AddLog(L"connecting to " + alternative + L" ...");
        TryConnect();
        if (!con.IsConnected()) con.SetConnectPath(path);
    }

    if (!con.IsConnected()) {
        AddLog(L"6b. checking alternative local connection");
        con.AdsServerTypes = {ads::TAdsServerType::Local};
        TryConnect();
    }
}

void TfmPelorin::CheckTable() {
    AddLog(L"7. checking table access (LM_Configuration)");
    try {
        tb.Open();
        AddLog(L" OK: table opened");
    } catch (const rtl::Exception& error) {
        AddLog(L" ERROR: couldn't open table, error message: " + error.Message());
    }
    if (!tb.Active()) return;
    WriteTestRecord();
    BrowseAndDeleteTestRecord();
}

void TfmPelorin::WriteTestRecord() {
    AddLog(L"7a. testinge table writing");
    try {
        tb.Append();
        tb.FieldByName(L"ID").SetAsFloat(TestRecordId);
        tb.FieldByName(L"Key").SetAsString(L"Test");
        tb.Post();
        AddLog(L" OK: data written");
    } catch (const rtl::Exception& error) {
        AddLog(L" ERROR: " + error.Message());
    }
}

void TfmPelorin::BrowseAndDeleteTestRecord() {
    AddLog(L"7b. testinge table browsing");
    try {
        tb.IndexName = L"ID";
        tb.SetKey();
        tb.FieldByName(L"ID").SetAsFloat(TestRecordId);
        if (!tb.GotoKey()) {
            AddLog(L" ERROR: can't browse table");
            return;
        }
        AddLog(L" OK: can browse table");
        AddLog(L"7c. deleting records");
        try {
            tb.Delete();
            AddLog(L" OK: record deleted");
        } catch (const rtl::Exception& error) {
            AddLog(L" ERROR: " + error.Message());
        }
    } catch (const rtl::Exception& error) {
        AddLog(L" ERROR: " + error.Message());
    }
}

void TfmPelorin::Finish() {
    AddLog(L"=== FINISH ===");
    AddLog(L"(log already copied to clipboard)");
    mLog->Lines.EndUpdate();
    CopyLogToClipboard();
    cmExit->SetEnabled(true);
    vcl::Screen->SetCursor(vcl::crDefault);
}

void TfmPelorin::CopyLogToClipboard() {
    // Another program may hold the clipboard open for a moment; after about
    // a second the user is told, so that the last log line is never a lie.
    // Counted in time, not attempts: each attempt waits a little itself.
    constexpr ULONGLONG RetryMs = 1000;
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        try {
            vcl::Clipboard()->SetText(mLog->Text());
            return;
        } catch (const rtl::Exception& error) {
            if (GetTickCount64() - start >= RetryMs) {
                ShowErrorBox(L"The log could not be copied to the clipboard: " + error.Message() +
                                 L"\nThe log is still shown in the window.",
                             0);
                return;
            }
            Sleep(50);
        }
    }
}
