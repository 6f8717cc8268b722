#pragma once
// Puts the stand-in client library (tests/support/ace32) into a folder with
// a world file that says how it behaves. For in-process tests, point the
// DLL search at the folder (SetDllDirectoryW) and free the library after the
// test (ads::ace::FreeClientLibrary); for Pelorin.exe, install it in the
// folder of the copied program.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct StandInWorld {
    // Connect path (or "*" for any other) and the server types that answer
    // there: "remote", "internet", "local", comma-separated. Local needs the
    // path to be an existing file.
    std::vector<std::pair<std::wstring, std::wstring>> Servers;
    // Table name and its fields; a field "ID" gives it the index "ID".
    std::vector<std::pair<std::wstring, std::wstring>> Tables{{L"LM_Configuration", L"ID,Key"}};
    // Table name and the IDs of the records it holds at first, comma-separated.
    std::vector<std::pair<std::wstring, std::wstring>> Records;
    struct Failure {
        std::wstring entryPoint;
        std::uint32_t code;
        std::wstring text;
    };
    // Entry points that always fail, with the code and text they report.
    std::vector<Failure> Failures;
    // When set, every call is appended to this file with its arguments.
    std::wstring TraceFile;

    StandInWorld& Answer(const std::wstring& path, const std::wstring& types) {
        Servers.emplace_back(path, types);
        return *this;
    }
    StandInWorld& Fail(const std::wstring& entryPoint, std::uint32_t code,
                       const std::wstring& text) {
        Failures.push_back({entryPoint, code, text});
        return *this;
    }
    // The world file's text.
    std::wstring Text() const;
};

// The two builds of the stand-in, as Windows paths.
std::wstring StandInDll();
// The same library without the entry point AdsDeleteRecord.
std::wstring StandInDllLacking();

// Copies dll into folder as ace32.dll and writes the world beside it.
void InstallStandIn(const std::wstring& folder, const StandInWorld& world,
                    const std::wstring& dll = StandInDll());
// Replaces the world file of an installed stand-in; it reads it at each call.
void WriteStandInWorld(const std::wstring& folder, const StandInWorld& world);

}  // namespace testsupport
