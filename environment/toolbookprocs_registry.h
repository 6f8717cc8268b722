#pragma once
// Registry access shared by the parts of the installation-environment
// module; not meant for other modules.

#include <windows.h>

#include <string>

namespace toolbookprocs::registry {

// Owns one open registry key.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens an existing key; returns the registry's status code.
    LSTATUS Open(HKEY parent, const std::wstring& path, REGSAM access) {
        HKEY opened = nullptr;
        const LSTATUS status = RegOpenKeyExW(parent, path.c_str(), 0, access, &opened);
        if (status != ERROR_SUCCESS) return status;
        Close();
        key_ = opened;
        return status;
    }
    void Close() {
        if (key_) RegCloseKey(key_);
        key_ = nullptr;
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// A REG_SZ or REG_EXPAND_SZ value as stored, up to its first NUL; empty when
// the key is null, the value is missing or it holds anything but text. Sizes
// are asked for, so a value of any length is read whole.
std::wstring ReadTextValue(HKEY key, const std::wstring& valueName);

}  // namespace toolbookprocs::registry
