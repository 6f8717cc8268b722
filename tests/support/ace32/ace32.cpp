// A stand-in for the database client library, for the tests and the demo.
// It answers the entry points the program uses from a small world file
// beside it (its own file name with ".ini" for ".dll"):
//
//   [Servers]          connect path (or * for any other) = server types that
//                      answer: remote, internet, local; a local connection
//                      also needs the path to name an existing file
//   [Tables]           table name = its fields, comma-separated; a field "ID"
//                      takes numbers and gives the table an index "ID"
//   [Records]          table name = IDs of records it holds when first opened
//   [Fail]             entry point name = code,text: that call always fails
//   [Stand-in]         Trace = a file to which every call is appended
//
// Records live in memory for as long as the library is loaded. Every error
// text begins with "Stand-in ace32: ", so a log never passes for a real one.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace {

using Handle = std::uintptr_t;
using Value = std::variant<double, std::string>;

// The stand-in's own error codes.
constexpr std::uint32_t NoServer = 9001;
constexpr std::uint32_t BadHandle = 9002;
constexpr std::uint32_t NoTable = 9003;
constexpr std::uint32_t NoField = 9004;
constexpr std::uint32_t NoIndex = 9005;
constexpr std::uint32_t NoRecord = 9006;
constexpr std::uint32_t Unsupported = 9007;
constexpr std::uint32_t BufferTooSmall = 9008;

struct Record {
    std::uint64_t serial = 0;
    std::map<std::string, Value> fields;  // upper-case field names
};

struct Table {
    std::vector<std::string> fields;  // upper case
    std::vector<Record> records;
};

struct Cursor {
    Handle connection = 0;
    std::string table;  // upper case
    std::optional<Record> pending;
    std::uint64_t current = 0;  // serial of the current record, 0 for none
};

HMODULE self = nullptr;
Handle nextHandle = 0x1000;
std::uint64_t nextSerial = 1;
std::map<Handle, std::string> connections;  // handle -> connect path
std::map<std::string, Table> tables;
std::map<Handle, Cursor> cursors;
std::map<Handle, Handle> indexes;  // index handle -> table handle
std::uint32_t lastCode = 0;
std::string lastText;

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int size =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
    return result;
}

std::string Ansi(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                        nullptr, nullptr);
    return result;
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        const std::string part = Trim(text.substr(start, comma - start));
        if (!part.empty()) parts.push_back(part);
        if (comma == std::string::npos) return parts;
        start = comma + 1;
    }
}

std::wstring WorldFile() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring file(path, length);
    const size_t dot = file.find_last_of(L'.');
    if (dot != std::wstring::npos && file.find(L'\\', dot) == std::wstring::npos) file.resize(dot);
    return file + L".ini";
}

// The world file's value, or nothing when the key is missing.
std::optional<std::string> World(const wchar_t* section, const std::string& key) {
    static constexpr wchar_t Missing[] = L"\x01missing\x01";
    std::vector<wchar_t> buffer(65536);
    const DWORD length =
        GetPrivateProfileStringW(section, Wide(key).c_str(), Missing, buffer.data(),
                                 static_cast<DWORD>(buffer.size()), WorldFile().c_str());
    const std::wstring value(buffer.data(), length);
    if (value == Missing) return std::nullopt;
    return Ansi(value);
}

void Trace(const std::string& line) {
    const std::optional<std::string> file = World(L"Stand-in", "Trace");
    if (!file || file->empty()) return;
    HANDLE h = CreateFileW(Wide(*file).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
}

std::uint32_t Fail(std::uint32_t code, const std::string& text) {
    lastCode = code;
    lastText = "Stand-in ace32: " + text;
    return code;
}

std::uint32_t Succeed() {
    lastCode = 0;
    lastText.clear();
    return 0;
}

// Traces the call and tells whether the world makes it fail; 0 when not.
std::uint32_t Enter(const char* entry, const std::string& arguments) {
    Trace(std::string(entry) + "(" + arguments + ")");
    const std::optional<std::string> failure = World(L"Fail", entry);
    if (!failure) return 0;
    const size_t comma = failure->find(',');
    const std::uint32_t code =
        static_cast<std::uint32_t>(std::strtoul(failure->substr(0, comma).c_str(), nullptr, 10));
    const std::string text =
        comma == std::string::npos ? std::string() : failure->substr(comma + 1);
    lastCode = code;
    lastText = text.empty() ? std::string() : "Stand-in ace32: " + text;
    return code;
}

std::string Text(const char* text) { return text == nullptr ? "(null)" : text; }

std::string Number(std::uint64_t value, bool hex = false) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, hex ? "0x%llx" : "%llu",
                  static_cast<unsigned long long>(value));
    return buffer;
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::uint16_t AnsweringTypes(const std::string& path) {
    std::optional<std::string> listed = World(L"Servers", path);
    if (!listed) listed = World(L"Servers", "*");
    std::uint16_t types = 0;
    for (const std::string& type : Split(listed.value_or(""))) {
        const std::string name = Upper(type);
        if (name == "LOCAL") types |= 1;
        if (name == "REMOTE") types |= 2;
        if (name == "INTERNET") types |= 4;
    }
    if (!IsFile(path)) types &= ~1;
    return types;
}

