// Hostile inputs, gathered in one table: broken registry values, odd files
// beside the program, impossible folders, a client library that is not the
// one expected, a clipboard and a workspace held by another process. Every
// input has one expected outcome (a fallback, a clear message or a defined
// log line); none may crash, hang, delete outside the workspace or lose the
// log. Each case runs the real code in process, or the real Pelorin.exe
// where the case is about start-up or the program as a whole, and the whole
// table is printed at the end with what each input gave.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/Pelorin.MainForm.h"
#include "app/Pelorin.h"
#include "environment/OEMDEFS.h"
#include "environment/toolbookprocs.h"
#include "platform/ads/AceApi.h"
#include "platform/rtl/FileSystem.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "tests/environment/EnvironmentTestSupport.h"
#include "tests/support/CheckRunFixture.h"
#include "tests/support/PelorinProcess.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ace32/StandIn.h"

using testsupport::DialogWatcher;
using testsupport::PathExists;
using testsupport::RegistrySandbox;
using testsupport::ScratchFolder;
using testsupport::StandInWorld;

namespace {

std::string Narrow(const std::wstring& text) { return rtl::WideToUtf8(text); }

// ---- The table -------------------------------------------------------------

struct Row {
    std::string area;
    std::string input;
    std::string expected;
    std::string got;
};

std::vector<Row>& Rows() {
    static std::vector<Row> rows;
    return rows;
}

// Long outcomes are shown by their start and their length, on one line.
std::string Short(const std::string& text) {
    std::string shown = text.size() <= 110 ? text : text.substr(0, 90);
    for (size_t at; (at = shown.find_first_of("\r\n")) != std::string::npos;) {
        shown.replace(at, 1, shown[at] == '\r' ? "\\r" : "\\n");
    }
    return text.size() <= 110 ? shown : shown + "...(" + std::to_string(text.size()) + " bytes)";
}

// One input of the table: what it should give and what it gave.
void Note(const std::string& area, const std::string& input, const std::string& expected,
          const std::string& got) {
    Rows().push_back({area, input, expected, got});
    if (got == expected) return;
    // Outcomes can be tens of thousands of characters long: show where
    // they part.
    size_t at = 0;
    while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
    const size_t from = at < 60 ? 0 : at - 60;
    ADD_FAILURE() << area << ": " << input << "\n  outcomes part at byte " << at << " of "
                  << expected.size() << " expected, " << got.size() << " got\n  expected ..."
                  << expected.substr(from, 160) << "\n  got      ..." << got.substr(from, 160);
}

class PrintTable : public ::testing::Environment {
public:
    void TearDown() override {
        size_t matched = 0;
        std::printf("\nHostile inputs (%zu tried)\n", Rows().size());
        for (const Row& row : Rows()) {
            const bool ok = row.got == row.expected;
            matched += ok ? 1 : 0;
            std::printf("  [%s] %-10s %s\n      -> %s\n", ok ? "ok" : "FAULT", row.area.c_str(),
                        row.input.c_str(), Short(row.got).c_str());
            if (!ok) std::printf("      expected %s\n", Short(row.expected).c_str());
        }
        std::printf("Hostile inputs: %zu tried, %zu gave the expected outcome, %zu did not\n\n",
                    Rows().size(), matched, Rows().size() - matched);
        std::fflush(stdout);
    }
};

[[maybe_unused]] ::testing::Environment* const printTable =
    ::testing::AddGlobalTestEnvironment(new PrintTable);

// What an operation gave: its own outcome, or the error that left it.
std::string Outcome(const std::function<std::string()>& operation) {
    try {
        return operation();
    } catch (const rtl::Exception& error) {
        return "raised: " + Narrow(error.Message());
    } catch (const std::exception& error) {
        return std::string("raised: ") + error.what();
    }
}

std::string Boxes(const std::vector<testsupport::SeenDialog>& seen) {
    if (seen.empty()) return "no box";
    std::string text;
    for (const auto& box : seen) {
        text += (text.empty() ? "box " : " | box ") + std::to_string(box.helpContext) + " \"" +
                Narrow(box.text) + "\"";
    }
    return text;
}

// ---- A second process that holds something ---------------------------------

std::wstring HolderExe() { return testsupport::WindowsPathOfUnixPath(HOSTILE_HOLDER_EXE); }

// Starts hostile_holder and waits until it holds; lets it go on Release or
// when the object goes.
class Holder {
public:
    Holder(const std::wstring& kind, const std::wstring& target, DWORD maxMs) {
        static int counter = 0;
        const std::wstring tag =
            std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
        const std::wstring readyName = L"PelorinHostileReady-" + tag;
        const std::wstring releaseName = L"PelorinHostileRelease-" + tag;
        ready_ = CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
        release_ = CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str());
        std::wstring commandLine = L"\"" + HolderExe() + L"\" " + kind + L" \"" + target + L"\" " +
                                   readyName + L" " + releaseName + L" " + std::to_wstring(maxMs);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(HolderExe().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &startup, &process_)) {
            ADD_FAILURE() << "cannot start the holder: error " << GetLastError();
            return;
        }
        const HANDLE either[] = {ready_, process_.hProcess};
        holding_ = WaitForMultipleObjects(2, either, FALSE, 20000) == WAIT_OBJECT_0;
        EXPECT_TRUE(holding_) << "the holder did not get hold of " << Narrow(target);
    }
    ~Holder() {
        Release();
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    bool Holding() const { return holding_; }
    // Lets go and waits until the holder has ended.
    void Release() {
        SetEvent(release_);
        if (process_.hProcess) {
            WaitForSingleObject(process_.hProcess, 20000);
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
            process_ = {};
        }
    }
    // True when the holder has ended on its own.
    bool Ended(DWORD timeoutMs) const {
        return process_.hProcess &&
               WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
    }

private:
    HANDLE ready_ = nullptr;
    HANDLE release_ = nullptr;
    PROCESS_INFORMATION process_{};
    bool holding_ = false;
};

// ---- Registry ----------------------------------------------------------------

