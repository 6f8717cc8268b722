#include "platform/ads/AdsData.h"

namespace ads {

namespace {

// The client takes a missing user name or password as a null pointer.
const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

TAdsConnection::~TAdsConnection() {
    try {
        Disconnect();
    } catch (const rtl::Exception&) {
        // Nothing to tell anyone at this point; the handle is gone either way.
    }
}

void TAdsConnection::SetConnectPath(const std::wstring& path) {
    if (IsConnected()) {
        throw rtl::EDatabaseError(L"The connect path cannot be changed while connected");
    }
    connectPath_ = path;
}

void TAdsConnection::Connect() {
    if (IsConnected()) return;
    const std::string path = ace::ToAnsi(connectPath_);
    const std::string user = ace::ToAnsi(Username);
    const std::string password = ace::ToAnsi(Password);
    const std::uint32_t options = CommunicationType == ctAdsUDPIP ? ace::UdpIpConnection : 0;
    ace::Handle handle = 0;
    ace::Check(ace::AdsConnect60(path.c_str(), AdsServerTypes.Mask(), OrNull(user),
                                 OrNull(password), options, &handle),
               "AdsConnect60");
    handle_ = handle;
}

void TAdsConnection::Disconnect() {
    if (!IsConnected()) return;
    const ace::Handle handle = handle_;
    handle_ = 0;
    ace::Check(ace::AdsDisconnect(handle), "AdsDisconnect");
}

void TAdsField::SetAsFloat(double value) { table_.SetFieldDouble(name_, value); }

void TAdsField::SetAsString(const std::wstring& text) { table_.SetFieldString(name_, text); }

TAdsTable::~TAdsTable() {
    try {
        Close();
    } catch (const rtl::Exception&) {
        // As for the connection: the handle is forgotten whatever happens.
    }
}

void TAdsTable::CheckActive() const {
    if (!Active()) throw rtl::EDatabaseError(L"Table " + TableName + L" is not open");
}

void TAdsTable::Open() {
    if (Active()) return;
    if (AdsConnection == nullptr || !AdsConnection->IsConnected()) {
        throw rtl::EDatabaseError(L"Table " + TableName + L" cannot be opened: not connected");
    }
    const std::string name = ace::ToAnsi(TableName);
    ace::Handle handle = 0;
    ace::Check(
        ace::AdsOpenTable(AdsConnection->Handle(), name.c_str(), nullptr, ace::DefaultTableType,
                          ace::AnsiCharacters, ace::ProprietaryLocking, ace::CheckRights,
                          ace::SharedOpen, &handle),
        "AdsOpenTable");
    handle_ = handle;
    state_ = State::Browse;
}

void TAdsTable::Close() {
    if (!Active()) return;
    const ace::Handle handle = handle_;
    handle_ = 0;
    state_ = State::Browse;
    ace::Check(ace::AdsCloseTable(handle), "AdsCloseTable");
}

void TAdsTable::Append() {
    CheckActive();
    ace::Check(ace::AdsAppendRecord(handle_), "AdsAppendRecord");
    state_ = State::Insert;
}

void TAdsTable::Post() {
    CheckActive();
    if (state_ != State::Insert) {
        throw rtl::EDatabaseError(L"Table " + TableName + L" has no record to post");
    }
    ace::Check(ace::AdsWriteRecord(handle_), "AdsWriteRecord");
    state_ = State::Browse;
}

void TAdsTable::SetFieldDouble(const std::wstring& field, double value) {
    CheckActive();
    if (state_ == State::SetKey) {
        // Only the key of the index searched; GotoKey names the index.
        key_ = value;
        keySet_ = true;
        return;
    }
    const std::string name = ace::ToAnsi(field);
    ace::Check(ace::AdsSetDouble(handle_, name.c_str(), value), "AdsSetDouble");
}

void TAdsTable::SetFieldString(const std::wstring& field, const std::wstring& text) {
    CheckActive();
    if (state_ == State::SetKey) {
        throw rtl::EDatabaseError(L"Table " + TableName +
                                  L": only numeric search keys are supported");
    }
    const std::string name = ace::ToAnsi(field);
    const std::string value = ace::ToAnsi(text);
    ace::Check(ace::AdsSetString(handle_, name.c_str(), value.c_str(),
                                 static_cast<std::uint32_t>(value.size())),
               "AdsSetString");
}

void TAdsTable::SetKey() {
    CheckActive();
    // A record that failed to post is abandoned here: it never reached the
    // table, and the search that follows must see the table as it is.
    state_ = State::SetKey;
    keySet_ = false;
}

bool TAdsTable::GotoKey() {
    CheckActive();
    if (state_ != State::SetKey || !keySet_) {
        throw rtl::EDatabaseError(L"Table " + TableName + L": no search key was given");
    }
    state_ = State::Browse;
    if (IndexName.empty()) {
        throw rtl::EDatabaseError(L"Table " + TableName + L": no index is selected");
    }
    const std::string index = ace::ToAnsi(IndexName);
    ace::Handle indexHandle = 0;
    ace::Check(ace::AdsGetIndexHandle(handle_, index.c_str(), &indexHandle), "AdsGetIndexHandle");
    std::uint16_t found = 0;
    ace::Check(ace::AdsSeek(indexHandle, &key_, sizeof key_, ace::DoubleKey, ace::HardSeek, &found),
               "AdsSeek");
    return found != 0;
}

void TAdsTable::Delete() {
    CheckActive();
    ace::Check(ace::AdsDeleteRecord(handle_), "AdsDeleteRecord");
}

}  // namespace ads
