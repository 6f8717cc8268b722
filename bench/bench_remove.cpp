// Removing a workspace of 10,000 files in 100 folders: RemoveFolderTree
// against std::filesystem::remove_all on an identical tree, alternately, in
// this one process. Usage: bench_remove [REPETITIONS]

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchReport.h"
#include "environment/toolbookprocs.h"

namespace {

constexpr int Folders = 100;
constexpr int FilesPerFolder = 100;

std::wstring TempPath() {
    wchar_t buffer[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, buffer);
    return buffer;
}

// The tree both removals start from: small files, as a workspace holds.
void MakeTree(const std::wstring& root) {
    CreateDirectoryW(root.c_str(), nullptr);
    const char content[] = "workspace file\r\n";
    for (int folder = 0; folder < Folders; ++folder) {
        const std::wstring dir = root + L"\\folder" + std::to_wstring(folder);
        CreateDirectoryW(dir.c_str(), nullptr);
        for (int file = 0; file < FilesPerFolder; ++file) {
            const std::wstring path = dir + L"\\file" + std::to_wstring(file) + L".tmp";
            HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle == INVALID_HANDLE_VALUE) {
                std::fprintf(stderr, "cannot create a file of the tree (error %lu)\n",
                             GetLastError());
                std::exit(1);
            }
            DWORD written = 0;
            WriteFile(handle, content, sizeof(content) - 1, &written, nullptr);
            CloseHandle(handle);
        }
    }
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

template <class Removal>
double TimeRemoval(const std::wstring& root, Removal remove) {
    MakeTree(root);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    remove();
    QueryPerformanceCounter(&end);
    if (GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "a removal left the tree behind\n");
        std::exit(1);
    }
    return Seconds(start, end) * 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::wstring root = TempPath() + L"PelorinBenchRemoval";
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);

    std::vector<double> ours, standard;
    for (int run = 0; run < repetitions; ++run) {
        // Alternating which goes first, so that neither always meets a
        // freshly written (or a settled) tree.
        auto byOurs = [&] { toolbookprocs::RemoveFolderTree(root, false); };
        auto byStandard = [&] { std::filesystem::remove_all(root); };
        if (run % 2 == 0) {
            ours.push_back(TimeRemoval(root, byOurs));
            standard.push_back(TimeRemoval(root, byStandard));
        } else {
            standard.push_back(TimeRemoval(root, byStandard));
            ours.push_back(TimeRemoval(root, byOurs));
        }
    }
    bench::Print({"removal", "ms", "RemoveFolderTree (10,000 files, 100 folders)", ours,
                  "std::filesystem::remove_all (same tree)", standard, 1.3});
    return 0;
}