// The table's data, created from the world file when first opened.
Table* FindTable(const std::string& name) {
    const std::string key = Upper(name);
    auto found = tables.find(key);
    if (found != tables.end()) return &found->second;
    const std::optional<std::string> fields = World(L"Tables", name);
    if (!fields) return nullptr;
    Table& table = tables[key];
    for (const std::string& field : Split(*fields)) table.fields.push_back(Upper(field));
    for (const std::string& id : Split(World(L"Records", name).value_or(""))) {
        Record record;
        record.serial = nextSerial++;
        record.fields["ID"] = std::strtod(id.c_str(), nullptr);
        table.records.push_back(record);
    }
    return &table;
}

Cursor* FindCursor(Handle table) {
    auto found = cursors.find(table);
    return found == cursors.end() ? nullptr : &found->second;
}

bool HasField(const Table& table, const std::string& field) {
    for (const std::string& name : table.fields) {
        if (name == Upper(field)) return true;
    }
    return false;
}

std::uint32_t SetField(Handle tableHandle, const char* field, Value value) {
    Cursor* cursor = FindCursor(tableHandle);
    if (cursor == nullptr) return Fail(BadHandle, "no open table has this handle");
    if (field == nullptr || !HasField(tables[cursor->table], field)) {
        return Fail(NoField, "table " + cursor->table + " has no field " + Text(field));
    }
    if (!cursor->pending) return Fail(NoRecord, "no record is being appended");
    cursor->pending->fields[Upper(field)] = std::move(value);
    return Succeed();
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

std::uint32_t WINAPI AdsConnect60(const char* path, std::uint16_t serverTypes, const char* userName,
                                  const char* password, std::uint32_t options, Handle* connection) {
    if (std::uint32_t rc =
            Enter("AdsConnect60", "path=" + Text(path) + " types=" + Number(serverTypes) +
                                      " user=" + Text(userName) + " password=" + Text(password) +
                                      " options=" + Number(options, true))) {
        return rc;
    }
    if (path == nullptr || connection == nullptr) return Fail(Unsupported, "no path or no handle");
    if ((AnsweringTypes(path) & serverTypes) == 0) {
        return Fail(NoServer, "no server of types " + Number(serverTypes) + " answers for " + path);
    }
    *connection = nextHandle++;
    connections[*connection] = path;
    return Succeed();
}

std::uint32_t WINAPI AdsDisconnect(Handle connection) {
    if (std::uint32_t rc = Enter("AdsDisconnect", Number(connection, true))) return rc;
    if (connections.erase(connection) == 0) return Fail(BadHandle, "no connection has this handle");
    for (auto it = cursors.begin(); it != cursors.end();) {
        it = it->second.connection == connection ? cursors.erase(it) : std::next(it);
    }
    return Succeed();
}

std::uint32_t WINAPI AdsOpenTable(Handle connection, const char* tableName, const char* alias,
                                  std::uint16_t tableType, std::uint16_t charType,
                                  std::uint16_t lockType, std::uint16_t checkRights,
                                  std::uint32_t options, Handle* table) {
    if (std::uint32_t rc = Enter(
            "AdsOpenTable", "name=" + Text(tableName) + " alias=" + Text(alias) +
                                " type=" + Number(tableType) + " chars=" + Number(charType) +
                                " locking=" + Number(lockType) + " rights=" + Number(checkRights) +
                                " options=" + Number(options, true))) {
        return rc;
    }
    if (connections.count(connection) == 0) return Fail(BadHandle, "no connection has this handle");
    if (tableName == nullptr || table == nullptr || FindTable(tableName) == nullptr) {
        return Fail(NoTable, "the dictionary has no table " + Text(tableName));
    }
    *table = nextHandle++;
    cursors[*table] = Cursor{connection, Upper(tableName), std::nullopt, 0};
    return Succeed();
}

std::uint32_t WINAPI AdsCloseTable(Handle table) {
    if (std::uint32_t rc = Enter("AdsCloseTable", Number(table, true))) return rc;
    if (cursors.erase(table) == 0) return Fail(BadHandle, "no open table has this handle");
    return Succeed();
}

std::uint32_t WINAPI AdsAppendRecord(Handle table) {
    if (std::uint32_t rc = Enter("AdsAppendRecord", Number(table, true))) return rc;
    Cursor* cursor = FindCursor(table);
    if (cursor == nullptr) return Fail(BadHandle, "no open table has this handle");
    cursor->pending = Record{};
    return Succeed();
}

std::uint32_t WINAPI AdsSetDouble(Handle table, const char* fieldName, double value) {
    char number[64];
    std::snprintf(number, sizeof number, "%.17g", value);
    if (std::uint32_t rc = Enter("AdsSetDouble", "field=" + Text(fieldName) + " value=" + number)) {
        return rc;
    }
    return SetField(table, fieldName, value);
}

std::uint32_t WINAPI AdsSetString(Handle table, const char* fieldName, const char* text,
                                  std::uint32_t length) {
    const std::string value = text == nullptr ? std::string() : std::string(text, length);
    if (std::uint32_t rc = Enter("AdsSetString", "field=" + Text(fieldName) + " value=" + value +
                                                     " length=" + Number(length))) {
        return rc;
    }
    return SetField(table, fieldName, value);
}

std::uint32_t WINAPI AdsWriteRecord(Handle table) {
    if (std::uint32_t rc = Enter("AdsWriteRecord", Number(table, true))) return rc;
    Cursor* cursor = FindCursor(table);
    if (cursor == nullptr) return Fail(BadHandle, "no open table has this handle");
    if (cursor->pending) {
        cursor->pending->serial = nextSerial++;
        cursor->current = cursor->pending->serial;
        tables[cursor->table].records.push_back(*cursor->pending);
        cursor->pending.reset();
    }
    return Succeed();
}

std::uint32_t WINAPI AdsGetIndexHandle(Handle table, const char* indexName, Handle* index) {
    if (std::uint32_t rc = Enter("AdsGetIndexHandle", "name=" + Text(indexName))) return rc;
    Cursor* cursor = FindCursor(table);
    if (cursor == nullptr) return Fail(BadHandle, "no open table has this handle");
    if (indexName == nullptr || index == nullptr || Upper(indexName) != "ID" ||
        !HasField(tables[cursor->table], "ID")) {
        return Fail(NoIndex, "table " + cursor->table + " has no index " + Text(indexName));
    }
    *index = nextHandle++;
    indexes[*index] = table;
    return Succeed();
}

std::uint32_t WINAPI AdsSeek(Handle index, const void* key, std::uint16_t keyLength,
                             std::uint16_t keyType, std::uint16_t seekType, std::uint16_t* found) {
    double wanted = 0;
    if (key != nullptr && keyLength == sizeof wanted) std::memcpy(&wanted, key, sizeof wanted);
    char number[64];
    std::snprintf(number, sizeof number, "%.17g", wanted);
    if (std::uint32_t rc =
            Enter("AdsSeek", "key=" + std::string(number) + " length=" + Number(keyLength) +
                                 " keytype=" + Number(keyType) + " seek=" + Number(seekType))) {
        return rc;
    }
    auto indexEntry = indexes.find(index);
    Cursor* cursor = indexEntry == indexes.end() ? nullptr : FindCursor(indexEntry->second);
    if (cursor == nullptr) return Fail(BadHandle, "no open index has this handle");
    if (key == nullptr || found == nullptr || keyLength != sizeof wanted || keyType != 4 ||
        seekType != 2) {
        return Fail(Unsupported, "only exact seeks for an 8-byte double key are supported");
    }
    // Moving the cursor leaves a record that was never written behind.
    cursor->pending.reset();
    cursor->current = 0;
    for (const Record& record : tables[cursor->table].records) {
        auto id = record.fields.find("ID");
        if (id != record.fields.end() && std::holds_alternative<double>(id->second) &&
            std::get<double>(id->second) == wanted) {
            cursor->current = record.serial;
            break;
        }
    }
    *found = cursor->current != 0 ? 1 : 0;
    return Succeed();
}

std::uint32_t WINAPI AdsDeleteRecord(Handle table) {
    if (std::uint32_t rc = Enter("AdsDeleteRecord", Number(table, true))) return rc;
    Cursor* cursor = FindCursor(table);
    if (cursor == nullptr) return Fail(BadHandle, "no open table has this handle");
    std::vector<Record>& records = tables[cursor->table].records;
    for (auto it = records.begin(); it != records.end(); ++it) {
        if (cursor->current != 0 && it->serial == cursor->current) {
            records.erase(it);
            cursor->current = 0;
            return Succeed();
        }
    }
    return Fail(NoRecord, "there is no current record to delete");
}

// Leaves the last error as it is, so that it can be asked for again.
std::uint32_t WINAPI AdsGetLastError(std::uint32_t* code, char* text, std::uint16_t* length) {
    const std::optional<std::string> failure = World(L"Fail", "AdsGetLastError");
    if (failure) return static_cast<std::uint32_t>(std::strtoul(failure->c_str(), nullptr, 10));
    if (code == nullptr || text == nullptr || length == nullptr) return Unsupported;
    *code = lastCode;
    const size_t capacity = *length;
    *length = static_cast<std::uint16_t>(lastText.size() < 65535 ? lastText.size() : 65535);
    if (lastText.size() >= capacity) {
        // Fills the buffer without a terminating zero and names the length
        // it needs, as a careless caller would find out the hard way.
        std::memcpy(text, lastText.data(), capacity);
        return BufferTooSmall;
    }
    std::memcpy(text, lastText.c_str(), lastText.size() + 1);
    return 0;
}

}  // extern "C"
