// The database components against the stand-in client library. Each test
// installs the stand-in with its own world into a scratch folder and points
// the DLL search there, the way the program finds ace32.dll beside itself.

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "platform/ads/AdsData.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ace32/StandIn.h"

using ads::EAdsDatabaseError;
using ads::TAdsConnection;
using ads::TAdsServerType;
using ads::TAdsServerTypes;
using ads::TAdsTable;
using testsupport::ScratchFolder;
using testsupport::StandInWorld;

namespace {

std::string Narrow(const std::wstring& text) { return rtl::WideToUtf8(text); }

bool StartsWith(const std::wstring& text, const std::wstring& start) {
    return text.compare(0, start.size(), start) == 0;
}

class AdsTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::MakeFolders(data.Path() + L"db");
        dictionary = data.Path() + L"db\\db.add";
        testsupport::WriteText(dictionary, L"dictionary");
        trace = library.Path() + L"trace.txt";
    }
    void TearDown() override {
        ads::ace::FreeClientLibrary();
        SetDllDirectoryW(L"");
    }

    // The world every test starts from: the dictionary answers remotely.
    StandInWorld World() const {
        StandInWorld world;
        world.TraceFile = trace;
        world.Answer(dictionary, L"remote");
        return world;
    }
    void Install(const StandInWorld& world, const std::wstring& dll = testsupport::StandInDll()) {
        // A loaded DLL cannot be replaced; the cases of a table reinstall.
        ads::ace::FreeClientLibrary();
        testsupport::InstallStandIn(library.Path(), world, dll);
        ASSERT_TRUE(SetDllDirectoryW(library.Path().c_str()));
    }
    void Connect(TAdsConnection& con) {
        con.SetConnectPath(dictionary);
        con.Connect();
        ASSERT_TRUE(con.IsConnected());
    }
    void Open(TAdsConnection& con, TAdsTable& tb) {
        Connect(con);
        tb.AdsConnection = &con;
        tb.TableName = L"LM_Configuration";
        tb.IndexName = L"ID";
        tb.Open();
        ASSERT_TRUE(tb.Active());
    }
    static bool Find(TAdsTable& tb, double id) {
        tb.SetKey();
        tb.FieldByName(L"ID").SetAsFloat(id);
        return tb.GotoKey();
    }
    static void AppendTestRecord(TAdsTable& tb) {
        tb.Append();
        tb.FieldByName(L"ID").SetAsFloat(9999.0);
        tb.FieldByName(L"Key").SetAsString(L"Test");
        tb.Post();
    }
    std::string Trace() const {
        return testsupport::PathExists(trace) ? testsupport::ReadBytes(trace) : std::string();
    }

    // The library folder comes before the data folder so that it goes last,
    // after FreeClientLibrary has let go of the DLL in it.
    ScratchFolder library;
    ScratchFolder data;
    std::wstring dictionary;
    std::wstring trace;
};

struct ConnectCase {
    const char* name;
    // What the world says answers for the path; nullptr: the path is not
    // listed, and any other path answers remote.
    const wchar_t* answering;
    TAdsServerTypes requested;
    bool dictionaryExists;
    bool connects;
};