const wchar_t MakerKey[] = L"Software\\Kalvora";
const wchar_t WindowsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const wchar_t EnvironmentKey[] = L"Environment";

// A program file in a folder without kalvora.cfg: the registry decides.
class RegistryInputs : public ::testing::Test {
protected:
    void SetUp() override { OEMDEFS::BrandingValues = OEMDEFS::DefaultBrandingValues(); }
    void TearDown() override { toolbookprocs::Finalize(); }

    std::string Folders() {
        return Outcome([&] {
            toolbookprocs::InitFoldersFor(scratch_ / L"Kalvora\\bin\\Pelorin.exe");
            toolbookprocs::RemoveWorkspace();
            return "client=" + Narrow(toolbookprocs::ClientFolder) +
                   " data=" + Narrow(toolbookprocs::DataFolder);
        });
    }

    ScratchFolder scratch_;
};

// A stored user variable as the registry holds it: type, text up to the
// first NUL, and whether the data ends in one.
std::string StoredVariable(const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, EnvironmentKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return "no Environment key";
    }
    DWORD type = 0, size = 0;
    std::string result = "none";
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> data(size + sizeof(wchar_t), 0);
        RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
        const auto* chars = reinterpret_cast<const wchar_t*>(data.data());
        const bool terminated =
            size >= sizeof(wchar_t) && chars[size / sizeof(wchar_t) - 1] == L'\0';
        result = (type == REG_SZ ? "REG_SZ \"" : "type " + std::to_string(type) + " \"") +
                 Narrow(chars) + "\"" + (terminated ? "" : " without NUL");
    }
    RegCloseKey(key);
    return result;
}

struct RawValue {
    const char* name;
    DWORD type;
    std::vector<BYTE> bytes;
};

template <class T>
std::vector<BYTE> BytesOf(const T* data, size_t size) {
    const auto* bytes = reinterpret_cast<const BYTE*>(data);
    return std::vector<BYTE>(bytes, bytes + size);
}

// Values of every type but text; the byte kinds hold text so that a reader
// that ignored the type would take them.
std::vector<RawValue> NonTextValues() {
    const DWORD number = 42;
    const unsigned long long qword = 0x3A0043;  // "C:" as UTF-16, if misread
    const wchar_t text[] = L"Q:\\Misread";
    const wchar_t multi[] = L"Q:\\One\0Q:\\Two\0";
    return {{"REG_DWORD", REG_DWORD, BytesOf(&number, sizeof number)},
            {"REG_BINARY", REG_BINARY, BytesOf(text, sizeof text)},
            {"REG_MULTI_SZ", REG_MULTI_SZ, BytesOf(multi, sizeof multi)},
            {"REG_QWORD", REG_QWORD, BytesOf(&qword, sizeof qword)},
            {"REG_NONE", REG_NONE, BytesOf(text, sizeof text)}};
}

// Where a hostile value is put, the next source the program must fall back
// to, and what the outcome must then be.
struct Place {
    const char* name;
    HKEY hive;
    const wchar_t* key;
    const wchar_t* value;
    std::function<void()> nextSource;
    std::string fallback;
};

const HKEY User = HKEY_CURRENT_USER;
const HKEY Machine = HKEY_LOCAL_MACHINE;

std::vector<Place> PlacesTheProgramReads() {
    const auto set = [](HKEY hive, const wchar_t* key, const wchar_t* name, const wchar_t* value) {
        return [=] { RegistrySandbox::SetString(hive, key, name, value); };
    };
    return {
        {"HKCU ClientFolder", User, MakerKey, L"ClientFolder",
         set(Machine, MakerKey, L"ClientFolder", L"H:\\Machine"),
         "client=H:\\Machine\\ data=C:\\KalvoraData\\"},
        {"HKLM ClientFolder", Machine, MakerKey, L"ClientFolder",
         set(Machine, WindowsKey, L"ProgramFilesDir", L"C:\\PF"),
         "client=C:\\PF\\Kalvora\\ data=C:\\KalvoraData\\"},
        {"HKLM ProgramFilesDir", Machine, WindowsKey, L"ProgramFilesDir", [] {},
         "client=\\Kalvora\\ data=C:\\KalvoraData\\"},
        {"HKCU DataFolder", User, MakerKey, L"DataFolder",
         set(Machine, MakerKey, L"DataFolder", L"H:\\MData"),
         "client=\\Kalvora\\ data=H:\\MData\\"},
        {"HKLM DataFolder", Machine, MakerKey, L"DataFolder",
         set(Machine, MakerKey, L"DataServer", L"srv01"),
         "client=\\Kalvora\\ data=\\\\srv01\\Kalvora$\\"},
        {"HKLM DataServer", Machine, MakerKey, L"DataServer", [] {},
         "client=\\Kalvora\\ data=C:\\KalvoraData\\"},
    };
}

TEST_F(RegistryInputs, ValuesOfEveryOtherTypeCountAsMissingWhereverTheProgramReads) {
    for (const Place& place : PlacesTheProgramReads()) {
        for (const RawValue& raw : NonTextValues()) {
            RegistrySandbox registry;
            RegistrySandbox::SetRaw(place.hive, place.key, place.value, raw.type, raw.bytes.data(),
                                    static_cast<DWORD>(raw.bytes.size()));
            place.nextSource();
            Note("registry", std::string(raw.name) + " as " + place.name,
                 "falls back: " + place.fallback, "falls back: " + Folders());
        }
    }
    // The user's variables: a value that is not text never passes for equal,
    // so the folder is written over it as plain text.
    for (const wchar_t* variable : {L"KalvoraClient", L"KalvoraData"}) {
        for (const RawValue& raw : NonTextValues()) {
            RegistrySandbox registry;
            RegistrySandbox::SetString(User, MakerKey, L"ClientFolder", L"H:\\Client");
            RegistrySandbox::SetString(User, MakerKey, L"DataFolder", L"H:\\Data");
            RegistrySandbox::SetRaw(User, EnvironmentKey, variable, raw.type, raw.bytes.data(),
                                    static_cast<DWORD>(raw.bytes.size()));
            const std::string started = Folders();
            const bool client = std::wstring(variable) == L"KalvoraClient";
            Note("registry", std::string(raw.name) + " as HKCU\\Environment " + Narrow(variable),
                 std::string("rewritten: REG_SZ \"") + (client ? "H:\\Client" : "H:\\Data") + "\"",
                 "rewritten: " + StoredVariable(variable) +
                     (started.rfind("raised", 0) == 0 ? " / " + started : ""));
        }
    }
}

