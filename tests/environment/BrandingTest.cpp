// oeminfo.dat and oem.ico beside the program, read through the real
// profile-string service.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "environment/OEMDEFS.h"
#include "platform/vcl/Forms.h"
#include "tests/support/PelorinProcess.h"
#include "tests/support/TestSupport.h"

using namespace OEMDEFS;

namespace {

class BrandingTest : public ::testing::Test {
protected:
    void SetUp() override { BrandingValues = DefaultBrandingValues(); }
    void TearDown() override { BrandingValues = DefaultBrandingValues(); }

    // A fresh program folder for each load, so that no INI file is rewritten.
    std::wstring NewFolder() {
        const std::wstring folder = scratch_ / (L"f" + std::to_wstring(++folders_) + L"\\");
        testsupport::MakeFolders(folder);
        return folder;
    }
    void LoadWith(const std::wstring& oeminfo) {
        const std::wstring folder = NewFolder();
        testsupport::WriteText(folder + L"oeminfo.dat", oeminfo);
        LoadBrandingFrom(folder);
    }

    testsupport::ScratchFolder scratch_;
    int folders_ = 0;
};

TEST_F(BrandingTest, DefaultsWithoutFiles) {
    LoadBrandingFrom(NewFolder());
    EXPECT_EQ(BrandingValues[OEMCOMPSHORT], L"Kalvora");
    EXPECT_EQ(BrandingValues[OEMROOTKEY], L"Kalvora");
    for (int slot = 0; slot < BrandingSlotCount; ++slot) {
        EXPECT_FALSE(BrandingValues[slot].empty()) << "slot " << slot + 1 << " has no default";
    }
}

TEST_F(BrandingTest, EveryKeyOverridesItsOwnSlot) {
    std::wstring file = L"[OEM]\r\n";
    for (int slot = 0; slot < OverridableSlotCount; ++slot) {
        file += std::wstring(BrandingKeyName(static_cast<TBrandingKey>(slot))) + L"=value" +
                std::to_wstring(slot) + L"\r\n";
    }
    LoadWith(file);
    for (int slot = 0; slot < OverridableSlotCount; ++slot) {
        EXPECT_EQ(BrandingValues[slot], L"value" + std::to_wstring(slot)) << "slot " << slot + 1;
    }
    EXPECT_EQ(BrandingValues[OEMMODULE25], DefaultBrandingValue(OEMMODULE25));
    EXPECT_EQ(BrandingValues[OEMMODULE26], DefaultBrandingValue(OEMMODULE26));
}

struct OverrideCase {
    const char* name;
    std::wstring file;
    std::wstring compShort;
    std::wstring rootKey;
};

TEST_F(BrandingTest, Overrides) {
    const std::wstring longValue(3000, L'w');
    const std::vector<OverrideCase> cases = {
        {"lower-case key", L"[OEM]\r\noemcompshort=Acme\r\n", L"Acme", L"Kalvora"},
        {"lower-case section", L"[oem]\r\nOEMROOTKEY=AcmeKey\r\n", L"Kalvora", L"AcmeKey"},
        {"empty value empties the slot", L"[OEM]\r\nOEMCOMPSHORT=\r\n", L"", L"Kalvora"},
        {"no OEM section", L"[Other]\r\nOEMCOMPSHORT=Acme\r\n", L"Kalvora", L"Kalvora"},
        {"root key and short word are separate", L"[OEM]\r\nOEMROOTKEY=Other\r\n", L"Kalvora",
         L"Other"},
        {"no final newline", L"[OEM]\r\nOEMCOMPSHORT=Tail", L"Tail", L"Kalvora"},
        {"a 3000-character value is cut to 2047", L"[OEM]\r\nOEMCOMPSHORT=" + longValue + L"\r\n",
         longValue.substr(0, 2047), L"Kalvora"},
    };
    for (const OverrideCase& c : cases) {
        SCOPED_TRACE(c.name);
        BrandingValues = DefaultBrandingValues();
        LoadWith(c.file);
        EXPECT_EQ(BrandingValues[OEMCOMPSHORT], c.compShort);
        EXPECT_EQ(BrandingValues[OEMROOTKEY], c.rootKey);
        EXPECT_EQ(BrandingValues[OEMCOMPANY], DefaultBrandingValue(OEMCOMPANY));
    }
}

TEST_F(BrandingTest, IconFileAloneChangesTheIconOnly) {
    const std::wstring folder = NewFolder();
    CopyFileW((testsupport::SourceFolder() + L"app\\Pelorin.ico").c_str(),
              (folder + L"oem.ico").c_str(), FALSE);
    const HICON before = vcl::Application->Icon();
    LoadBrandingFrom(folder);
    EXPECT_NE(vcl::Application->Icon(), before);
    EXPECT_NE(vcl::Application->Icon(), nullptr);
    EXPECT_EQ(BrandingValues, DefaultBrandingValues());
}

TEST_F(BrandingTest, IconFilesThatAreNoIconsKeepTheCurrentIcon) {
    const std::string png = "\x89PNG\r\n\x1a\n" + std::string(64, '\0');
    const std::vector<std::pair<const char*, std::string>> files = {
        {"empty", ""}, {"garbage", std::string(300, 'g')}, {"renamed PNG", png}};
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const std::wstring folder = NewFolder();
        testsupport::WriteBytes(folder + L"oem.ico", bytes);
        const HICON before = vcl::Application->Icon();
        LoadBrandingFrom(folder);
        EXPECT_EQ(vcl::Application->Icon(), before);
    }
}

}  // namespace
