// The installation environment's publishing of the folders as user
// environment variables, the per-run temporary workspace and its careful
// removal.

#include <windows.h>

#include <cmath>
#include <optional>
#include <vector>

#include "app/mini.dialogs.h"
#include "environment/toolbookprocs.h"
#include "environment/toolbookprocs_registry.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"

namespace toolbookprocs {

std::wstring TempFolder;
rtl::TDateTime (*LocalClock)() = &rtl::Now;
void (*DeleteFileOperation)(const std::wstring& path) = &rtl::FileDelete;

namespace {

constexpr wchar_t EnvironmentKey[] = L"Environment";
constexpr wchar_t ClientVariable[] = L"KalvoraClient";
constexpr wchar_t DataVariable[] = L"KalvoraData";
constexpr wchar_t WorkspacePrefix[] = L"_Kalvora";
constexpr DWORD TempPathBufferSize = 260;
// Including the terminating NUL, so 254 characters of result fit.
constexpr DWORD ExpansionBufferSize = 255;
constexpr size_t MinimumRemovalPathLength = 5;
// Read-only, hidden, system, volume label, folder and archive: everything.
constexpr DWORD AllEntries = 63;
constexpr int KillFilePumpInterval = 500;
constexpr long long KillFileGiveUpSeconds = 4;
constexpr int KillFileHelpContext = 11;

// The stored value expanded, or nothing when the expansion does not fit, so
// that such a value never passes for equal.
std::optional<std::wstring> ExpandedUserVariable(const std::wstring& name) {
    registry::RegistryKey key;
    key.Open(HKEY_CURRENT_USER, EnvironmentKey, KEY_READ);
    const std::wstring stored = registry::ReadTextValue(key.get(), name);
    wchar_t buffer[ExpansionBufferSize] = {};
    const DWORD needed = ExpandEnvironmentStringsW(stored.c_str(), buffer, ExpansionBufferSize);
    if (needed == 0 || needed > ExpansionBufferSize) return std::nullopt;
    return std::wstring(buffer);
}

std::wstring WithoutTrailingDelimiter(const std::wstring& folder) {
    if (!folder.empty() && folder.back() == L'\\') return folder.substr(0, folder.size() - 1);
    return folder;
}

// True when it wrote.
bool WriteWhenDifferent(const wchar_t* name, const std::optional<std::wstring>& stored,
                        const std::wstring& folder) {
    const std::wstring wanted = WithoutTrailingDelimiter(folder);
    if (stored && *stored == wanted) return false;
    WriteUserVariable(name, wanted);
    return true;
}

// Whole seconds between two moments of the local clock, in either direction.
// Rounded to the millisecond first: the clock has no finer steps, and a
// difference of exactly four seconds must not come out as 3.999...
long long WholeSecondsBetween(rtl::TDateTime a, rtl::TDateTime b) {
    const long long milliseconds = std::llround(std::fabs(a - b) * rtl::MillisecondsPerDay);
    return milliseconds / 1000;
}

bool SamePathIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Where the system really lands when it opens the path, links followed;
// empty when it cannot be opened.
std::wstring FinalPathOf(const std::wstring& path) {
    HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {};
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length =
        GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    if (length >= buffer.size()) {
        buffer.resize(length + 1);
        length =
            GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    }
    CloseHandle(handle);
    if (length == 0 || length >= buffer.size()) return {};
    return std::wstring(buffer.data(), length);
}

// A link is an entry marked as a reparse point, or one that opens somewhere
// other than the folder it is listed in: some systems show links to files
// as plain files. An entry that cannot be opened is taken as it is listed;
// deleting it fails the same way opening it did.
bool IsLink(const std::wstring& entry, const std::wstring& name, DWORD attributes,
            const std::wstring& realFolder) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
    // Without the folder's own real path nothing in it can be vouched for.
    if (realFolder.empty()) return true;
    const std::wstring reached = FinalPathOf(entry);
    if (reached.empty()) return false;
    return !SamePathIgnoringCase(reached, AddTrailingDelimiter(realFolder) + name);
}

// Deletes the link itself through a handle opened on it, never through what
// it points to. Where the system hands out the target instead (the handle
// carries no reparse-point attribute), the link is left in place: deleting
// through that handle would delete the target.
void RemoveLink(const std::wstring& path) {
    HANDLE handle =
        CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(handle, &info) &&
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        FILE_DISPOSITION_INFO dispose{};
        dispose.DeleteFile = TRUE;
        SetFileInformationByHandle(handle, FileDispositionInfo, &dispose, sizeof(dispose));
    }
    CloseHandle(handle);
}

constexpr UINT BroadcastTimeoutMs = 500;

// Tells every top-level window that the environment changed, so that
// programs started from now on pick the new values up. The call does not
// wait for other programs' windows. Some systems refuse to send a message
// that carries a pointer without waiting (ERROR_MESSAGE_SYNC_ONLY); the
// change is then sent with a short timeout per window, hung windows skipped,
// rather than not at all.
void BroadcastEnvironmentChange() {
    const auto environment = reinterpret_cast<LPARAM>(L"Environment");
    if (SendNotifyMessageW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, environment)) return;
    if (GetLastError() != ERROR_MESSAGE_SYNC_ONLY) return;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, environment,
                        SMTO_ABORTIFHUNG | SMTO_NORMAL, BroadcastTimeoutMs, nullptr);
}

}  // namespace

