// Where the client and data folders come from: registry, kalvora.cfg and the
// built-in defaults, against the real registry (sandboxed) and real INI files.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "environment/OEMDEFS.h"
#include "environment/toolbookprocs.h"
#include "tests/support/TestSupport.h"

using namespace toolbookprocs;
using testsupport::RegistrySandbox;

namespace {

const wchar_t MakerKey[] = L"Software\\Kalvora";
const wchar_t WindowsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

struct Setting {
    HKEY hive;
    std::wstring key;
    std::wstring name;
    std::wstring value;
    DWORD type = REG_SZ;
};

class FoldersTest : public ::testing::Test {
protected:
    void SetUp() override { OEMDEFS::BrandingValues = OEMDEFS::DefaultBrandingValues(); }
    void TearDown() override { OEMDEFS::BrandingValues = OEMDEFS::DefaultBrandingValues(); }

    void Store(const std::vector<Setting>& settings) {
        for (const Setting& s : settings)
            RegistrySandbox::SetString(s.hive, s.key, s.name, s.value, s.type);
    }
    // The installation folder; its bin folder holds the program file and
    // kalvora.cfg. Each configuration gets a folder of its own, so no file is
    // ever rewritten under the profile service's cache.
    std::wstring Install() const {
        return scratch_ / (L"case" + std::to_wstring(installs_) + L"\\Kalvora\\");
    }
    void WriteConfig(const std::wstring& text) {
        ++installs_;
        testsupport::MakeFolders(Install() + L"bin");
        testsupport::WriteText(Install() + L"bin\\kalvora.cfg", text);
    }
    // The whole start-up step, workspace and publishing (into the sandbox)
    // included; the workspace goes again at once.
    void Resolve() {
        InitFoldersFor(Install() + L"bin\\Pelorin.exe");
        RemoveWorkspace();
    }