TEST_F(RegistryInputs, LongAndUnterminatedTextIsReadWhole) {
    const std::wstring huge(32 * 1024, L'x');  // 64 KiB of UTF-16
    const wchar_t unterminated[] = {L'J', L':', L'\\', L'D'};
    {
        RegistrySandbox registry;
        RegistrySandbox::SetString(User, MakerKey, L"ClientFolder", huge);
        RegistrySandbox::SetRaw(User, MakerKey, L"DataFolder", REG_SZ, unterminated,
                                sizeof unterminated);
        Note("registry", "64 KiB REG_SZ as HKCU ClientFolder, DataFolder without NUL",
             "client=" + Narrow(huge) + "\\ data=J:\\D\\", Folders());
    }
    {
        RegistrySandbox registry;
        RegistrySandbox::SetRaw(Machine, MakerKey, L"DataServer", REG_SZ, unterminated,
                                sizeof unterminated);
        RegistrySandbox::SetString(Machine, WindowsKey, L"ProgramFilesDir", huge);
        Note("registry", "64 KiB REG_SZ as ProgramFilesDir, DataServer without NUL",
             "client=" + Narrow(huge) + "\\Kalvora\\ data=\\\\J:\\D\\Kalvora$\\", Folders());
    }
    {
        // A stored variable too long to expand never passes for equal; one
        // without its NUL that equals the folder is left as it is.
        RegistrySandbox registry;
        RegistrySandbox::SetString(User, MakerKey, L"ClientFolder", L"J:\\D");
        RegistrySandbox::SetString(User, MakerKey, L"DataFolder", L"H:\\Data");
        RegistrySandbox::SetString(User, EnvironmentKey, L"KalvoraData", huge);
        RegistrySandbox::SetRaw(User, EnvironmentKey, L"KalvoraClient", REG_SZ, unterminated,
                                sizeof unterminated);
        const std::string started = Folders();
        Note("registry", "64 KiB KalvoraData, KalvoraClient without NUL equal to the folder",
             "data rewritten: REG_SZ \"H:\\Data\", client kept: REG_SZ \"J:\\D\" without NUL",
             "data rewritten: " + StoredVariable(L"KalvoraData") +
                 ", client kept: " + StoredVariable(L"KalvoraClient") +
                 (started.rfind("raised", 0) == 0 ? " / " + started : ""));
    }
}

// Sets a key's DACL: empty (nobody may do anything) or none (everybody may
// do everything). The owner keeps the right to change it back.
LSTATUS SetKeyDacl(HKEY hive, const wchar_t* path, bool denyAll) {
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(hive, path, 0, WRITE_DAC | READ_CONTROL, &key);
    if (status != ERROR_SUCCESS) return status;
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ACL empty;
    InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, denyAll ? &empty : nullptr, FALSE);
    status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
    RegCloseKey(key);
    return status;
}

TEST_F(RegistryInputs, MakersKeyThatCannotBeReadFallsThroughToTheMachine) {
    RegistrySandbox registry;
    RegistrySandbox::SetString(User, MakerKey, L"ClientFolder", L"U:\\Hidden");
    RegistrySandbox::SetString(User, MakerKey, L"DataFolder", L"U:\\Hidden");
    RegistrySandbox::SetString(Machine, MakerKey, L"ClientFolder", L"H:\\Machine");
    RegistrySandbox::SetString(Machine, MakerKey, L"DataFolder", L"H:\\MData");
    ASSERT_EQ(SetKeyDacl(User, MakerKey, true), ERROR_SUCCESS);
    HKEY probe = nullptr;
    const LSTATUS readable = RegOpenKeyExW(User, MakerKey, 0, KEY_READ, &probe);
    if (readable == ERROR_SUCCESS) {
        RegCloseKey(probe);
        SetKeyDacl(User, MakerKey, false);
        GTEST_SKIP() << "Wine opens a key for reading although its DACL grants nothing";
    }
    const std::string got = Folders();
    EXPECT_EQ(SetKeyDacl(User, MakerKey, false), ERROR_SUCCESS)
        << "the sandbox could not be cleaned";
    Note(
        "registry",
        "HKCU Software\\Kalvora present but access denied (error " + std::to_string(readable) + ")",
        "client=H:\\Machine\\ data=H:\\MData\\", got);
}

// ---- Files beside the program ---------------------------------------------------

std::string Utf16WithMark(const std::wstring& text) {
    const std::wstring marked = L"\xFEFF" + text;
    return std::string(reinterpret_cast<const char*>(marked.data()),
                       marked.size() * sizeof(wchar_t));
}

std::string Utf8(const std::wstring& text) { return rtl::WideToUtf8(text); }
std::string Utf8WithMark(const std::wstring& text) { return "\xEF\xBB\xBF" + Utf8(text); }

struct FileCase {
    const char* name;
    std::string bytes;
    std::string expected;
};

class FileInputs : public ::testing::Test {
protected:
    void SetUp() override { OEMDEFS::BrandingValues = OEMDEFS::DefaultBrandingValues(); }
    void TearDown() override {
        OEMDEFS::BrandingValues = OEMDEFS::DefaultBrandingValues();
        toolbookprocs::Finalize();
    }
    // A program folder of its own for each file, so that the profile
    // service never sees one file rewritten.
    std::wstring NewProgramFolder() {
        const std::wstring folder =
            scratch_ / (L"p" + std::to_wstring(++folders_) + L"\\Kalvora\\bin\\");
        testsupport::MakeFolders(folder);
        return folder;
    }
    ScratchFolder scratch_;
    int folders_ = 0;
};

