// Times Pelorin.exe against its baselines from outside, as a user sees it:
// start-up until the main window is visible and the peak working set with
// the window open (against bench_window.exe), and the check run from the
// press of Start until the finished log (against bench_checkrun_baseline.exe,
// which times itself). Pelorin runs from a stand-alone installation made
// here, with the stand-in client library answering as a remote server.
// Usage: bench_timer [REPETITIONS]

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BenchReport.h"
#include "platform/rtl/SysUtils.h"
#include "tests/support/PelorinProcess.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ace32/StandIn.h"

using namespace testsupport;

namespace {

constexpr DWORD TimeoutMs = 30000;
const std::wstring Install = L"C:\\PelorinBench\\";
const std::wstring Bin = Install + L"bin\\";
const std::wstring PelorinExe = Bin + L"Pelorin.exe";
const std::wstring WindowExe = Bin + L"bench_window.exe";
const std::wstring BaselineExe = Bin + L"bench_checkrun_baseline.exe";

double NowMs() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Fail(const std::string& what) {
    std::fprintf(stderr, "bench_timer: %s\n", what.c_str());
    std::exit(1);
}

void CopyInto(const std::wstring& from, const std::wstring& to) {
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) Fail("cannot copy " + rtl::WideToUtf8(from));
}

// A stand-alone installation whose data folder is the installation folder,
// with everything a successful check run needs.
void MakeInstallation() {
    MakeFolders(Install + L"DB");
    MakeFolders(Install + L"db");
    WriteText(Install + L"db\\db.add", L"dictionary");
    MakeFolders(Bin);
    CopyInto(BuiltPelorinExe(), PelorinExe);
    CopyInto(WindowsPathOfUnixPath(BENCH_WINDOW_EXE), WindowExe);
    CopyInto(WindowsPathOfUnixPath(BENCH_BASELINE_EXE), BaselineExe);
    WriteText(Bin + L"kalvora.cfg", L"[Config]\r\nStandAlone=1\r\n");
    StandInWorld world;
    world.Answer(Install + L"db\\db.add", L"remote");
    InstallStandIn(Bin, world);
}

HWND VisibleWindowOf(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND found;
    } search{processId, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == s->processId && IsWindowVisible(hwnd)) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A program started and timed until its first visible top-level window.
class Launched {
public:
    explicit Launched(const std::wstring& exe, std::wstring arguments = L"") {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring commandLine =
            L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
        started_ = NowMs();
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &info_)) {
            Fail("cannot start " + rtl::WideToUtf8(exe));
        }
    }
    ~Launched() {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    Launched(const Launched&) = delete;
    Launched& operator=(const Launched&) = delete;

    // Milliseconds from CreateProcessW to the window being visible.
    double WaitForWindow() {
        while (!(window_ = VisibleWindowOf(info_.dwProcessId))) {
            if (NowMs() - started_ > TimeoutMs) Fail("no window appeared");
            Sleep(1);
        }
        return NowMs() - started_;
    }
    HWND Window() const { return window_; }
    // Returns once the program's thread has handled everything sent so far.
    void Settle() const {
        DWORD_PTR ignored;
        SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, TimeoutMs, &ignored);
    }
    double PeakWorkingSetMiB() const {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof(counters);
        if (!GetProcessMemoryInfo(info_.hProcess, &counters, sizeof(counters))) {
            Fail("GetProcessMemoryInfo failed");
        }
        return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
    }
    void CloseAndWait() const {
        PostMessageW(window_, WM_CLOSE, 0, 0);
        WaitForExit();
    }
    DWORD WaitForExit() const {
        if (WaitForSingleObject(info_.hProcess, TimeoutMs) != WAIT_OBJECT_0)
            Fail("a program did not end");
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
    HWND window_ = nullptr;
    double started_ = 0;
};

struct StartupSample {
    double ms;
    double peakMiB;
};

StartupSample TimeStartup(const std::wstring& exe) {
    Launched program(exe);
    StartupSample sample{program.WaitForWindow(), 0};
    // The window's first painting is part of having it open.
    program.Settle();
    Sleep(200);
    program.Settle();
    sample.peakMiB = program.PeakWorkingSetMiB();
    program.CloseAndWait();
    return sample;
}

