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

}  // namespace testsupport