TEST_F(AdsTest, ConnectSucceedsOnlyWhereARequestedServerTypeAnswers) {
    const ConnectCase cases[] = {
        {"remote answers remote", L"remote", {TAdsServerType::Remote}, true, true},
        {"local asked, only remote answers", L"remote", {TAdsServerType::Local}, true, false},
        {"local answers local", L"local", {TAdsServerType::Local}, true, true},
        {"local without dictionary file", L"local", {TAdsServerType::Local}, false, false},
        {"remote asked, only local answers", L"local", {TAdsServerType::Remote}, true, false},
        {"internet answers remote or internet",
         L"internet",
         {TAdsServerType::Remote, TAdsServerType::Internet},
         true,
         true},
        {"remote asked, only internet answers", L"internet", {TAdsServerType::Remote}, true, false},
        {"nothing answers", L"", {TAdsServerType::Remote, TAdsServerType::Local}, true, false},
        {"any other path answers remote", nullptr, {TAdsServerType::Remote}, true, true},
    };
    for (const ConnectCase& c : cases) {
        SCOPED_TRACE(c.name);
        StandInWorld world;
        if (c.answering != nullptr) {
            world.Answer(dictionary, c.answering);
        } else {
            world.Answer(L"*", L"remote");
        }
        Install(world);
        if (!c.dictionaryExists) DeleteFileW(dictionary.c_str());

        TAdsConnection con;
        con.SetConnectPath(dictionary);
        con.AdsServerTypes = c.requested;
        if (c.connects) {
            EXPECT_NO_THROW(con.Connect());
        } else {
            try {
                con.Connect();
                ADD_FAILURE() << "expected a connect error, got none";
            } catch (const EAdsDatabaseError& e) {
                EXPECT_EQ(9001u, e.ErrorCode);
                EXPECT_TRUE(
                    StartsWith(e.Message(), L"Error 9001 from AdsConnect60: Stand-in ace32: "))
                    << "got " << Narrow(e.Message());
            }
        }
        EXPECT_EQ(c.connects, con.IsConnected());
        testsupport::WriteText(dictionary, L"dictionary");
    }
}

TEST_F(AdsTest, ConnectPathIsRefusedWhileConnectedAndKeptAsSet) {
    Install(World());
    TAdsConnection con;
    const std::wstring other = data.Path() + L"other\\db.add";
    con.SetConnectPath(other);
    EXPECT_THROW(con.Connect(), EAdsDatabaseError);
    EXPECT_EQ(other, con.ConnectPath()) << "a failed connect must leave the path as set";

    con.SetConnectPath(dictionary);
    con.Connect();
    try {
        con.SetConnectPath(other);
        ADD_FAILURE() << "expected the connect path to be refused while connected";
    } catch (const rtl::EDatabaseError& e) {
        EXPECT_EQ(L"The connect path cannot be changed while connected", e.Message());
    }
    EXPECT_EQ(dictionary, con.ConnectPath());
    EXPECT_TRUE(con.IsConnected());
}

TEST_F(AdsTest, CallsCarryTheSettingsTheRunNeeds) {
    Install(World());
    {
        TAdsConnection con;
        con.Username = L"adssys";
        con.CommunicationType = ads::ctAdsUDPIP;
        TAdsTable tb;
        Open(con, tb);
        AppendTestRecord(tb);
        EXPECT_TRUE(Find(tb, 9999.0));
    }
    const std::string calls = Trace();
    const char* expected[] = {
        "AdsConnect60(path=",
        "types=2 user=adssys password=(null) options=0x20)",
        "AdsOpenTable(name=LM_Configuration alias=(null) type=0 chars=1 locking=1 rights=1 "
        "options=0x4)",
        "AdsSetString(field=Key value=Test length=4)",
        "AdsGetIndexHandle(name=ID)",
        "AdsSeek(key=9999 length=8 keytype=4 seek=2)",
        // The table closes and the connection ends with the components.
        "AdsCloseTable(",
        "AdsDisconnect(",
    };
    size_t at = 0;
    for (const char* part : expected) {
        const size_t found = calls.find(part, at);
        EXPECT_NE(std::string::npos, found)
            << "expected \"" << part << "\" after offset " << at << " in the calls:\n"
            << calls;
        if (found != std::string::npos) at = found;
    }
}