// Non-ASCII text shows whether the encoding was really understood.
const std::wstring Umlauts = L"E:\\D\u00e4t\u00e4\u20ac";

TEST_F(FileInputs, ConfigurationFileInAnyEncodingOrLength) {
    const std::wstring config =
        L"[Config]\r\nClientFolder=" + Umlauts + L"\r\nDataFolder=E:\\Data\r\n";
    const std::wstring longValue(3000, L'v');
    const std::string fromFile = "client=" + Utf8(Umlauts) + "\\ data=E:\\Data\\";
    const FileCase cases[] = {
        {"kalvora.cfg in UTF-16 with a byte-order mark", Utf16WithMark(config), fromFile},
        // Wine's profile reader decodes a UTF-8 mark; Windows reads such a
        // file as ANSI.
        {"kalvora.cfg in UTF-8 with a byte-order mark (decoded as UTF-8 by Wine)",
         Utf8WithMark(config), fromFile},
        {"kalvora.cfg without a final newline", Utf8(L"[Config]\r\nDataFolder=E:\\Tail"),
         "client=R:\\Reg\\ data=E:\\Tail\\"},
        {"kalvora.cfg with a 3000-character value",
         Utf8(L"[Config]\r\nDataFolder=" + longValue + L"\r\n"),
         "client=R:\\Reg\\ data=" + Utf8(longValue.substr(0, 399)) + "\\"},
        {"kalvora.cfg of no bytes", "", "client=R:\\Reg\\ data=R:\\RegData\\"},
        {"kalvora.cfg of binary garbage", std::string("\x00\xFF\x01[Config\x00]=\xFE\r\x00", 13),
         "client=R:\\Reg\\ data=R:\\RegData\\"},
    };
    for (const FileCase& c : cases) {
        RegistrySandbox registry;
        RegistrySandbox::SetString(User, MakerKey, L"ClientFolder", L"R:\\Reg");
        RegistrySandbox::SetString(User, MakerKey, L"DataFolder", L"R:\\RegData");
        const std::wstring folder = NewProgramFolder();
        testsupport::WriteBytes(folder + L"kalvora.cfg", c.bytes);
        Note("files", c.name, c.expected, Outcome([&] {
                 toolbookprocs::InitFoldersFor(folder + L"Pelorin.exe");
                 toolbookprocs::RemoveWorkspace();
                 return "client=" + Narrow(toolbookprocs::ClientFolder) +
                        " data=" + Narrow(toolbookprocs::DataFolder);
             }));
    }
}

TEST_F(FileInputs, BrandingFileInAnyEncodingOrLength) {
    const std::wstring word = L"\u00c4cme\u20ac";
    const std::wstring branding = L"[OEM]\r\nOEMCOMPSHORT=" + word + L"\r\nOEMROOTKEY=Root\r\n";
    const std::wstring longValue(3000, L'w');
    const std::string fromFile = "short=" + Utf8(word) + " root=Root";
    const FileCase cases[] = {
        {"oeminfo.dat in UTF-16 with a byte-order mark", Utf16WithMark(branding), fromFile},
        {"oeminfo.dat in UTF-8 with a byte-order mark (decoded as UTF-8 by Wine)",
         Utf8WithMark(branding), fromFile},
        {"oeminfo.dat without a final newline", Utf8(L"[OEM]\r\nOEMROOTKEY=Tail"),
         "short=Kalvora root=Tail"},
        {"oeminfo.dat with a 3000-character value",
         Utf8(L"[OEM]\r\nOEMCOMPSHORT=" + longValue + L"\r\n"),
         "short=" + Utf8(longValue.substr(0, 2047)) + " root=Kalvora"},
    };
    for (const FileCase& c : cases) {
        OEMDEFS::BrandingValues = OEMDEFS::DefaultBrandingValues();
        const std::wstring folder = NewProgramFolder();
        testsupport::WriteBytes(folder + L"oeminfo.dat", c.bytes);
        Note("files", c.name, c.expected, Outcome([&] {
                 OEMDEFS::LoadBrandingFrom(folder);
                 return "short=" + Narrow(OEMDEFS::BrandingValues[OEMDEFS::OEMCOMPSHORT]) +
                        " root=" + Narrow(OEMDEFS::BrandingValues[OEMDEFS::OEMROOTKEY]);
             }));
    }
}

const std::string RenamedPng =
    "\x89PNG\r\n\x1a\n" + std::string("\0\0\0\rIHDR", 8) + std::string(64, '\0');

TEST_F(FileInputs, IconFilesThatAreNoIconsKeepTheIcon) {
    const FileCase cases[] = {{"oem.ico empty", "", "icon kept"},
                              {"oem.ico of garbage", std::string(300, 'g'), "icon kept"},
                              {"oem.ico a renamed PNG", RenamedPng, "icon kept"}};
    for (const FileCase& c : cases) {
        const std::wstring folder = NewProgramFolder();
        testsupport::WriteBytes(folder + L"oem.ico", c.bytes);
        const HICON before = vcl::Application->Icon();
        Note("files", c.name, c.expected, Outcome([&] {
                 OEMDEFS::LoadBrandingFrom(folder);
                 return std::string(vcl::Application->Icon() == before ? "icon kept"
                                                                       : "icon changed");
             }));
    }
}

// ---- The check run ------------------------------------------------------------

const std::wstring Finished = L"=== FINISH ===|(log already copied to clipboard)";

// What a run on a fresh main window gave.
struct RunResult {
    std::vector<std::wstring> lines;  // after the three opening lines
    bool windowShowsAll = false;      // the memo's window shows every line
    std::vector<testsupport::SeenDialog> boxes;
    std::wstring text;  // the log as the program copies it
    ULONGLONG milliseconds = 0;

    // The lines from the one starting with `from`, joined by '|'.
    std::wstring From(const std::wstring& from) const {
        std::wstring joined;
        bool on = false;
        for (const std::wstring& line : lines) {
            on = on || line.rfind(from, 0) == 0;
            if (on) joined += (joined.empty() ? L"" : L"|") + line;
        }
        return joined;
    }
};

