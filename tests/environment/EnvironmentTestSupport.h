#pragma once
// Small fixtures of the installation-environment tests.

#include <windows.h>

#include <string>

#include "environment/toolbookprocs.h"

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

}  // namespace envtest
