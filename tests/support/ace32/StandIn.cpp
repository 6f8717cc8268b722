#include "tests/support/ace32/StandIn.h"

#include <stdexcept>

#include "tests/support/TestSupport.h"

namespace testsupport {

std::wstring StandInWorld::Text() const {
    std::wstring text = L"[Servers]\r\n";
    for (const auto& [path, types] : Servers) text += path + L"=" + types + L"\r\n";
    text += L"[Tables]\r\n";
    for (const auto& [name, fields] : Tables) text += name + L"=" + fields + L"\r\n";
    text += L"[Records]\r\n";
    for (const auto& [name, ids] : Records) text += name + L"=" + ids + L"\r\n";
    text += L"[Fail]\r\n";
    for (const Failure& failure : Failures) {
        text += failure.entryPoint + L"=" + std::to_wstring(failure.code) + L"," + failure.text +
                L"\r\n";
    }
    text += L"[Stand-in]\r\nTrace=" + TraceFile + L"\r\n";
    return text;
}

std::wstring StandInDll() { return WindowsPathOfUnixPath(PELORIN_STANDIN_DLL); }

std::wstring StandInDllLacking() { return WindowsPathOfUnixPath(PELORIN_STANDIN_LACKING_DLL); }

void WriteStandInWorld(const std::wstring& folder, const StandInWorld& world) {
    // UTF-16 with a byte-order mark, so that paths of any characters survive
    // the profile-string reader.
    const std::wstring text = L"\xFEFF" + world.Text();
    WriteBytes(folder + L"ace32.ini", std::string(reinterpret_cast<const char*>(text.data()),
                                                  text.size() * sizeof(wchar_t)));
}

void InstallStandIn(const std::wstring& folder, const StandInWorld& world,
                    const std::wstring& dll) {
    if (!CopyFileW(dll.c_str(), (folder + L"ace32.dll").c_str(), FALSE)) {
        throw std::runtime_error("cannot copy the stand-in ace32.dll");
    }
    WriteStandInWorld(folder, world);
}

}  // namespace testsupport