class CheckRunInputs : public testsupport::CheckRunFixture {
protected:
    // A library folder of its own for each case: a loaded DLL cannot be
    // replaced.
    std::wstring LibraryFolder() {
        ads::ace::FreeClientLibrary();
        libraries_.push_back(std::make_unique<ScratchFolder>());
        EXPECT_TRUE(SetDllDirectoryW(libraries_.back()->Path().c_str()));
        return libraries_.back()->Path();
    }

    RunResult RunChecks(const std::wstring& dataFolder) {
        toolbookprocs::DataFolder = dataFolder;
        RunResult run;
        DialogWatcher boxes;
        auto form = std::make_unique<TfmPelorin>();
        form->DoCreate();
        const HWND memo = form->mLog->Handle();
        // A message-only window: the run keeps this thread busy for seconds,
        // and other test programs that broadcast a settings change would
        // wait for every top-level window that does not answer.
        SetParent(form->Handle(), HWND_MESSAGE);
        const ULONGLONG start = GetTickCount64();
        form->cmStartClick();
        run.milliseconds = GetTickCount64() - start;
        for (int i = 3; i < form->mLog->Lines.Count(); ++i)
            run.lines.push_back(form->mLog->Lines[i]);
        run.text = form->mLog->Text();
        // The window shows the lines joined, without a final line break.
        run.windowShowsAll = testsupport::ControlText(memo) + L"\r\n" == run.text;
        run.boxes = boxes.Seen();
        return run;
    }

    std::vector<std::unique_ptr<ScratchFolder>> libraries_;
};

// The outcome of a run as one line of the table: its lines from `from` on,
// whether the window kept them all, and its boxes.
std::string Summary(const RunResult& run, const std::wstring& from) {
    return Narrow(run.From(from)) + (run.windowShowsAll ? "" : " [window lost lines]") + " / " +
           Boxes(run.boxes);
}

std::wstring WriteError(const std::wstring& path, const std::wstring& message) {
    return L" ERROR: couldn't write to test file \"" + path + L"\". Error Message: " + message;
}
std::wstring DeleteError(const std::wstring& path, const std::wstring& message) {
    return L" ERROR: couldn't delete test file \"" + path + L"\". Error Message: " + message;
}

// The system's text for a library that would not load, with the file's name
// in place of its insert, as the program reports it.
std::wstring LoadFailure(DWORD code) {
    std::wstring text = rtl::SysErrorMessage(code);
    for (size_t at; (at = text.find(L"%1")) != std::wstring::npos;)
        text.replace(at, 2, L"ace32.dll");
    return text;
}

// A drive letter that names no drive here.
std::wstring MissingDrive() {
    for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter) {
        const std::wstring root = std::wstring(1, letter) + L":\\";
        if (GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR) return root;
    }
    return {};
}

// A data folder whose test file A path is exactly `length` characters.
std::wstring DataFolderForPathLength(const ScratchFolder& scratch, size_t length) {
    const size_t folderLength = length - std::wstring(L"testfile.dat").size();
    const std::wstring base = scratch.Path();
    std::wstring folder = base + std::wstring(folderLength - base.size() - 1, L'f') + L"\\";
    // No DB folder: its test file's path is too long before any folder
    // could matter.
    testsupport::MakeFolders(folder);
    return folder;
}

TEST_F(CheckRunInputs, DataFoldersThatCannotHoldTheTestFiles) {
    LibraryFolder();  // no library: the run ends at the dictionary anyway
    const std::wstring notFound = L"The specified path was not found";
    const std::wstring tooLong = L"The specified path is too long";
    const std::wstring invalid = L"Invalid characters in path";
    const std::wstring noDictionary =
        L" ERROR: dictionary not found|no further tests possible|" + Finished;

    const auto fileSteps = [](const std::wstring& folder, const std::wstring& messageA,
                              const std::wstring& messageB) {
        const std::wstring a = folder + L"testfile.dat", b = folder + L"DB\\testfile.dat";
        return L"1. check if data folder is writable|" +
               (messageA.empty()
                    ? L" OK: Test file written.|2. deleting test file| OK: Test file deleted."
                    : WriteError(a, messageA) + L"|2. deleting test file|" +
                          DeleteError(a, messageA)) +
               L"|3. check if db folder is writable|" + WriteError(b, messageB) +
               L"|4. deleting test file|" + DeleteError(b, messageB) +
               L"|5. Check if db dictionary exists|";
    };

    const std::wstring aFile = data_ / L"iamafile";
    testsupport::WriteText(aFile, L"keep me");
    const std::wstring drive = MissingDrive();
    ASSERT_FALSE(drive.empty()) << "every drive letter from Q to Y is taken";
    ScratchFolder deep259, deep260;
    const std::wstring folder259 = DataFolderForPathLength(deep259, 259);
    const std::wstring folder260 = DataFolderForPathLength(deep260, 260);
    ASSERT_EQ((folder259 + L"testfile.dat").size(), 259u);
    ASSERT_EQ((folder260 + L"testfile.dat").size(), 260u);
    const std::wstring withBar = data_ / L"Da|ta\\";

    struct Case {
        std::string name;
        std::wstring folder;
        std::wstring expected;
    } cases[] = {
        {"data folder that is a file", aFile + L"\\",
         fileSteps(aFile + L"\\", notFound, notFound) + noDictionary},
        {"data folder on a drive that does not exist (" + Narrow(drive) + ")", drive + L"Data\\",
         fileSteps(drive + L"Data\\", notFound, notFound) + noDictionary},
        {"data folder with invalid characters (|)", withBar,
         fileSteps(withBar, invalid, invalid) + noDictionary},
        {"test file path of exactly 259 characters", folder259,
         fileSteps(folder259, L"", tooLong) + noDictionary},
        {"test file path of exactly 260 characters", folder260,
         fileSteps(folder260, tooLong, tooLong) + noDictionary},
    };
    for (const Case& c : cases) {
        const RunResult run = RunChecks(c.folder);
        Note("folders", c.name, Narrow(c.expected) + " / no box",
             Summary(run, L"1. check if data folder is writable"));
    }
    EXPECT_EQ(testsupport::ReadBytes(aFile), "keep me")
        << "the file in the data folder's place was touched";
    EXPECT_FALSE(PathExists(folder259 + L"testfile.dat"));
}