// ---- Message pumping -------------------------------------------------------

void PumpMessagesThrottled(int intervalMs) {
    const rtl::TDateTime now = LocalClock();
    if (now > LastPumpTime + intervalMs / rtl::MillisecondsPerDay) {
        vcl::Application->ProcessMessages();
        // The messages may have taken a while; the throttle counts from
        // their end.
        LastPumpTime = LocalClock();
    }
}

// ---- Workspace -------------------------------------------------------------

std::wstring SystemTempPath() {
    wchar_t buffer[TempPathBufferSize] = {};
    const DWORD length = GetTempPathW(TempPathBufferSize, buffer);
    // On a buffer too small the call returns the size it would need.
    if (length == 0 || length >= TempPathBufferSize) return {};
    return std::wstring(buffer);
}

void ChooseTempFolder() {
    TempFolder.clear();
    for (unsigned long long n = 1;; ++n) {
        // Asked again for every candidate, as the system's answer may change.
        const std::wstring tempPath = SystemTempPath();
        if (tempPath.empty()) return;
        const std::wstring candidate = tempPath + WorkspacePrefix + std::to_wstring(n);
        if (!rtl::DirectoryExists(candidate)) {
            TempFolder = candidate;
            return;
        }
    }
}

bool EnsureFolder(const std::wstring& folder) {
    if (!rtl::DirectoryExists(folder)) rtl::ForceDirectories(folder);
    return !rtl::DirectoryExists(folder);
}

void RemoveWorkspace() {
    if (TempFolder.empty()) return;
    // Asked without the trailing '\', which would make the system look
    // through a link at what it points to.
    const DWORD attributes = GetFileAttributesW(WithoutTrailingDelimiter(TempFolder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    // Something put a link where the workspace was: remove the link only.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveLink(WithoutTrailingDelimiter(TempFolder));
        return;
    }
    try {
        RemoveFolderTree(TempFolder, false);
    } catch (const rtl::Exception& error) {
        // The program is ending: say once what is left behind, and end
        // normally.
        ShowErrorBox(L"The temporary folder \"" + TempFolder +
                         L"\" could not be removed completely: " + error.Message(),
                     0);
    }
}

void RemoveFolderTree(const std::wstring& path, bool keepRoot) {
    if (path.size() < MinimumRemovalPathLength) {
        ShowErrorBox(L"Directory removal aborted. Path \"" + path +
                         L"\" doesn't match the 5 characters minimum limit.",
                     0);
        return;
    }
    const std::wstring folder = AddTrailingDelimiter(path);
    const std::wstring realFolder = FinalPathOf(folder);
    {
        rtl::FolderEntries entries(folder + L"*", AllEntries);
        while (entries.Next()) {
            const std::wstring name = entries.Name();
            if (name == L"." || name == L"..") continue;
            const std::wstring entry = folder + name;
            const DWORD attributes = entries.Attributes();
            if (IsLink(entry, name, attributes, realFolder)) {
                RemoveLink(entry);
            } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveFolderTree(entry + L"\\", keepRoot);
                RemoveDirectoryW(entry.c_str());
            } else {
                SetFileAttributesW(entry.c_str(), 0);
                KillFile(entry);
            }
        }
    }
    if (!keepRoot) RemoveDirectoryW(folder.c_str());
}

void KillFile(const std::wstring& path) {
    if (!rtl::FileExists(path)) return;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
    const rtl::TDateTime start = LocalClock();
    for (;;) {
        // No pause between attempts: a file that is still being released
        // usually goes within milliseconds.
        DeleteFileOperation(path);
        PumpMessagesThrottled(KillFilePumpInterval);
        if (!rtl::FileExists(path)) return;
        if (WholeSecondsBetween(LocalClock(), start) >= KillFileGiveUpSeconds) {
            ShowErrorBox(L"Couldn't delete file \"" + path + L"\"!", KillFileHelpContext);
            return;
        }
    }
}

// ---- Environment publishing ------------------------------------------------

std::wstring ReadUserVariable(const std::wstring& name) {
    return ExpandedUserVariable(name).value_or(std::wstring());
}

void WriteUserVariable(const std::wstring& name, const std::wstring& value) {
    registry::RegistryKey key;
    const LSTATUS opened = key.Open(HKEY_CURRENT_USER, EnvironmentKey, KEY_SET_VALUE);
    if (opened != ERROR_SUCCESS) {
        rtl::RaiseOSError(
            L"Cannot open the registry key HKEY_CURRENT_USER\\Environment for writing",
            static_cast<DWORD>(opened));
    }
    const DWORD size = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const LSTATUS written = RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                                           reinterpret_cast<const BYTE*>(value.c_str()), size);
    if (written != ERROR_SUCCESS) {
        rtl::RaiseOSError(
            L"Cannot write the registry value HKEY_CURRENT_USER\\Environment\\" + name,
            static_cast<DWORD>(written));
    }
}

void PublishFolderVariables() {
    // Both are read before either is written.
    const std::optional<std::wstring> client = ExpandedUserVariable(ClientVariable);
    const std::optional<std::wstring> data = ExpandedUserVariable(DataVariable);
    bool written = WriteWhenDifferent(ClientVariable, client, ClientFolder);
    written = WriteWhenDifferent(DataVariable, data, DataFolder) || written;
    if (written) BroadcastEnvironmentChange();
}

}  // namespace toolbookprocs