    testsupport::ScratchFolder scratch_;
    int installs_ = 0;
};

struct PrecedenceCase {
    const char* name;
    std::vector<Setting> settings;
    std::wstring expectedClient;
    std::wstring expectedData;
};

TEST_F(FoldersTest, RegistryPrecedenceAndDefaults) {
    const HKEY U = HKEY_CURRENT_USER, M = HKEY_LOCAL_MACHINE;
    const std::vector<PrecedenceCase> cases = {
        {"nothing stored: empty ProgramFilesDir and drive C default",
         {},
         L"\\Kalvora\\",
         L"C:\\KalvoraData\\"},
        {"ProgramFilesDir default",
         {{M, WindowsKey, L"ProgramFilesDir", L"C:\\Program Files"}},
         L"C:\\Program Files\\Kalvora\\",
         L"C:\\KalvoraData\\"},
        {"DataServer share, used verbatim",
         {{M, MakerKey, L"DataServer", L"srv01"}},
         L"\\Kalvora\\",
         L"\\\\srv01\\Kalvora$\\"},
        {"user beats machine",
         {{U, MakerKey, L"ClientFolder", L"D:\\UserClient"},
          {M, MakerKey, L"ClientFolder", L"D:\\MachineClient"},
          {U, MakerKey, L"DataFolder", L"D:\\UserData\\"},
          {M, MakerKey, L"DataFolder", L"D:\\MachineData"}},
         L"D:\\UserClient\\",
         L"D:\\UserData\\"},
        {"empty user value counts as missing",
         {{U, MakerKey, L"DataFolder", L""}, {M, MakerKey, L"DataFolder", L"\\\\srv\\data"}},
         L"\\Kalvora\\",
         L"\\\\srv\\data\\"},
        {"machine value beats DataServer",
         {{M, MakerKey, L"DataFolder", L"E:\\Data"}, {M, MakerKey, L"DataServer", L"srv01"}},
         L"\\Kalvora\\",
         L"E:\\Data\\"},
        {"second attempt finds the value at the hive's root when the maker key is missing",
         {{U, L"", L"ClientFolder", L"F:\\RootClient"}},
         L"F:\\RootClient\\",
         L"C:\\KalvoraData\\"},
        {"root value is not read when the maker key exists without the value",
         {{U, L"", L"ClientFolder", L"F:\\RootClient"},
          {U, MakerKey, L"Other", L"x"},
          {M, MakerKey, L"ClientFolder", L"G:\\MachineClient"}},
         L"G:\\MachineClient\\",
         L"C:\\KalvoraData\\"},
        {"REG_EXPAND_SZ is used unexpanded",
         {{U, MakerKey, L"ClientFolder", L"%SystemDrive%\\Kalvora", REG_EXPAND_SZ}},
         L"%SystemDrive%\\Kalvora\\",
         L"C:\\KalvoraData\\"},
        {"a value ending in a slash gets a backslash after it",
         {{U, MakerKey, L"ClientFolder", L"C:/Kalvora/"}},
         L"C:/Kalvora/\\",
         L"C:\\KalvoraData\\"},
    };
    for (const PrecedenceCase& c : cases) {
        SCOPED_TRACE(c.name);
        RegistrySandbox registry;  // a fresh registry for each case
        Store(c.settings);
        Resolve();
        EXPECT_EQ(ClientFolder, c.expectedClient);
        EXPECT_EQ(DataFolder, c.expectedData);
        EXPECT_FALSE(StandAloneMode);
    }
}

TEST_F(FoldersTest, ValuesOfOtherTypesCountAsMissing) {
    const DWORD number = 42;
    const BYTE bytes[] = {'C', 0, ':', 0};
    const wchar_t multi[] = L"C:\\One\0C:\\Two\0";
    const unsigned long long qword = 7;
    struct Raw {
        DWORD type;
        const void* data;
        DWORD size;
    };
    const Raw raws[] = {{REG_DWORD, &number, sizeof(number)},
                        {REG_BINARY, bytes, sizeof(bytes)},
                        {REG_MULTI_SZ, multi, sizeof(multi)},
                        {REG_QWORD, &qword, sizeof(qword)},
                        {REG_NONE, bytes, sizeof(bytes)}};
    for (const Raw& raw : raws) {
        SCOPED_TRACE("registry type " + std::to_string(raw.type));
        RegistrySandbox registry;
        RegistrySandbox::SetRaw(HKEY_CURRENT_USER, MakerKey, L"ClientFolder", raw.type, raw.data,
                                raw.size);
        RegistrySandbox::SetString(HKEY_LOCAL_MACHINE, MakerKey, L"ClientFolder", L"H:\\Machine");
        RegistrySandbox::SetRaw(HKEY_LOCAL_MACHINE, MakerKey, L"DataServer", raw.type, raw.data,
                                raw.size);
        Resolve();
        EXPECT_EQ(ClientFolder, L"H:\\Machine\\");
        EXPECT_EQ(DataFolder, L"C:\\KalvoraData\\");
    }
}

TEST_F(FoldersTest, LongAndUnterminatedTextValuesAreReadWhole) {
    RegistrySandbox registry;
    const std::wstring huge(32 * 1024, L'x');  // 64 KiB of UTF-16
    RegistrySandbox::SetString(HKEY_CURRENT_USER, MakerKey, L"ClientFolder", huge);
    const wchar_t unterminated[] = {L'J', L':', L'\\', L'D'};
    RegistrySandbox::SetRaw(HKEY_CURRENT_USER, MakerKey, L"DataFolder", REG_SZ, unterminated,
                            sizeof(unterminated));
    Resolve();
    EXPECT_EQ(ClientFolder, huge + L"\\");
    EXPECT_EQ(DataFolder, L"J:\\D\\");
}

TEST_F(FoldersTest, BrandingWordsChooseKeyAndDefaults) {
    RegistrySandbox registry;
    RegistrySandbox::SetString(HKEY_CURRENT_USER, L"Software\\Other", L"ClientFolder",
                               L"K:\\Other");
    RegistrySandbox::SetString(HKEY_CURRENT_USER, MakerKey, L"ClientFolder", L"K:\\Kalvora");
    RegistrySandbox::SetString(HKEY_LOCAL_MACHINE, MakerKey, L"DataServer", L"srv02");

    OEMDEFS::BrandingValues[OEMDEFS::OEMROOTKEY] = L"Other";
    Resolve();
    EXPECT_EQ(ClientFolder, L"K:\\Other\\") << "the registry word picks the key";
    EXPECT_EQ(DataFolder, L"C:\\KalvoraData\\") << "DataServer lives under the old key only";

    OEMDEFS::BrandingValues = OEMDEFS::DefaultBrandingValues();
    OEMDEFS::BrandingValues[OEMDEFS::OEMCOMPSHORT] = L"Acme";
    Resolve();
    EXPECT_EQ(ClientFolder, L"K:\\Kalvora\\") << "the short word does not change the key";
    EXPECT_EQ(DataFolder, L"\\\\srv02\\Acme$\\");

    OEMDEFS::BrandingValues[OEMDEFS::OEMCOMPSHORT] = L"";
    RegistrySandbox::SetString(HKEY_LOCAL_MACHINE, MakerKey, L"DataServer", L"");
    Resolve();
    EXPECT_EQ(DataFolder, L"C:\\Data\\");
}

struct ConfigCase {
    const char* name;
    std::wstring config;
    bool standAlone;
    std::wstring expectedClient;  // "<install>" stands for the installation folder
    std::wstring expectedData;
};

TEST_F(FoldersTest, ConfigurationFile) {
    RegistrySandbox registry;
    RegistrySandbox::SetString(HKEY_CURRENT_USER, MakerKey, L"ClientFolder", L"R:\\RegClient");
    RegistrySandbox::SetString(HKEY_CURRENT_USER, MakerKey, L"DataFolder", L"R:\\RegData");
    const std::wstring longValue(450, L'v');
    const std::vector<ConfigCase> cases = {
        {"stand-alone: both folders are the installation folder",
         L"[Config]\r\nStandAlone=1\r\nClientFolder=E:\\Ignored\r\nDataFolder=E:\\Ignored\r\n",
         true, L"<install>", L"<install>"},
        {"StandAlone=yes is not stand-alone",
         L"[Config]\r\nStandAlone=yes\r\nClientFolder=E:\\Suite\r\n", false, L"E:\\Suite\\",
         L"R:\\RegData\\"},
        {"StandAlone=true", L"[Config]\r\nStandAlone=true\r\nDataFolder=E:\\Data\\\r\n", false,
         L"R:\\RegClient\\", L"E:\\Data\\"},
        {"StandAlone=01", L"[Config]\r\nStandAlone=01\r\n", false, L"R:\\RegClient\\",
         L"R:\\RegData\\"},
        {"StandAlone=0 with a client folder only",
         L"[Config]\r\nStandAlone=0\r\nClientFolder=E:\\Suite\r\n", false, L"E:\\Suite\\",
         L"R:\\RegData\\"},
        {"empty values keep the registry's", L"[Config]\r\nClientFolder=\r\nDataFolder=\r\n", false,
         L"R:\\RegClient\\", L"R:\\RegData\\"},
        {"no Config section", L"[Other]\r\nStandAlone=1\r\nClientFolder=E:\\X\r\n", false,
         L"R:\\RegClient\\", L"R:\\RegData\\"},
        {"lower-case section and key", L"[config]\r\nclientfolder=E:\\Lower\r\n", false,
         L"E:\\Lower\\", L"R:\\RegData\\"},
        {"a 450-character value is cut to 399", L"[Config]\r\nDataFolder=" + longValue + L"\r\n",
         false, L"R:\\RegClient\\", longValue.substr(0, 399) + L"\\"},
    };
    for (const ConfigCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteConfig(c.config);
        Resolve();
        const auto expand = [&](const std::wstring& s) {
            return s == L"<install>" ? Install() : s;
        };
        EXPECT_EQ(StandAloneMode, c.standAlone);
        EXPECT_EQ(ClientFolder, expand(c.expectedClient));
        EXPECT_EQ(DataFolder, expand(c.expectedData));
    }
}

TEST_F(FoldersTest, StandAloneInADriveRoot) {
    RegistrySandbox registry;
    // The test script maps drive R: of the Wine prefix to a folder of the
    // build tree, so that a program can sit in a root folder.
    if (GetDriveTypeW(L"R:\\") == DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "no drive R: in this prefix";
    testsupport::WriteText(L"R:\\kalvora.cfg", L"[Config]\r\nStandAlone=1\r\n");
    InitFoldersFor(L"R:\\Pelorin.exe");
    RemoveWorkspace();
    DeleteFileW(L"R:\\kalvora.cfg");
    EXPECT_TRUE(StandAloneMode);
    EXPECT_EQ(ClientFolder, L"R:\\") << "R: gets its trailing backslash back";
    EXPECT_EQ(DataFolder, L"R:\\");
}

TEST(TextHelpers, AddTrailingDelimiterAndUpperCaseText) {
    EXPECT_EQ(AddTrailingDelimiter(L""), L"\\");
    EXPECT_EQ(AddTrailingDelimiter(L"C:\\a"), L"C:\\a\\");
    EXPECT_EQ(AddTrailingDelimiter(L"C:\\a\\"), L"C:\\a\\");
    EXPECT_EQ(AddTrailingDelimiter(L"C:/a/"), L"C:/a/\\");
    EXPECT_EQ(UpperCaseText(L"c:\\kalvora\\bin\\\u00e4\u00df-z{"),
              L"C:\\KALVORA\\BIN\\\u00e4\u00df-Z{");
}

}  // namespace