TEST_F(CheckRunInputs, ClientLibrariesThatAreNotTheOneExpected) {
    const std::wstring connectError = L" ERROR: couldn't connect, error message: ";
    // Every connection attempt fails the same way; the lines from the
    // first attempt on, with the alternative path as the run builds it.
    toolbookprocs::DefaultDelimiter = L'\\';
    const std::wstring alternative = AlternativeConnectPath(Dictionary());
    toolbookprocs::DefaultDelimiter = L',';
    const auto allFail = [&](const std::wstring& message) {
        const std::wstring line = connectError + message;
        return L"6. connecting to database|" + line +
               L"|6a. checking alternative remote connection|connecting to " + alternative +
               L" ...|" + line + L"|6b. checking alternative local connection|" + line + L"|" +
               Finished;
    };

    struct Case {
        std::string name;
        std::function<void(const std::wstring& folder)> install;
        std::wstring from;
        std::wstring expected;
    };
    const std::wstring notLoaded = L"The database client library ace32.dll could not be loaded: ";
    // Words, so that the log can wrap it: one word of 70000 letters takes
    // Wine's edit box a minute to lay out. The client cuts it at the 65535
    // characters its length can say, the stand-in's prefix included.
    std::wstring longText;
    while (longText.size() < 70000) longText += L"y ";
    std::vector<Case> cases = {
        {"ace32.dll that is a text file",
         [](const std::wstring& folder) {
             testsupport::WriteBytes(folder + L"ace32.dll", "not a program\r\n");
         },
         L"6. connecting", allFail(notLoaded + LoadFailure(ERROR_BAD_EXE_FORMAT))},
        {"ace32.dll with an error text that is empty",
         [&](const std::wstring& folder) {
             testsupport::InstallStandIn(folder, StandInWorld().Fail(L"AdsConnect60", 6420, L""));
         },
         L"6. connecting",
         allFail(L"Error 6420 from AdsConnect60: (the client library gave no error text)")},
        {"ace32.dll whose error text on opening the table is 70000 characters, longer than any "
         "buffer",
         [&](const std::wstring& folder) {
             testsupport::InstallStandIn(folder,
                                         RemoteWorld().Fail(L"AdsOpenTable", 7008, longText));
         },
         L"7. checking",
         L"7. checking table access (LM_Configuration)| ERROR: couldn't open table, error message: "
         L"Error 7008 from "
         L"AdsOpenTable: Stand-in ace32: " +
             longText.substr(0, 65535 - 16) + L"|" + Finished},
        {"ace32.dll missing the entry point AdsDeleteRecord",
         [&](const std::wstring& folder) {
             testsupport::InstallStandIn(folder, RemoteWorld(), testsupport::StandInDllLacking());
         },
         L"7c.", L""},
    };
#ifdef HOSTILE_X86_DLL
    cases.push_back({"ace32.dll built for 32-bit Windows (the test build is 64-bit)",
                     [](const std::wstring& folder) {
                         CopyFileW(testsupport::WindowsPathOfUnixPath(HOSTILE_X86_DLL).c_str(),
                                   (folder + L"ace32.dll").c_str(), FALSE);
                     },
                     L"6. connecting", allFail(notLoaded + LoadFailure(ERROR_BAD_EXE_FORMAT))});
#endif
    for (Case& c : cases) {
        const std::wstring folder = LibraryFolder();
        if (c.expected.empty()) {
            c.expected =
                L"7c. deleting records| ERROR: The entry point AdsDeleteRecord is missing from " +
                folder + L"ace32.dll|" + Finished;
        }
        c.install(folder);
        const RunResult run = RunChecks(data_.Path());
        Note("library", c.name, Narrow(c.expected) + " / no box", Summary(run, c.from));
    }
#ifndef HOSTILE_X86_DLL
    GTEST_SKIP() << "no 32-bit compiler was found to build a DLL of the other architecture";
#endif
}

// ---- The clipboard ------------------------------------------------------------

TEST_F(CheckRunInputs, ClipboardHeldByAnotherProcessWhenTheRunFinishes) {
    testsupport::InstallStandIn(LibraryFolder(), RemoteWorld());
    const std::wstring boxText = L"The log could not be copied to the clipboard: OpenClipboard: " +
                                 rtl::SysErrorMessage(ERROR_ACCESS_DENIED) +
                                 L"\nThe log is still shown in the window.";
    // The same run with nobody in the way, to tell how long the program
    // kept trying.
    const ULONGLONG unhindered = RunChecks(data_.Path()).milliseconds;
    {
        testsupport::ClearClipboard();
        Holder holder(L"clipboard", L"-", 30000);
        ASSERT_TRUE(holder.Holding());
        // When the box first shows: the run's own time includes the box's.
        std::atomic<ULONGLONG> boxShown{0};
        std::atomic<bool> stop{false};
        std::thread clock([&] {
            while (!stop && boxShown == 0) {
                if (!testsupport::TopLevelWindowsOf(GetCurrentProcessId(), L"#32770").empty()) {
                    boxShown = GetTickCount64();
                }
                Sleep(10);
            }
        });
        const ULONGLONG started = GetTickCount64();
        const RunResult run = RunChecks(data_.Path());
        stop = true;
        clock.join();
        holder.Release();
        const std::wstring clipboard = testsupport::ClipboardText();
        const long long retried = boxShown == 0 ? -1
                                                : static_cast<long long>(boxShown - started) -
                                                      static_cast<long long>(unhindered);
        std::printf("      (retried for about %lld ms before the box)\n", retried);
        Note("clipboard", "held by another process for longer than the retries",
             "box 0 \"" + Narrow(boxText) +
                 "\", log kept in the window, clipboard without the log, "
                 "retried about a second",
             Boxes(run.boxes) +
                 (run.windowShowsAll && run.From(L"=== FINISH") == Finished
                      ? ", log kept in the window"
                      : ", window lost lines") +
                 (clipboard == run.text ? ", clipboard has the log"
                                        : ", clipboard without the log") +
                 // Wide bounds: the runs compete for the processor.
                 (retried >= 700 && retried <= 2500
                      ? ", retried about a second"
                      : ", retried " + std::to_string(retried) + " ms"));
    }
    {
        testsupport::ClearClipboard();
        // Lets go by itself within a fraction of the time the program waits.
        Holder holder(L"clipboard", L"-", 300);
        ASSERT_TRUE(holder.Holding());
        const RunResult run = RunChecks(data_.Path());
        const std::string clipboard = testsupport::ClipboardText() == run.text
                                          ? "clipboard has the log"
                                          : "clipboard without the log";
        Note("clipboard", "held by another process that lets go after 300 ms",
             "no box, clipboard has the log", Boxes(run.boxes) + ", " + clipboard);
    }
}