TEST_F(AdsTest, TableThatCannotBeOpenedStaysInactive) {
    Install(World().Fail(L"AdsOpenTable", 7008, L"table is locked"));
    TAdsConnection con;
    Connect(con);
    TAdsTable tb;
    tb.AdsConnection = &con;
    tb.TableName = L"LM_Configuration";
    try {
        tb.Open();
        ADD_FAILURE() << "expected an open error";
    } catch (const EAdsDatabaseError& e) {
        EXPECT_EQ(L"Error 7008 from AdsOpenTable: Stand-in ace32: table is locked", e.Message());
    }
    EXPECT_FALSE(tb.Active());

    tb.TableName = L"NoSuchTable";
    WriteStandInWorld(library.Path(), World());
    EXPECT_THROW(tb.Open(), EAdsDatabaseError);
    EXPECT_FALSE(tb.Active());
}

TEST_F(AdsTest, TableNeedsAConnectedConnection) {
    Install(World());
    TAdsConnection con;
    TAdsTable tb;
    tb.TableName = L"LM_Configuration";
    EXPECT_THROW(tb.Open(), rtl::EDatabaseError) << "without a connection component";
    tb.AdsConnection = &con;
    EXPECT_THROW(tb.Open(), rtl::EDatabaseError) << "with a connection that is not connected";
    EXPECT_FALSE(tb.Active());
    EXPECT_EQ("", Trace()) << "nothing may reach the library";
}

TEST_F(AdsTest, WrittenRecordIsFoundByItsKeyAndForgottenOnceDeleted) {
    Install(World());
    TAdsConnection con;
    TAdsTable tb;
    Open(con, tb);
    EXPECT_FALSE(Find(tb, 9999.0)) << "the table starts empty";

    AppendTestRecord(tb);
    EXPECT_FALSE(Find(tb, 9998.0)) << "only an exact key matches";
    EXPECT_FALSE(Find(tb, 9999.000001)) << "only an exact key matches";
    ASSERT_TRUE(Find(tb, 9999.0));
    tb.Delete();
    EXPECT_FALSE(Find(tb, 9999.0)) << "a deleted record must be gone";
    EXPECT_THROW(tb.Delete(), EAdsDatabaseError) << "no current record after a failed search";
}

TEST_F(AdsTest, RecordHeldBeforeTheRunIsFoundAndDeleted) {
    StandInWorld world = World();
    world.Records.emplace_back(L"LM_Configuration", L"42,9999");
    Install(world);
    TAdsConnection con;
    TAdsTable tb;
    Open(con, tb);
    ASSERT_TRUE(Find(tb, 9999.0));
    tb.Delete();
    EXPECT_FALSE(Find(tb, 9999.0));
    EXPECT_TRUE(Find(tb, 42.0)) << "deleting one record must leave the others";
}

TEST_F(AdsTest, RecordThatFailedToPostStaysPendingUntilKeyEntry) {
    Install(World().Fail(L"AdsWriteRecord", 5035, L"record is locked"));
    TAdsConnection con;
    TAdsTable tb;
    Open(con, tb);
    EXPECT_THROW(AppendTestRecord(tb), EAdsDatabaseError);

    // The record is still pending: a second post, once the client lets it,
    // stores it.
    WriteStandInWorld(library.Path(), World());
    EXPECT_NO_THROW(tb.Post());
    EXPECT_TRUE(Find(tb, 9999.0));
    tb.Delete();

    // Key entry abandons a record that never reached the table.
    WriteStandInWorld(library.Path(), World().Fail(L"AdsWriteRecord", 5035, L"record is locked"));
    EXPECT_THROW(AppendTestRecord(tb), EAdsDatabaseError);
    WriteStandInWorld(library.Path(), World());
    EXPECT_FALSE(Find(tb, 9999.0));
    EXPECT_THROW(tb.Post(), rtl::EDatabaseError) << "nothing is left to post";
}

struct FailingCall {
    const wchar_t* entryPoint;
    std::function<void(TAdsTable&)> operation;
};

