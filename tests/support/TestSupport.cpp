#include "tests/support/TestSupport.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace testsupport {

namespace {

std::wstring UniqueName(const wchar_t* prefix) {
    static std::atomic<unsigned> counter{0};
    return std::wstring(prefix) + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter);
}

void Check(LSTATUS status, const char* what) {
    if (status != ERROR_SUCCESS) {
        throw std::runtime_error(std::string(what) + " failed with " + std::to_string(status));
    }
}

}  // namespace

namespace {

struct WindowSearch {
    DWORD processId;
    const std::wstring* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->processId && IsWindowVisible(hwnd) &&
        (search->className->empty() || ClassOf(hwnd) == *search->className)) {
        search->found.push_back(hwnd);
    }
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId, const std::wstring& className) {
    WindowSearch search{processId, &className, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

ScratchFolder::ScratchFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = std::wstring(temp) + UniqueName(L"PelorinTest-") + L"\\";
    MakeFolders(path_);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

void MakeFolders(const std::wstring& path) { std::filesystem::create_directories(path); }

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write test file");
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::wstring& path, const std::wstring& text) {
    std::string bytes;
    if (!text.empty()) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0, nullptr, nullptr);
        bytes.resize(static_cast<size_t>(size));
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                            size, nullptr, nullptr);
    }
    WriteBytes(path, bytes);
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::wstring& path) {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(path), ignored);
}

namespace {
std::atomic<int> sandboxes{0};
}  // namespace

RegistrySandbox::RegistrySandbox() {
    if (sandboxes++ != 0) throw std::logic_error("registry sandboxes do not nest");
    root_ = L"Software\\PelorinTests\\" + UniqueName(L"sandbox-");
    HKEY user = nullptr, machine = nullptr;
    Check(RegCreateKeyExW(HKEY_CURRENT_USER, (root_ + L"\\HKCU").c_str(), 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, &user, nullptr),
          "creating the scratch user hive");
    Check(RegCreateKeyExW(HKEY_CURRENT_USER, (root_ + L"\\HKLM").c_str(), 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, &machine, nullptr),
          "creating the scratch machine hive");
    // Every user profile has an Environment key; start-up writes there.
    HKEY environment = nullptr;
    Check(RegCreateKeyExW(user, L"Environment", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          &environment, nullptr),
          "creating the scratch Environment key");
    RegCloseKey(environment);
    Check(RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine), "RegOverridePredefKey(HKLM)");
    Check(RegOverridePredefKey(HKEY_CURRENT_USER, user), "RegOverridePredefKey(HKCU)");
    RegCloseKey(user);
    RegCloseKey(machine);
}

RegistrySandbox::~RegistrySandbox() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, root_.c_str());
    --sandboxes;
}

void RegistrySandbox::CreateKey(HKEY hive, const std::wstring& key) {
    HKEY opened = nullptr;
    Check(RegCreateKeyExW(hive, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                          nullptr),
          "RegCreateKeyExW");
    RegCloseKey(opened);
}

void RegistrySandbox::SetRaw(HKEY hive, const std::wstring& key, const std::wstring& name,
                             DWORD type, const void* data, DWORD size) {
    HKEY opened = nullptr;
    Check(RegCreateKeyExW(hive, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                          nullptr),
          "RegCreateKeyExW");
    const LSTATUS status =
        RegSetValueExW(opened, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(opened);
    Check(status, "RegSetValueExW");
}

void RegistrySandbox::SetString(HKEY hive, const std::wstring& key, const std::wstring& name,
                                const std::wstring& value, DWORD type) {
    SetRaw(hive, key, name, type, value.c_str(),
           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

SeenDialog DescribeDialog(HWND dialog) {
    SeenDialog seen;
    seen.caption = WindowText(dialog);
    seen.helpContext = GetWindowContextHelpId(dialog);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        const std::wstring cls = ClassOf(child);
        if (_wcsicmp(cls.c_str(), L"Button") == 0) {
            seen.buttons.push_back(WindowText(child));
        } else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            const LONG style = GetWindowLongW(child, GWL_STYLE);
            if ((style & SS_TYPEMASK) == SS_ICON) {
                seen.hasIcon = seen.hasIcon || SendMessageW(child, STM_GETICON, 0, 0) != 0;
            } else {
                const std::wstring text = WindowText(child);
                if (!text.empty()) seen.text += (seen.text.empty() ? L"" : L"\n") + text;
            }
        }
    }
    return seen;
}

DialogWatcher::DialogWatcher(DWORD processId) : processId_(processId) {
    thread_ = std::thread([this] { Watch(); });
}

DialogWatcher::~DialogWatcher() {
    stop_ = true;
    thread_.join();
}

std::vector<SeenDialog> DialogWatcher::Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

bool DialogWatcher::WaitFor(size_t count, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (seen_.size() >= count) return true;
        }
        Sleep(20);
    }
    return false;
}

void DialogWatcher::Watch() {
    while (!stop_) {
        for (HWND dialog : TopLevelWindowsOf(processId_, L"#32770")) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                bool known = false;
                for (HWND h : handled_) known = known || h == dialog;
                if (known) continue;
                handled_.push_back(dialog);
            }
            // Let the box finish laying itself out before reading it.
            Sleep(50);
            SeenDialog seen = DescribeDialog(dialog);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen_.push_back(seen);
            }
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        Sleep(20);
    }
}

std::wstring WindowsPathOfUnixPath(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

}  // namespace testsupport