// ---- The temporary workspace ---------------------------------------------------

class WorkspaceInputs : public ::testing::Test {
protected:
    ~WorkspaceInputs() override { toolbookprocs::TempFolder.clear(); }
    // A workspace of this run, made the way start-up makes it.
    std::wstring MakeWorkspace() {
        toolbookprocs::TempFolder = temp_ / L"_Kalvora1\\";
        testsupport::MakeFolders(toolbookprocs::TempFolder);
        return toolbookprocs::TempFolder;
    }
    // What removing it left: what is still there, and the boxes it showed.
    std::string RemoveAndDescribe(const std::wstring& workspace,
                                  const std::vector<std::wstring>& mustStay) {
        DialogWatcher boxes;
        const std::string raised = Outcome([] {
            toolbookprocs::RemoveWorkspace();
            return std::string();
        });
        std::string left;
        for (const std::wstring& path : mustStay) {
            left += (left.empty() ? "" : ", ") + Narrow(rtl::ExtractFileName(path)) +
                    (PathExists(path) ? " kept" : " GONE");
        }
        return (PathExists(workspace) ? "workspace left" : "workspace gone") +
               std::string(left.empty() ? "" : ", ") + left + " / " + Boxes(boxes.Seen()) +
               (raised.empty() ? "" : " / " + raised);
    }

    ScratchFolder scratch_;
    ScratchFolder temp_;
    envtest::SeamsRestored seams_;
};

TEST_F(WorkspaceInputs, LinkToAFolderOutsideIsNeverFollowed) {
    const std::wstring outside = scratch_ / L"outside\\";
    testsupport::MakeFolders(outside + L"inner");
    testsupport::WriteText(outside + L"keep.txt", L"keep");
    testsupport::WriteText(outside + L"inner\\keep2.txt", L"keep");
    const std::wstring workspace = MakeWorkspace();
    testsupport::MakeFolders(workspace + L"sub");
    testsupport::WriteText(workspace + L"sub\\plain.txt", L"x");
    // Wine makes no Windows links (CreateSymbolicLinkW and junctions fail);
    // a Unix symbolic link is what it shows as one.
    if (!envtest::MakeUnixSymlink(outside, workspace + L"sub\\", L"outsidelink")) {
        GTEST_SKIP() << "no Unix symbolic link could be made (not under Wine?)";
    }
    const std::string got =
        RemoveAndDescribe(workspace, {outside + L"keep.txt", outside + L"inner\\keep2.txt"});
    // Wine cannot remove a Unix link without going through to its target,
    // so the link and the folders above it stay.
    Note("workspace", "a link in the workspace to a folder outside it",
         "workspace left, keep.txt kept, keep2.txt kept / no box", got);
    EXPECT_FALSE(PathExists(workspace + L"sub\\plain.txt"));
}

TEST_F(WorkspaceInputs, ReadOnlyHiddenNestedTreeGoesWhole) {
    const std::wstring workspace = MakeWorkspace();
    std::wstring folder = workspace;
    for (int depth = 0; depth < 4; ++depth) {
        folder += L"level" + std::to_wstring(depth) + L"\\";
        testsupport::MakeFolders(folder);
        for (const wchar_t* name : {L"a.txt", L"b.txt"}) {
            testsupport::WriteText(folder + name, L"x");
            SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_READONLY |
                                                            FILE_ATTRIBUTE_HIDDEN |
                                                            FILE_ATTRIBUTE_SYSTEM);
        }
    }
    // The folders read-only too, deepest first.
    for (std::wstring f = folder; f.size() > workspace.size();
         f = rtl::ExtractFilePath(f.substr(0, f.size() - 1))) {
        SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    Note("workspace", "a read-only, hidden, system tree four folders deep",
         "workspace gone / no box", RemoveAndDescribe(workspace, {}));
}

TEST_F(WorkspaceInputs, FileHeldWithDeleteSharingIsGivenUpAfterFourSeconds) {
    const std::wstring workspace = MakeWorkspace();
    testsupport::MakeFolders(workspace + L"sub");
    testsupport::WriteText(workspace + L"sub\\held.txt", L"x");
    testsupport::WriteText(workspace + L"other.txt", L"x");
    // The deletion is accepted but the file stays while the other process
    // keeps its handle.
    Holder holder(L"file-delete-sharing", workspace + L"sub\\held.txt", 30000);
    ASSERT_TRUE(holder.Holding());
    const ULONGLONG start = GetTickCount64();
    const std::string got = RemoveAndDescribe(workspace, {workspace + L"sub\\held.txt"});
    const ULONGLONG elapsed = GetTickCount64() - start;
    holder.Release();
    Note("workspace", "a file held open, delete sharing allowed, by another process",
         "workspace left, held.txt kept / box 11 \"Couldn't delete file \"" + Narrow(workspace) +
             "sub\\held.txt\"!\"",
         got);
    EXPECT_LT(elapsed, 15000u) << "the retries did not end";
}

// ---- The real program --------------------------------------------------------

constexpr wchar_t Title[] = L"Kalvora Pelorin";
constexpr DWORD TimeoutMs = 30000;