TEST_F(AdsTest, FailingCallRaisesTheClientsCodeAndText) {
    const FailingCall cases[] = {
        {L"AdsAppendRecord", [](TAdsTable& tb) { tb.Append(); }},
        {L"AdsSetDouble",
         [](TAdsTable& tb) {
             tb.Append();
             tb.FieldByName(L"ID").SetAsFloat(1);
         }},
        {L"AdsSetString",
         [](TAdsTable& tb) {
             tb.Append();
             tb.FieldByName(L"Key").SetAsString(L"x");
         }},
        {L"AdsWriteRecord", [](TAdsTable& tb) { AppendTestRecord(tb); }},
        {L"AdsGetIndexHandle", [](TAdsTable& tb) { Find(tb, 1); }},
        {L"AdsSeek", [](TAdsTable& tb) { Find(tb, 1); }},
        {L"AdsDeleteRecord",
         [](TAdsTable& tb) {
             AppendTestRecord(tb);
             tb.Delete();
         }},
    };
    for (const FailingCall& c : cases) {
        SCOPED_TRACE(Narrow(c.entryPoint));
        Install(World().Fail(c.entryPoint, 5132, L"it went wrong"));
        TAdsConnection con;
        TAdsTable tb;
        Open(con, tb);
        try {
            c.operation(tb);
            ADD_FAILURE() << "expected an error, got none";
        } catch (const EAdsDatabaseError& e) {
            EXPECT_EQ(5132u, e.ErrorCode);
            EXPECT_EQ(L"Error 5132 from " + std::wstring(c.entryPoint) +
                          L": Stand-in ace32: it went wrong",
                      e.Message());
        }
    }
}

TEST_F(AdsTest, UnknownFieldIsTheClientsError) {
    Install(World());
    TAdsConnection con;
    TAdsTable tb;
    Open(con, tb);
    tb.Append();
    try {
        tb.FieldByName(L"Nothing").SetAsFloat(1);
        ADD_FAILURE() << "expected an error, got none";
    } catch (const EAdsDatabaseError& e) {
        EXPECT_TRUE(StartsWith(e.Message(), L"Error 9004 from AdsSetDouble: Stand-in ace32: "))
            << "got " << Narrow(e.Message());
    }
}

