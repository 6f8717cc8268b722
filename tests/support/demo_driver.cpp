// Used by scripts/demo: presses Start in the running Pelorin window, waits
// for the run to finish and writes the log from the clipboard to the file
// named by its argument (or to standard output). scripts/demo starts it on
// the same Wine desktop as Pelorin, where standard output is not passed on.

#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/support/PelorinProcess.h"
#include "tests/support/TestSupport.h"

int main(int argc, char** argv) {
    using namespace testsupport;
    HWND window = nullptr;
    for (int attempt = 0; attempt < 200 && !window; ++attempt) {
        window = FindWindowW(nullptr, L"Kalvora Pelorin");
        if (!window) Sleep(100);
    }
    if (!window) {
        std::fputs("no Pelorin window\n", stderr);
        return 1;
    }
    HWND start = FindChild(window, L"Button", L"Start");
    HWND exitButton = FindChild(window, L"Button", L"Exit");
    if (!start || !exitButton) {
        std::fputs("the Pelorin window has no Start and Exit buttons\n", stderr);
        return 1;
    }
    ClearClipboard();
    PressButton(start);
    HWND memo = FindChild(window, L"Edit", L"");
    if (!WaitForRunToFinish(start, exitButton, memo, 120000)) {
        std::fputs("the check run did not finish\n", stderr);
        return 1;
    }
    std::wstring log = ClipboardText();
    // Lines end in CR LF on the clipboard; the terminal wants LF.
    std::wstring unixLog;
    for (wchar_t c : log) {
        if (c != L'\r') unixLog += c;
    }
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, unixLog.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, unixLog.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    FILE* out = argc > 1 ? std::fopen(argv[1], "wb") : stdout;
    if (!out) return 1;
    std::fputs(bytes.c_str(), out);
    if (out != stdout) std::fclose(out);
    return 0;
}
