#pragma once
// Small fixtures of the installation-environment tests.

#include <windows.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "environment/toolbookprocs.h"
#include "platform/rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace envtest {

// Points this process's temporary path (TMP) somewhere else for the object's
// lifetime; GetTempPathW reads TMP first. Programs started meanwhile inherit it.
class TempPathOverride {
public:
    explicit TempPathOverride(const std::wstring& path) {
        wchar_t old[32767] = {};
        had_ = GetEnvironmentVariableW(L"TMP", old, 32767) != 0;
        old_ = old;
        SetEnvironmentVariableW(L"TMP", path.c_str());
    }
    ~TempPathOverride() { SetEnvironmentVariableW(L"TMP", had_ ? old_.c_str() : nullptr); }
    TempPathOverride(const TempPathOverride&) = delete;
    TempPathOverride& operator=(const TempPathOverride&) = delete;

private:
    bool had_ = false;
    std::wstring old_;
};

// Puts the module's seams and LastPumpTime back when the test ends.
class SeamsRestored {
public:
    SeamsRestored()
        : clock_(toolbookprocs::LocalClock),
          deletion_(toolbookprocs::DeleteFileOperation),
          lastPump_(toolbookprocs::LastPumpTime) {}
    ~SeamsRestored() {
        toolbookprocs::LocalClock = clock_;
        toolbookprocs::DeleteFileOperation = deletion_;
        toolbookprocs::LastPumpTime = lastPump_;
    }
    SeamsRestored(const SeamsRestored&) = delete;
    SeamsRestored& operator=(const SeamsRestored&) = delete;

private:
    rtl::TDateTime (*clock_)();
    void (*deletion_)(const std::wstring&);
    rtl::TDateTime lastPump_;
};

// A hidden top-level window of the test's own thread that counts the
// messages it is sent: WM_SETTINGCHANGE for "Environment" sent from this
// thread (a broadcast of another program does not count), and WM_APP posts.
class MessageCounter {
public:
    MessageCounter() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &MessageCounter::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PelorinTestMessageCounter";
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"counter", WS_OVERLAPPED, 0, 0, 10, 10,
                               nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~MessageCounter() { DestroyWindow(hwnd); }
    MessageCounter(const MessageCounter&) = delete;
    MessageCounter& operator=(const MessageCounter&) = delete;

    HWND hwnd = nullptr;
    int environmentChanges = 0;
    int appMessages = 0;
    // Called when a WM_APP message is handled.
    void (*onAppMessage)() = nullptr;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<MessageCounter*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && message == WM_SETTINGCHANGE && lParam &&
            lstrcmpW(reinterpret_cast<const wchar_t*>(lParam), L"Environment") == 0 &&
            InSendMessageEx(nullptr) == ISMEX_NOSEND) {
            ++self->environmentChanges;
        }
        if (self && message == WM_APP) {
            ++self->appMessages;
            if (self->onAppMessage) self->onAppMessage();
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
};

// A registry value as stored: its type, and its text (for other types its
// bytes, two to a character).
struct Stored {
    DWORD type = REG_NONE;
    std::wstring text;

    bool operator==(const Stored& other) const { return type == other.type && text == other.text; }
};

inline std::optional<Stored> ReadStored(const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Environment", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    std::optional<Stored> result;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> data(size + sizeof(wchar_t), 0);
        RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
        Stored stored;
        stored.type = type;
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            stored.text = reinterpret_cast<const wchar_t*>(data.data());
        } else {
            stored.text.assign(reinterpret_cast<const wchar_t*>(data.data()),
                               size / sizeof(wchar_t));
        }
        result = stored;
    }
    RegCloseKey(key);
    return result;
}

inline void WriteStored(const wchar_t* name, const std::optional<Stored>& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Environment", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot open HKEY_CURRENT_USER\\Environment");
    }
    if (!value) {
        RegDeleteValueW(key, name);
    } else if (value->type != REG_SZ && value->type != REG_EXPAND_SZ) {
        RegSetValueExW(key, name, 0, value->type, reinterpret_cast<const BYTE*>(value->text.data()),
                       static_cast<DWORD>(value->text.size() * sizeof(wchar_t)));
    } else {
        RegSetValueExW(key, name, 0, value->type,
                       reinterpret_cast<const BYTE*>(value->text.c_str()),
                       static_cast<DWORD>((value->text.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(key);
}

inline std::string Describe(const std::optional<Stored>& value) {
    if (!value) return "(none)";
    const char* type = value->type == REG_SZ          ? "REG_SZ"
                       : value->type == REG_EXPAND_SZ ? "REG_EXPAND_SZ"
                                                      : "other";
    return std::string(type) + " \"" + rtl::WideToUtf8(value->text) + "\"";
}

// Saves one user variable of the real HKEY_CURRENT_USER\Environment and
// puts it back.
class SavedUserVariable {
public:
    explicit SavedUserVariable(const wchar_t* name) : name_(name), saved_(ReadStored(name)) {}
    ~SavedUserVariable() { WriteStored(name_, saved_); }
    SavedUserVariable(const SavedUserVariable&) = delete;
    SavedUserVariable& operator=(const SavedUserVariable&) = delete;

private:
    const wchar_t* name_;
    std::optional<Stored> saved_;
};

using UnixName = char*(CDECL*)(const wchar_t*);

// The Unix path of a Windows path, from Wine's own kernel32; empty outside Wine.
inline std::string UnixPathOf(const std::wstring& path) {
    // Through void (*)() so that the cast between function types is explicit.
    const auto convert = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return {};
    char* unix = convert(path.c_str());
    if (!unix) return {};
    std::string result(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Makes a Unix symbolic link with /bin/ln, which Wine starts as a Unix program.
inline bool MakeUnixSymlink(const std::wstring& target, const std::wstring& linkFolder,
                            const std::wstring& linkName) {
    const std::string unixTarget = UnixPathOf(target);
    const std::string unixFolder = UnixPathOf(linkFolder);
    if (unixTarget.empty() || unixFolder.empty()) return false;
    std::wstring commandLine = L"/bin/ln -s " + rtl::Utf8ToWide(unixTarget) + L" " +
                               rtl::Utf8ToWide(unixFolder) + L"/" + linkName;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(L"Z:\\bin\\ln", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start /bin/ln: error " << GetLastError();
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Wine does not give a handle that waits for the Unix program: look for
    // its result instead.
    bool made = false;
    for (int i = 0; i < 250 && !made; ++i) {
        made = testsupport::PathExists(linkFolder + linkName);
        if (!made) Sleep(20);
    }
    EXPECT_TRUE(made) << "ln made no link: " << rtl::WideToUtf8(commandLine);
    return made;
}

}  // namespace envtest
