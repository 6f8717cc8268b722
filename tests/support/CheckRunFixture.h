#pragma once
// A data folder with DB and db\db.add, for tests of the check run in process
// against the stand-in client library.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "environment/toolbookprocs.h"
#include "platform/ads/AceApi.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ace32/StandIn.h"

namespace testsupport {

class CheckRunFixture : public ::testing::Test {
protected:
    void SetUp() override {
        toolbookprocs::ClientFolder = L"C:\\Kalvora\\";
        toolbookprocs::DefaultDelimiter = L',';
        MakeFolders(data_ / L"DB");
        WriteText(Dictionary(), L"dictionary");
    }
    void TearDown() override {
        ads::ace::FreeClientLibrary();
        SetDllDirectoryW(L"");
        toolbookprocs::DataFolder.clear();
        toolbookprocs::ClientFolder.clear();
    }

    std::wstring Dictionary() const { return data_ / L"db\\db.add"; }

    // The world in which the dictionary answers as the stored settings ask.
    StandInWorld RemoteWorld() const {
        StandInWorld world;
        world.Answer(Dictionary(), L"remote");
        return world;
    }

    ScratchFolder data_;
};

}  // namespace testsupport
