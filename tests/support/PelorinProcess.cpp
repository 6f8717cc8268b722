#include "tests/support/PelorinProcess.h"

#include <filesystem>
#include <stdexcept>

#include "tests/support/TestSupport.h"

namespace testsupport {

std::wstring BuiltPelorinExe() { return WindowsPathOfUnixPath(PELORIN_EXE_UNIX); }

std::wstring SourceFolder() { return WindowsPathOfUnixPath(PELORIN_SOURCE_UNIX "/"); }

void InstallPelorinAt(const std::wstring& target) {
    const std::filesystem::path path(target);
    std::filesystem::create_directories(path.parent_path());
    std::filesystem::copy_file(BuiltPelorinExe(), path,
                               std::filesystem::copy_options::overwrite_existing);
}

PelorinProcess::PelorinProcess(const std::wstring& exePath) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + exePath + L"\"";
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info_)) {
        throw std::runtime_error("cannot start Pelorin.exe");
    }
}

PelorinProcess::~PelorinProcess() {
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

HWND PelorinProcess::WaitForWindow(const std::wstring& title, DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    do {
        for (HWND hwnd : TopLevelWindowsOf(Id(), L"")) {
            if (WindowText(hwnd) == title) return hwnd;
        }
        Sleep(25);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

bool PelorinProcess::WaitForExit(DWORD timeoutMs, DWORD& exitCode) const {
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(info_.hProcess, &exitCode);
    return true;
}

std::vector<std::wstring> PelorinProcess::WindowCaptions() const {
    std::vector<std::wstring> captions;
    for (HWND hwnd : TopLevelWindowsOf(Id(), L"")) captions.push_back(WindowText(hwnd));
    return captions;
}

namespace {

struct ChildSearch {
    const std::wstring* className;
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (_wcsicmp(ClassOf(hwnd).c_str(), search->className->c_str()) == 0 &&
        (search->caption->empty() || WindowText(hwnd) == *search->caption)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindChild(HWND parent, const std::wstring& className, const std::wstring& caption) {
    ChildSearch search{&className, &caption, nullptr};
    EnumChildWindows(parent, &MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PressButton(HWND button) {
    PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

bool WaitForRunToFinish(HWND start, HWND exit, HWND memo, DWORD timeoutMs) {
    const DWORD began = GetTickCount();
    while (GetTickCount() - began < timeoutMs) {
        if (!IsWindow(memo)) return false;
        if (!IsWindowEnabled(start) && IsWindowEnabled(exit) &&
            ControlText(memo).find(L"(log already copied to clipboard)") != std::wstring::npos) {
            return true;
        }
        Sleep(25);
    }
    return false;
}

std::wstring ControlText(HWND control) {
    const LRESULT length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(control, WM_GETTEXT, static_cast<WPARAM>(length + 1),
                                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

std::wstring ClipboardText() {
    std::wstring text;
    for (int attempt = 0; attempt < 50 && !OpenClipboard(nullptr); ++attempt) Sleep(20);
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void ClearClipboard() {
    for (int attempt = 0; attempt < 50 && !OpenClipboard(nullptr); ++attempt) Sleep(20);
    EmptyClipboard();
    CloseClipboard();
}

}  // namespace testsupport
