#include "environment/toolbookprocs_registry.h"

#include <vector>

namespace toolbookprocs::registry {

std::wstring ReadTextValue(HKEY key, const std::wstring& valueName) {
    if (!key) return {};
    std::vector<BYTE> data;
    DWORD type = REG_NONE;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &size);
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
        // Room for a terminating NUL that the stored data may lack.
        data.assign(size + sizeof(wchar_t), 0);
        DWORD got = size;
        status = RegQueryValueExW(key, valueName.c_str(), nullptr, &type, data.data(), &got);
        if (status == ERROR_SUCCESS) {
            if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
            const auto* chars = reinterpret_cast<const wchar_t*>(data.data());
            const size_t count = got / sizeof(wchar_t);
            size_t length = 0;
            while (length < count && chars[length] != L'\0') ++length;
            return std::wstring(chars, length);
        }
        size = got;
    }
    return {};
}

}  // namespace toolbookprocs::registry