// Starts Pelorin.exe and reports how its start-up went: the main window's
// opening log lines, or the boxes it showed, and its exit code once closed.
std::string StartAndClose(const std::wstring& exe, const std::function<void()>& whileOpen = {}) {
    testsupport::PelorinProcess program(exe);
    DialogWatcher watcher(program.Id());
    HWND window = nullptr;
    DWORD exitCode = 0xFFFF;
    bool ended = false;
    const ULONGLONG start = GetTickCount64();
    while (!window && !ended && GetTickCount64() - start < TimeoutMs) {
        window = program.WaitForWindow(Title, 25);
        ended = program.WaitForExit(0, exitCode);
    }
    std::string got;
    if (window) {
        const HWND memo = testsupport::FindChild(window, L"Edit", L"");
        const std::wstring text = memo ? testsupport::ControlText(memo) : L"";
        got = "main window, log \"" + Narrow(text.substr(0, text.find(L"\r\nClick"))) + "\"";
        if (whileOpen) whileOpen();
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (!ended) ended = program.WaitForExit(TimeoutMs, exitCode);
    // Boxes at the end of the run come after the window has gone.
    Sleep(200);
    got += (got.empty() ? "" : ", ") + Boxes(watcher.Seen());
    got += ended ? ", exit " + std::to_string(exitCode) : ", did not end";
    return got;
}

class RealProgram : public ::testing::Test {
protected:
    // A fresh installation for each case, so that no file is rewritten.
    std::wstring Install() const {
        return scratch_ / (L"i" + std::to_wstring(installs_) + L"\\Kalvora\\");
    }
    std::wstring Exe() const { return Install() + L"bin\\Pelorin.exe"; }
    void InstallWith(const std::string& config) {
        testsupport::InstallPelorinAt(Exe());
        testsupport::WriteBytes(Install() + L"bin\\kalvora.cfg", config);
    }
    // The main window with the stand-alone installation's folders.
    std::string OpenedStandAlone() const {
        return "main window, log \"Data folder: " + Narrow(Install()) +
               "\r\nClient folder: " + Narrow(Install()) + "\"";
    }

    ScratchFolder scratch_;
    int installs_ = 0;
    ScratchFolder temp_;
    envtest::TempPathOverride tmp_{temp_.Path()};
    envtest::SavedUserVariable client_{L"KalvoraClient"};
    envtest::SavedUserVariable data_{L"KalvoraData"};
};

TEST_F(RealProgram, FilesBesideTheProgramAtStartUp) {
    const std::wstring standAlone = L"[Config]\r\nStandAlone=1\r\n";
    struct Case {
        const char* name;
        std::string config;
        const char* iconName;
        std::string icon;
        std::string branding;
    } cases[] = {
        {"kalvora.cfg in UTF-16 with a byte-order mark", Utf16WithMark(standAlone), nullptr, "",
         ""},
        {"kalvora.cfg in UTF-8 with a byte-order mark", Utf8WithMark(standAlone), nullptr, "", ""},
        {"kalvora.cfg without a final newline", "[Config]\r\nStandAlone=1", nullptr, "", ""},
        {"oem.ico empty", Utf8(standAlone), "oem.ico", "", ""},
        {"oem.ico of garbage", Utf8(standAlone), "oem.ico", std::string(300, 'g'), ""},
        {"oem.ico a renamed PNG", Utf8(standAlone), "oem.ico", RenamedPng, ""},
        {"oeminfo.dat in UTF-16 with 3000-character values", Utf8(standAlone), nullptr, "",
         Utf16WithMark(L"[OEM]\r\nOEMCOMPANY=" + std::wstring(3000, L'c') +
                       L"\r\nOEMSUPPORTADDRESS=" + std::wstring(3000, L'a'))},
    };
    for (const Case& c : cases) {
        ++installs_;
        InstallWith(c.config);
        if (c.iconName) testsupport::WriteBytes(Install() + L"bin\\oem.ico", c.icon);
        if (!c.branding.empty())
            testsupport::WriteBytes(Install() + L"bin\\oeminfo.dat", c.branding);
        Note("start-up", std::string("Pelorin.exe with ") + c.name,
             OpenedStandAlone() + ", no box, exit 0", StartAndClose(Exe()));
    }
}

TEST_F(RealProgram, ClientFolderOfADriveAlone) {
    InstallWith(Utf8(L"[Config]\r\nClientFolder=C:\r\nDataFolder=" + Install() + L"\r\n"));
    Note("start-up", "Pelorin.exe with a client folder of \"C:\"",
         "box 0 \"This tool must be copied to folder \"C:\\bin\".\", exit 0, KalvoraClient REG_SZ "
         "\"C:\"",
         // The variable is read once the program has ended.
         [&] {
             const std::string run = StartAndClose(Exe());
             return run + ", KalvoraClient " + StoredVariable(L"KalvoraClient");
         }());
}

TEST_F(RealProgram, WorkspaceFileHeldByAnotherProcessAtExit) {
    InstallWith("[Config]\r\nStandAlone=1\r\n");
    const std::wstring workspace = temp_ / L"_Kalvora1\\";
    std::unique_ptr<Holder> holder;
    const std::string got = StartAndClose(Exe(), [&] {
        testsupport::MakeFolders(workspace + L"sub");
        testsupport::WriteText(workspace + L"sub\\held.txt", L"x");
        holder = std::make_unique<Holder>(L"file", workspace + L"sub\\held.txt", 60000);
    });
    const bool heldFileKept = PathExists(workspace + L"sub\\held.txt");
    holder.reset();
    Note("workspace", "Pelorin.exe ends while another process holds a file in its workspace",
         OpenedStandAlone() + ", box 0 \"The temporary folder \"" + Narrow(workspace) +
             "\" could not be removed completely: " +
             Narrow(rtl::SysErrorMessage(ERROR_SHARING_VIOLATION)) + "\", exit 0, held file kept",
         got + (heldFileKept ? ", held file kept" : ", held file GONE"));
    toolbookprocs::RemoveFolderTree(workspace, false);
}

}  // namespace
