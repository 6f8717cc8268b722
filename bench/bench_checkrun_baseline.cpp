// The check run's baseline: the same file operations and client-library
// calls as a successful run of Pelorin's Start, in the same order, with no
// window and no log. Run from the folder that holds ace32.dll, once per
// process, so that loading the library is part of the time as it is for
// Pelorin. Usage: bench_checkrun_baseline DATAFOLDER RESULTFILE
// The result file gets the elapsed microseconds, or "failed: <message>".

#include <windows.h>

#include <cstdio>
#include <string>

#include "environment/toolbookprocs.h"
#include "platform/ads/AdsData.h"
#include "platform/rtl/FileSystem.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"

namespace {

// The components live in the caller, as Pelorin's live in its window, so
// that closing them is not part of the time.
void RunChecks(const std::wstring& dataFolder, ads::TAdsConnection& con, ads::TAdsTable& tb) {
    for (const wchar_t* name : {L"testfile.dat", L"DB\\testfile.dat"}) {
        rtl::WriteAllText(dataFolder + name, L"test content");
        rtl::FileDeleteStrict(dataFolder + name);
    }
    const std::wstring dictionary = dataFolder + L"db\\db.add";
    if (!rtl::FileExists(dictionary)) throw rtl::EInOutError(L"dictionary not found");

    con.AdsServerTypes = {ads::TAdsServerType::Remote};
    con.Username = L"adssys";
    con.CommunicationType = ads::ctAdsUDPIP;
    con.SetConnectPath(dictionary);
    con.Connect();

    tb.AdsConnection = &con;
    tb.TableName = L"LM_Configuration";
    tb.Open();
    tb.Append();
    tb.FieldByName(L"ID").SetAsFloat(9999.0);
    tb.FieldByName(L"Key").SetAsString(L"Test");
    tb.Post();
    tb.IndexName = L"ID";
    tb.SetKey();
    tb.FieldByName(L"ID").SetAsFloat(9999.0);
    if (!tb.GotoKey()) throw rtl::EDatabaseError(L"can't browse table");
    tb.Delete();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: bench_checkrun_baseline DATAFOLDER RESULTFILE\n", stderr);
        return 2;
    }
    SetDllDirectoryW(L"");
    std::wstring result;
    ads::TAdsConnection con;
    ads::TAdsTable tb;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    try {
        RunChecks(toolbookprocs::AddTrailingDelimiter(argv[1]), con, tb);
        QueryPerformanceCounter(&end);
        const long long us = (end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart;
        result = std::to_wstring(us);
    } catch (const rtl::Exception& error) {
        result = L"failed: " + error.Message();
    }
    FILE* out = _wfopen(argv[2], L"wb");
    if (!out) return 1;
    std::fputs(rtl::WideToUtf8(result).c_str(), out);
    std::fclose(out);
    return result.rfind(L"failed", 0) == 0 ? 1 : 0;
}
