// What the installation-environment module's start-up sets besides the
// folders: the delimiter, the time format settings and the hand cursor.

#include <gtest/gtest.h>

#include <memory>

#include "environment/toolbookprocs.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/vcl/CustomForm.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/support/TestSupport.h"

namespace {

// 14:05:09.250 on some day.
constexpr rtl::TDateTime FivePastTwo = 45000.0 + (14 * 3600 + 5 * 60 + 9.25) / 86400.0;

class StartupSettings : public testing::Test {
protected:
    void SetUp() override {
        // Values the start-up must replace, so that a missing step shows.
        toolbookprocs::DefaultDelimiter = L'x';
        rtl::FormatSettings.ShortTimeFormat = L"h.n";
        rtl::FormatSettings.TimeSeparator = L'.';
        vcl::Screen->SetCursorHandle(vcl::crHandPoint, LoadCursorW(nullptr, IDC_CROSS));
        toolbookprocs::Initialize();
    }
    void TearDown() override { toolbookprocs::Finalize(); }
    testsupport::RegistrySandbox registry_;
};

TEST_F(StartupSettings, DelimiterAndTimeFormat) {
    EXPECT_EQ(L',', toolbookprocs::DefaultDelimiter);
    EXPECT_EQ(L'\0', toolbookprocs::SavedDefaultDelimiter) << "start-up saves nothing";
    EXPECT_EQ(L"hh:mm:ss", rtl::FormatSettings.ShortTimeFormat);
    EXPECT_EQ(L':', rtl::FormatSettings.TimeSeparator);
    EXPECT_EQ(L"14:05:09", rtl::TimeToStr(FivePastTwo))
        << "the platform formats with the new settings";
}

TEST_F(StartupSettings, FoldersResolvedAfterTheSettings) {
    // InitFolders ran: the built-in defaults in an empty registry.
    EXPECT_FALSE(toolbookprocs::ClientFolder.empty());
    EXPECT_EQ(L'\\', toolbookprocs::DataFolder.back());
    EXPECT_GT(toolbookprocs::LastPumpTime, 0.0);
}

TEST_F(StartupSettings, HandPointIsTheSystemHandOnScreen) {
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    ASSERT_NE(nullptr, hand);
    EXPECT_EQ(hand, vcl::Screen->Cursors(vcl::crHandPoint));

    // A control that asks for the pointing hand shows the system's hand.
    auto form = std::make_unique<vcl::TCustomForm>();
    auto* button = new vcl::TButton(form.get());
    button->SetParent(form.get());
    button->SetCursor(vcl::crHandPoint);
    HWND window = button->Handle();
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    const LRESULT handled = SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(TRUE, handled);
    EXPECT_EQ(hand, GetCursor()) << "expected the system hand over the control";
}

TEST(FormatTime, LettersAndSeparator) {
    rtl::TFormatSettings dots;
    dots.TimeSeparator = L'.';
    const struct {
        const wchar_t* format;
        const wchar_t* expected;
    } cases[] = {
        {L"hh:mm:ss", L"14.05.09"}, {L"h:n", L"14.5"},     {L"hh:nn", L"14.05"}, {L"s", L"9"},
        {L"'at' hh", L"at 14"},     {L"\"h:\"h", L"h:14"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::wstring(c.expected), rtl::FormatTime(c.format, FivePastTwo, dots))
            << "format " << testing::PrintToString(std::wstring(c.format));
    }
    EXPECT_EQ(L"00.00.00", rtl::FormatTime(L"hh:mm:ss", 45000.0, dots)) << "midnight";
    EXPECT_EQ(L"23.59.59", rtl::FormatTime(L"hh:mm:ss", 45000.0 - 0.0001 / 86400.0, dots))
        << "a value just before midnight stays on its day";
}

}  // namespace