TEST_F(AdsTest, ErrorTextOfAnyLengthOrNoneGivesAClearMessage) {
    const std::wstring longText(3000, L'x');
    struct Case {
        const char* name;
        StandInWorld world;
        std::wstring expected;
    } cases[] = {
        {"empty text", World().Fail(L"AdsConnect60", 6420, L""),
         L"Error 6420 from AdsConnect60: (the client library gave no error text)"},
        {"text longer than the first buffer", World().Fail(L"AdsConnect60", 6420, longText),
         L"Error 6420 from AdsConnect60: Stand-in ace32: " + longText},
        {"text longer than the client can say, cut at that length",
         World().Fail(L"AdsConnect60", 6420, std::wstring(70000, L'y')),
         L"Error 6420 from AdsConnect60: Stand-in ace32: " + std::wstring(65535 - 16, L'y')},
        {"error text not to be had",
         World().Fail(L"AdsConnect60", 6420, L"lost").Fail(L"AdsGetLastError", 5005, L""),
         L"Error 6420 from AdsConnect60: (the client library gave no error text)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Install(c.world);
        TAdsConnection con;
        con.SetConnectPath(dictionary);
        try {
            con.Connect();
            ADD_FAILURE() << "expected a connect error";
        } catch (const EAdsDatabaseError& e) {
            EXPECT_EQ(c.expected, e.Message());
        }
    }
}

TEST_F(AdsTest, MissingOrBrokenLibraryIsADatabaseErrorThatNamesIt) {
    struct Case {
        const char* name;
        std::function<void(const std::wstring& folder)> prepare;
    } cases[] = {
        {"no library", [](const std::wstring&) {}},
        {"a text file named ace32.dll",
         [](const std::wstring& folder) {
             testsupport::WriteBytes(folder + L"ace32.dll", "this is not a program\r\n");
         }},
        {"an empty file named ace32.dll",
         [](const std::wstring& folder) { testsupport::WriteBytes(folder + L"ace32.dll", ""); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        c.prepare(folder.Path());
        ASSERT_TRUE(SetDllDirectoryW(folder.Path().c_str()));
        TAdsConnection con;
        con.SetConnectPath(dictionary);
        try {
            con.Connect();
            ADD_FAILURE() << "expected an error, got none";
        } catch (const EAdsDatabaseError& e) {
            ADD_FAILURE() << "expected the library's own error, got " << Narrow(e.Message());
        } catch (const rtl::EDatabaseError& e) {
            EXPECT_TRUE(StartsWith(e.Message(),
                                   L"The database client library ace32.dll could not be loaded: "))
                << "got " << Narrow(e.Message());
            EXPECT_EQ(std::wstring::npos, e.Message().find(L"%1")) << "got " << Narrow(e.Message());
        }
        EXPECT_FALSE(con.IsConnected());
        ads::ace::FreeClientLibrary();
    }
}

TEST_F(AdsTest, MissingEntryPointIsADatabaseErrorThatNamesIt) {
    Install(World(), testsupport::StandInDllLacking());
    TAdsConnection con;
    TAdsTable tb;
    Open(con, tb);
    AppendTestRecord(tb);
    ASSERT_TRUE(Find(tb, 9999.0)) << "the other entry points work";
    try {
        tb.Delete();
        ADD_FAILURE() << "expected an error, got none";
    } catch (const EAdsDatabaseError& e) {
        ADD_FAILURE() << "expected the missing entry point, got " << Narrow(e.Message());
    } catch (const rtl::EDatabaseError& e) {
        EXPECT_EQ(
            L"The entry point AdsDeleteRecord is missing from " + library.Path() + L"ace32.dll",
            e.Message());
    }
    EXPECT_TRUE(Find(tb, 9999.0)) << "the record is still there";
}

TEST_F(AdsTest, ComponentsRefuseOperationsOutOfOrder) {
    Install(World());
    TAdsConnection con;
    TAdsTable tb;
    tb.TableName = L"LM_Configuration";
    EXPECT_THROW(tb.Append(), rtl::EDatabaseError) << "append on a closed table";
    EXPECT_THROW(tb.Delete(), rtl::EDatabaseError) << "delete on a closed table";
    Open(con, tb);
    EXPECT_THROW(tb.GotoKey(), rtl::EDatabaseError) << "GotoKey without SetKey";
    tb.SetKey();
    EXPECT_THROW(tb.GotoKey(), rtl::EDatabaseError) << "GotoKey without a key";
    tb.SetKey();
    EXPECT_THROW(tb.FieldByName(L"Key").SetAsString(L"Test"), rtl::EDatabaseError)
        << "text keys are not supported";
    tb.IndexName.clear();
    tb.SetKey();
    tb.FieldByName(L"ID").SetAsFloat(1);
    EXPECT_THROW(tb.GotoKey(), rtl::EDatabaseError) << "GotoKey without an index";
}

TEST_F(AdsTest, TextOutsideTheAnsiCodePageIsRefusedNotAltered) {
    if (GetACP() == CP_UTF8) GTEST_SKIP() << "the UTF-8 code page holds every character";
    Install(World());
    TAdsConnection con;
    con.SetConnectPath(data.Path() + L"\x4E2D\x6587\\db.add");
    try {
        con.Connect();
        ADD_FAILURE() << "expected an error, got none";
    } catch (const EAdsDatabaseError& e) {
        ADD_FAILURE() << "the path must not reach the library, got " << Narrow(e.Message());
    } catch (const rtl::EDatabaseError& e) {
        EXPECT_NE(std::wstring::npos, e.Message().find(L"ANSI code page")) << Narrow(e.Message());
    }
    EXPECT_EQ("", Trace());
}

}  // namespace
