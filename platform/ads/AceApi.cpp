#include "platform/ads/AceApi.h"

#include <algorithm>
#include <array>
#include <vector>

namespace ads::ace {

namespace {

enum EntryPoint {
    epConnect60,
    epDisconnect,
    epOpenTable,
    epCloseTable,
    epAppendRecord,
    epSetDouble,
    epSetString,
    epWriteRecord,
    epGetIndexHandle,
    epSeek,
    epDeleteRecord,
    epGetLastError,
    epCount
};

constexpr std::array<const char*, epCount> EntryPointNames = {
    "AdsConnect60",      "AdsDisconnect", "AdsOpenTable",    "AdsCloseTable",
    "AdsAppendRecord",   "AdsSetDouble",  "AdsSetString",    "AdsWriteRecord",
    "AdsGetIndexHandle", "AdsSeek",       "AdsDeleteRecord", "AdsGetLastError"};

// The loaded library and the entry points resolved so far.
HMODULE library = nullptr;
std::array<FARPROC, epCount> resolved{};

std::wstring ModulePath(HMODULE module) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return LibraryFileName;
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

HMODULE Library() {
    if (library == nullptr) {
        // A bare name: the program's own folder is searched first, and the
        // current folder not at all (start-up removes it from the search).
        library = LoadLibraryW(LibraryFileName);
        if (library == nullptr) {
            std::wstring reason = rtl::SysErrorMessage(GetLastError());
            // Some of the system's texts name the file as an insert.
            for (size_t at; (at = reason.find(L"%1")) != std::wstring::npos;) {
                reason.replace(at, 2, LibraryFileName);
            }
            throw rtl::EDatabaseError(std::wstring(L"The database client library ") +
                                      LibraryFileName + L" could not be loaded: " + reason);
        }
    }
    return library;
}

template <class Function>
Function Resolve(EntryPoint entry) {
    if (resolved[entry] == nullptr) {
        HMODULE module = Library();
        resolved[entry] = GetProcAddress(module, EntryPointNames[entry]);
        if (resolved[entry] == nullptr) {
            const std::string name = EntryPointNames[entry];
            throw rtl::EDatabaseError(L"The entry point " + FromAnsi(name.data(), name.size()) +
                                      L" is missing from " + ModulePath(module));
        }
    }
    // Through the one function type that converts to every other without
    // a warning; the entry point really has the type we declare for it.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(resolved[entry]));
}

using Connect60Fn = std::uint32_t(WINAPI*)(const char*, std::uint16_t, const char*, const char*,
                                           std::uint32_t, Handle*);
using HandleFn = std::uint32_t(WINAPI*)(Handle);
using OpenTableFn = std::uint32_t(WINAPI*)(Handle, const char*, const char*, std::uint16_t,
                                           std::uint16_t, std::uint16_t, std::uint16_t,
                                           std::uint32_t, Handle*);
using SetDoubleFn = std::uint32_t(WINAPI*)(Handle, const char*, double);
using SetStringFn = std::uint32_t(WINAPI*)(Handle, const char*, const char*, std::uint32_t);
using GetIndexHandleFn = std::uint32_t(WINAPI*)(Handle, const char*, Handle*);
using SeekFn = std::uint32_t(WINAPI*)(Handle, const void*, std::uint16_t, std::uint16_t,
                                      std::uint16_t, std::uint16_t*);
using GetLastErrorFn = std::uint32_t(WINAPI*)(std::uint32_t*, char*, std::uint16_t*);

// The client's last error text; empty when it has none or will not say.
std::wstring LastErrorText(std::uint32_t& code) {
    // Room for the usual texts; a longer one is asked for again with the
    // length the client names, up to what its 16-bit length can say, and
    // cut there if it is longer still.
    constexpr size_t MaxBuffer = 65536;
    std::vector<char> buffer(1024);
    for (int attempt = 0;; ++attempt) {
        std::uint32_t lastCode = 0;
        std::uint16_t length = static_cast<std::uint16_t>(buffer.size() - 1);
        const std::uint32_t rc =
            Resolve<GetLastErrorFn>(epGetLastError)(&lastCode, buffer.data(), &length);
        const bool tooSmall = length >= buffer.size() - 1;
        if (rc != 0 && !tooSmall) return {};
        if (tooSmall && attempt == 0) {
            buffer.assign(std::min<size_t>(static_cast<size_t>(length) + 2, MaxBuffer), '\0');
            continue;
        }
        if (lastCode != 0) code = lastCode;
        // Trust neither the length nor a terminating zero on their own: the
        // buffer has one byte more than the client was told.
        size_t end = 0;
        while (end < length && end < buffer.size() - 1 && buffer[end] != '\0') ++end;
        return FromAnsi(buffer.data(), end);
    }
}

}  // namespace

void Check(std::uint32_t returnCode, const char* entryPoint) {
    if (returnCode == 0) return;
    std::uint32_t code = returnCode;
    std::wstring text;
    try {
        text = LastErrorText(code);
        if (text.empty()) text = L"(the client library gave no error text)";
    } catch (const rtl::EDatabaseError& e) {
        text = L"(no error text: " + e.Message() + L")";
    }
    const std::string name = entryPoint;
    throw EAdsDatabaseError(L"Error " + std::to_wstring(code) + L" from " +
                                FromAnsi(name.data(), name.size()) + L": " + text,
                            code);
}

std::uint32_t AdsConnect60(const char* path, std::uint16_t serverTypes, const char* userName,
                           const char* password, std::uint32_t options, Handle* connection) {
    return Resolve<Connect60Fn>(epConnect60)(path, serverTypes, userName, password, options,
                                             connection);
}

std::uint32_t AdsDisconnect(Handle connection) {
    return Resolve<HandleFn>(epDisconnect)(connection);
}

std::uint32_t AdsOpenTable(Handle connection, const char* tableName, const char* alias,
                           std::uint16_t tableType, std::uint16_t charType, std::uint16_t lockType,
                           std::uint16_t checkRights, std::uint32_t options, Handle* table) {
    return Resolve<OpenTableFn>(epOpenTable)(connection, tableName, alias, tableType, charType,
                                             lockType, checkRights, options, table);
}

std::uint32_t AdsCloseTable(Handle table) { return Resolve<HandleFn>(epCloseTable)(table); }

std::uint32_t AdsAppendRecord(Handle table) { return Resolve<HandleFn>(epAppendRecord)(table); }

std::uint32_t AdsSetDouble(Handle table, const char* fieldName, double value) {
    return Resolve<SetDoubleFn>(epSetDouble)(table, fieldName, value);
}

std::uint32_t AdsSetString(Handle table, const char* fieldName, const char* text,
                           std::uint32_t length) {
    return Resolve<SetStringFn>(epSetString)(table, fieldName, text, length);
}

std::uint32_t AdsWriteRecord(Handle table) { return Resolve<HandleFn>(epWriteRecord)(table); }

std::uint32_t AdsGetIndexHandle(Handle table, const char* indexName, Handle* index) {
    return Resolve<GetIndexHandleFn>(epGetIndexHandle)(table, indexName, index);
}

std::uint32_t AdsSeek(Handle index, const void* key, std::uint16_t keyLength, std::uint16_t keyType,
                      std::uint16_t seekType, std::uint16_t* found) {
    return Resolve<SeekFn>(epSeek)(index, key, keyLength, keyType, seekType, found);
}

std::uint32_t AdsDeleteRecord(Handle table) { return Resolve<HandleFn>(epDeleteRecord)(table); }

std::uint32_t AdsGetLastError(std::uint32_t* code, char* text, std::uint16_t* length) {
    return Resolve<GetLastErrorFn>(epGetLastError)(code, text, length);
}

void FreeClientLibrary() {
    if (library != nullptr) FreeLibrary(library);
    library = nullptr;
    resolved.fill(nullptr);
}

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    // The UTF-8 code page holds everything and takes neither flags nor the
    // used-default flag.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int size = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr,
                                         usedDefaultOut);
    if (size == 0 || usedDefault) {
        throw rtl::EDatabaseError(L"The text \"" + text +
                                  L"\" cannot be passed to the database client library: it "
                                  L"holds characters outside the system's ANSI code page");
    }
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), length, result.data(), size, nullptr, nullptr);
    return result;
}

std::wstring FromAnsi(const char* text, size_t length) {
    if (length == 0) return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), result.data(), size);
    return result;
}

}  // namespace ads::ace
