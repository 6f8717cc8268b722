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

}  // namespace testsupport
