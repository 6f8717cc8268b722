#pragma once
// The database connection and table components, with just the behaviour the
// check run needs. Each operation is one or two calls of the client library
// (platform/ads/AceApi.h); a failing call raises ads::EAdsDatabaseError with
// the client's code and text, a misuse of the components rtl::EDatabaseError.

#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/ads/AceApi.h"

namespace ads {

enum class TAdsServerType : std::uint16_t {
    Local = ace::LocalServer,
    Remote = ace::RemoteServer,
    Internet = ace::InternetServer
};

// The kinds of server that a connection may use, as the client's bit mask.
class TAdsServerTypes {
public:
    TAdsServerTypes() = default;
    TAdsServerTypes(std::initializer_list<TAdsServerType> types) {
        for (TAdsServerType type : types) mask_ |= static_cast<std::uint16_t>(type);
    }
    bool Contains(TAdsServerType type) const {
        return (mask_ & static_cast<std::uint16_t>(type)) != 0;
    }
    std::uint16_t Mask() const { return mask_; }
    bool operator==(const TAdsServerTypes&) const = default;

private:
    std::uint16_t mask_ = 0;
};

enum TAdsCommunicationType { ctAdsDefault, ctAdsUDPIP };

class TAdsConnection {
public:
    TAdsConnection() = default;
    ~TAdsConnection();  // disconnects
    TAdsConnection(const TAdsConnection&) = delete;
    TAdsConnection& operator=(const TAdsConnection&) = delete;

    // Settings used by the next Connect.
    TAdsServerTypes AdsServerTypes{TAdsServerType::Remote};
    std::wstring Username;
    std::wstring Password;  // empty: none is sent
    TAdsCommunicationType CommunicationType = ctAdsDefault;
    // The connection never asks the user for a name or password.
    static constexpr bool LoginPrompt = false;

    const std::wstring& ConnectPath() const { return connectPath_; }
    // Refused with rtl::EDatabaseError while connected.
    void SetConnectPath(const std::wstring& path);

    // Does nothing when already connected; on failure stays disconnected.
    void Connect();
    void Disconnect();
    bool IsConnected() const { return handle_ != 0; }
    ace::Handle Handle() const { return handle_; }

private:
    std::wstring connectPath_;
    ace::Handle handle_ = 0;
};

class TAdsTable;

// A field of the table's current record, or of the search key in key entry.
class TAdsField {
public:
    TAdsField(TAdsTable& table, std::wstring name) : table_(table), name_(std::move(name)) {}
    const std::wstring& FieldName() const { return name_; }
    void SetAsFloat(double value);
    void SetAsString(const std::wstring& text);

private:
    TAdsTable& table_;
    std::wstring name_;
};

class TAdsTable {
public:
    TAdsTable() = default;
    ~TAdsTable();  // closes
    TAdsTable(const TAdsTable&) = delete;
    TAdsTable& operator=(const TAdsTable&) = delete;

    TAdsConnection* AdsConnection = nullptr;
    std::wstring TableName;
    // The index that GotoKey searches.
    std::wstring IndexName;

    // Opens TableName through the connection, which must be connected.
    void Open();
    void Close();
    bool Active() const { return handle_ != 0; }

    // Starts a new record; field assignments fill it and Post stores it.
    // A record that failed to post stays pending until Post succeeds or
    // SetKey abandons it.
    void Append();
    void Post();
    // Does not look the field up: an unknown name fails at the assignment.
    TAdsField FieldByName(const std::wstring& name) { return TAdsField(*this, name); }

    // Key entry: the next numeric field assignment is the search key, and
    // GotoKey looks for a record with exactly that key in IndexName.
    void SetKey();
    // True, with the record current, when one has exactly the key.
    bool GotoKey();
    // Deletes the current record.
    void Delete();

    ace::Handle Handle() const { return handle_; }

private:
    friend class TAdsField;
    enum class State { Browse, Insert, SetKey };
    void CheckActive() const;
    void SetFieldDouble(const std::wstring& field, double value);
    void SetFieldString(const std::wstring& field, const std::wstring& text);

    ace::Handle handle_ = 0;
    State state_ = State::Browse;
    bool keySet_ = false;
    double key_ = 0;
};

}  // namespace ads
