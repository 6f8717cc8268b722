#pragma once
// Our declarations of the database client library's C entry points, and the
// binding of ace32.dll on first use. Every entry point is exported by its
// plain name, uses stdcall and returns 0 for success or an error code.

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/rtl/SysUtils.h"

namespace ads {

// A call into the client library that failed; the message carries the
// client's own code and text.
class EAdsDatabaseError : public rtl::EDatabaseError {
public:
    EAdsDatabaseError(std::wstring message, std::uint32_t errorCode)
        : EDatabaseError(std::move(message)), ErrorCode(errorCode) {}
    std::uint32_t ErrorCode;
};

}  // namespace ads

namespace ads::ace {

// The client's handles are unsigned 32-bit integers in 32-bit programs. The
// tests run a 64-bit build of the same code against our stand-in library, so
// the handle is pointer-sized: 32 bits in the release, 64 in the test build.
using Handle = std::uintptr_t;

constexpr wchar_t LibraryFileName[] = L"ace32.dll";

// Server types, combined as a bit mask.
constexpr std::uint16_t LocalServer = 1;
constexpr std::uint16_t RemoteServer = 2;
constexpr std::uint16_t InternetServer = 4;

// Connection option: talk to the server by UDP over IP.
constexpr std::uint32_t UdpIpConnection = 0x20;

// Table opening: let the data dictionary resolve the table's type.
constexpr std::uint16_t DefaultTableType = 0;
constexpr std::uint16_t AnsiCharacters = 1;
constexpr std::uint16_t ProprietaryLocking = 1;
constexpr std::uint16_t CheckRights = 1;
constexpr std::uint32_t SharedOpen = 4;

// Seeking: an 8-byte double key, exact match only.
constexpr std::uint16_t DoubleKey = 4;
constexpr std::uint16_t HardSeek = 2;

// The entry points, each loading the library and resolving itself on first
// use. A missing library or entry point raises rtl::EDatabaseError naming it;
// otherwise the client's return code comes back unchanged.
std::uint32_t AdsConnect60(const char* path, std::uint16_t serverTypes, const char* userName,
                           const char* password, std::uint32_t options, Handle* connection);
std::uint32_t AdsDisconnect(Handle connection);
std::uint32_t AdsOpenTable(Handle connection, const char* tableName, const char* alias,
                           std::uint16_t tableType, std::uint16_t charType, std::uint16_t lockType,
                           std::uint16_t checkRights, std::uint32_t options, Handle* table);
std::uint32_t AdsCloseTable(Handle table);
std::uint32_t AdsAppendRecord(Handle table);
std::uint32_t AdsSetDouble(Handle table, const char* fieldName, double value);
std::uint32_t AdsSetString(Handle table, const char* fieldName, const char* text,
                           std::uint32_t length);
std::uint32_t AdsWriteRecord(Handle table);
std::uint32_t AdsGetIndexHandle(Handle table, const char* indexName, Handle* index);
std::uint32_t AdsSeek(Handle index, const void* key, std::uint16_t keyLength, std::uint16_t keyType,
                      std::uint16_t seekType, std::uint16_t* found);
std::uint32_t AdsDeleteRecord(Handle table);
std::uint32_t AdsGetLastError(std::uint32_t* code, char* text, std::uint16_t* length);

// Raises EAdsDatabaseError for a non-zero return code of the named entry
// point: "Error <code> from <entry point>: <client's text>".
void Check(std::uint32_t returnCode, const char* entryPoint);

// The program keeps the library loaded until it ends. Tests free it so that
// each of them loads the library that its own folder holds.
void FreeClientLibrary();

// The client takes and returns text in the system's ANSI code page; these
// are the only conversions between it and the program's UTF-16 text. Text
// that the code page cannot hold is refused rather than passed on altered.
std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const char* text, size_t length);

}  // namespace ads::ace
