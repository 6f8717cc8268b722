#pragma once
// Drives a copy of the real Pelorin.exe in an installation made by a test.

#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

// The Pelorin.exe of this build.
std::wstring BuiltPelorinExe();
// The folder of this source tree's files (ends in '\').
std::wstring SourceFolder();

// Copies the built Pelorin.exe to target (creating its folder).
void InstallPelorinAt(const std::wstring& target);

// A running Pelorin.exe; killed on destruction if it is still running.
class PelorinProcess {
public:
    explicit PelorinProcess(const std::wstring& exePath);
    ~PelorinProcess();
    PelorinProcess(const PelorinProcess&) = delete;
    PelorinProcess& operator=(const PelorinProcess&) = delete;

    DWORD Id() const { return info_.dwProcessId; }
    // The first visible top-level window of the program whose caption is
    // title, or nullptr when none appeared in time.
    HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs) const;
    // True and the exit code once the process has ended.
    bool WaitForExit(DWORD timeoutMs, DWORD& exitCode) const;
    // Captions of the visible top-level windows it has now.
    std::vector<std::wstring> WindowCaptions() const;

private:
    PROCESS_INFORMATION info_{};
};

// Driving the main window from outside, as a user would.

// The first child window (at any depth) of that class and caption; an empty
// caption matches any.
HWND FindChild(HWND parent, const std::wstring& className, const std::wstring& caption);
// Presses a button the way a click does, without waiting for its handler:
// the check run keeps the window busy until it has finished.
void PressButton(HWND button);
// Waits for a check run that Start has been pressed for to finish: Start
// disabled, Exit enabled again and the last log line in the memo. Exit alone
// does not tell, since Start is disabled a moment before Exit is.
bool WaitForRunToFinish(HWND start, HWND exit, HWND memo, DWORD timeoutMs);
// The whole text of a control of another process.
std::wstring ControlText(HWND control);
// The clipboard's Unicode text; empty when it holds none.
std::wstring ClipboardText();
// Empties the clipboard, so that a test sees only what the program put there.
void ClearClipboard();

}  // namespace testsupport
