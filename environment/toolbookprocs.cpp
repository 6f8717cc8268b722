#include "environment/toolbookprocs.h"

#include <windows.h>

#include <vector>

#include "environment/OEMDEFS.h"
#include "environment/toolbookprocs_registry.h"
#include "platform/rtl/FileSystem.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Screen.h"

namespace toolbookprocs {

std::wstring ClientFolder;
std::wstring DataFolder;
bool StandAloneMode = false;
rtl::TDateTime LastPumpTime = 0;

namespace {

using registry::ReadTextValue;
using registry::RegistryKey;

// The suite keeps its settings in the 32-bit view of the registry; a 32-bit
// build is in that view already and passes no view flag.
#ifdef _WIN64
constexpr REGSAM SettingsAccess = KEY_READ | KEY_WOW64_32KEY;
#else
constexpr REGSAM SettingsAccess = KEY_READ;
#endif

std::wstring ReadSetting(HKEY hive, const std::wstring& subKey, const std::wstring& valueName,
                         const std::wstring& fallback) {
    RegistryKey key;
    key.Open(hive, L"Software\\" + OEMDEFS::BrandingValues[OEMDEFS::OEMROOTKEY] + L"\\" + subKey,
             SettingsAccess);
    std::wstring result = ReadTextValue(key.get(), valueName);
    if (result.empty()) {
        // Second attempt: the sub-key relative to the key just opened, or to
        // the hive's root when that key does not exist.
        key.Open(key.get() ? key.get() : hive, subKey, SettingsAccess);
        result = ReadTextValue(key.get(), valueName);
    }
    return result.empty() ? fallback : result;
}

constexpr DWORD ConfigBufferSize = 400;

// The folder above the program folder: C:\Kalvora\bin\ gives C:\Kalvora\,
// D:\ gives D:.
std::wstring ParentOfFolder(const std::wstring& folder) {
    if (folder.empty()) return {};
    return rtl::ExtractFilePath(folder.substr(0, folder.size() - 1));
}

void ResolveFromRegistry() {
    using OEMDEFS::BrandingValues;
    const std::wstring& compShort = BrandingValues[OEMDEFS::OEMCOMPSHORT];

    ClientFolder = ReadUserSetting(L"", L"ClientFolder", L"");
    if (ClientFolder.empty()) ClientFolder = ReadMachineSetting(L"", L"ClientFolder", L"");
    if (ClientFolder.empty()) {
        ClientFolder = ReadMachineSetting(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                          L"ProgramFilesDir", L"") +
                       L"\\" + compShort;
    }

    DataFolder = ReadUserSetting(L"", L"DataFolder", L"");
    if (DataFolder.empty()) DataFolder = ReadMachineSetting(L"", L"DataFolder", L"");
    if (DataFolder.empty()) {
        const std::wstring server = ReadMachineSetting(L"", L"DataServer", L"");
        DataFolder = server.empty() ? L"C:\\" + compShort + L"Data\\"
                                    : L"\\\\" + server + L"\\" + compShort + L"$";
    }
}

void ApplyConfigFile(const std::wstring& programFolder) {
    const std::wstring path = programFolder + L"kalvora.cfg";
    if (!rtl::FileExists(path)) return;
    if (ReadConfigValue(L"Config", L"StandAlone", path, L"0") == L"1") {
        StandAloneMode = true;
        ClientFolder = ParentOfFolder(programFolder);
        DataFolder = ClientFolder;
        return;
    }
    const std::wstring client = ReadConfigValue(L"Config", L"ClientFolder", path);
    if (!client.empty()) ClientFolder = client;
    const std::wstring data = ReadConfigValue(L"Config", L"DataFolder", path);
    if (!data.empty()) DataFolder = data;
}

}  // namespace

std::wstring ReadUserSetting(const std::wstring& subKey, const std::wstring& valueName,
                             const std::wstring& fallback) {
    return ReadSetting(HKEY_CURRENT_USER, subKey, valueName, fallback);
}

std::wstring ReadMachineSetting(const std::wstring& subKey, const std::wstring& valueName,
                                const std::wstring& fallback) {
    return ReadSetting(HKEY_LOCAL_MACHINE, subKey, valueName, fallback);
}

std::wstring ReadConfigValue(const std::wstring& section, const std::wstring& key,
                             const std::wstring& fileName, const std::wstring& fallback) {
    wchar_t buffer[ConfigBufferSize] = {};
    GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer, ConfigBufferSize,
                             fileName.c_str());
    std::wstring value(buffer);
    return value.empty() ? fallback : value;
}

void InitFoldersFor(const std::wstring& programPath) {
    StandAloneMode = false;
    ClientFolder.clear();
    DataFolder.clear();

    // The registry is read in every case, also when the configuration file
    // replaces both folders afterwards.
    ResolveFromRegistry();
    ApplyConfigFile(rtl::ExtractFilePath(programPath));
    ChooseTempFolder();

    ClientFolder = AddTrailingDelimiter(ClientFolder);
    DataFolder = AddTrailingDelimiter(DataFolder);
    // Without a temporary path there is no workspace; a lone "\" would name
    // the root of the current drive.
    if (!TempFolder.empty()) TempFolder = AddTrailingDelimiter(TempFolder);

    if (!StandAloneMode) PublishFolderVariables();
    if (!TempFolder.empty()) EnsureFolder(TempFolder);
}

void InitFolders() { InitFoldersFor(vcl::Application->ExeName()); }

void Initialize() {
    LastPumpTime = rtl::Now();
    DefaultDelimiter = L',';
    rtl::FormatSettings.ShortTimeFormat = L"hh:mm:ss";
    rtl::FormatSettings.TimeSeparator = L':';
    InitFolders();
    vcl::Screen->SetCursorHandle(vcl::crHandPoint, LoadCursorW(nullptr, IDC_HAND));
}

void Finalize() {
    RemoveWorkspace();
    TempFolder.clear();
    ClientFolder.clear();
    DataFolder.clear();
    StandAloneMode = false;
}

}  // namespace toolbookprocs