bool Finished(HWND start, HWND exit, HWND memo) {
    return !IsWindowEnabled(start) && IsWindowEnabled(exit) &&
           ControlText(memo).find(L"(log already copied to clipboard)") != std::wstring::npos;
}

// Milliseconds from posting the Start click to the finished log, polled
// every millisecond; the log must show every step successful.
double TimePelorinRun() {
    Launched program(PelorinExe);
    program.WaitForWindow();
    program.Settle();
    HWND start = FindChild(program.Window(), L"Button", L"Start");
    HWND exit = FindChild(program.Window(), L"Button", L"Exit");
    HWND memo = FindChild(program.Window(), L"Edit", L"");
    if (!start || !exit || !memo) Fail("the Pelorin window lacks Start, Exit or the log");
    const double began = NowMs();
    PressButton(start);
    while (!Finished(start, exit, memo)) {
        if (NowMs() - began > TimeoutMs) Fail("the check run did not finish");
        Sleep(1);
    }
    const double ms = NowMs() - began;
    const std::wstring log = ControlText(memo);
    if (log.find(L" ERROR") != std::wstring::npos ||
        log.find(L" OK: record deleted") == std::wstring::npos) {
        Fail("the check run was not successful:\n" + rtl::WideToUtf8(log));
    }
    program.Settle();
    PostMessageW(exit, BM_CLICK, 0, 0);
    program.WaitForExit();
    return ms;
}

double TimeBaselineRun() {
    const std::wstring resultFile = Install + L"baseline-result.txt";
    DeleteFileW(resultFile.c_str());
    // Without the folder's last '\', which would escape the closing quote.
    const std::wstring folder = Install.substr(0, Install.size() - 1);
    Launched baseline(BaselineExe, L"\"" + folder + L"\" \"" + resultFile + L"\"");
    baseline.WaitForExit();
    const std::string result = ReadBytes(resultFile);
    if (result.empty() || result.rfind("failed", 0) == 0) Fail("the baseline run " + result);
    return std::atof(result.c_str()) / 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(5, std::atoi(argv[1])) : 7;
    try {
        MakeInstallation();
    } catch (const std::exception& error) {
        Fail(std::string("cannot make the installation: ") + error.what());
    }
    // Not counted: the first start of each loads what later starts find in
    // the caches.
    TimeStartup(PelorinExe);
    TimeStartup(WindowExe);
    TimeBaselineRun();

    std::vector<double> pelorinMs, windowMs, pelorinMiB, windowMiB;
    for (int run = 0; run < repetitions; ++run) {
        // Alternating which starts first, so that neither always follows
        // the other's exit.
        for (int turn = 0; turn < 2; ++turn) {
            const bool pelorin = (run + turn) % 2 == 0;
            const StartupSample sample = TimeStartup(pelorin ? PelorinExe : WindowExe);
            (pelorin ? pelorinMs : windowMs).push_back(sample.ms);
            (pelorin ? pelorinMiB : windowMiB).push_back(sample.peakMiB);
        }
    }
    bench::Print({"start-up", "ms", "Pelorin.exe, CreateProcessW to window", pelorinMs,
                  "bench_window.exe, the same", windowMs, 1.25});
    bench::Print({"memory", "MiB", "Pelorin.exe, peak working set", pelorinMiB,
                  "bench_window.exe, the same", windowMiB, 1.3});

    std::vector<double> pelorinRun, baselineRun;
    for (int run = 0; run < repetitions; ++run) {
        if (run % 2 == 0) {
            pelorinRun.push_back(TimePelorinRun());
            baselineRun.push_back(TimeBaselineRun());
        } else {
            baselineRun.push_back(TimeBaselineRun());
            pelorinRun.push_back(TimePelorinRun());
        }
    }
    std::printf(
        "check run: Pelorin from posting the Start click to the finished log in its window, "
        "seen from outside (polled each ms); the baseline times itself from its first file "
        "operation to its last client call\n");
    bench::Print({"check run", "ms", "Pelorin.exe, Start to finished log", pelorinRun,
                  "bench_checkrun_baseline.exe, same calls", baselineRun, 1.5});
    return 0;
}
