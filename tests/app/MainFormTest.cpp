// The main window's own layout and fonts, on its real windows.

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "app/Pelorin.MainForm.h"
#include "look/VistaReady.h"
#include "platform/rtl/SysUtils.h"

namespace {

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    HFONT handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    EXPECT_NE(handle, nullptr);
    GetObjectW(handle, sizeof(font), &font);
    return font;
}

int PixelsFor(int points, HWND window) {
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return -MulDiv(points, dpi, 72);
}

TEST(MainForm, FontsFollowTheIconFontAndTheLogIsConsolasOnePointLarger) {
    for (const auto& [face, size] :
         {std::pair<const wchar_t*, int>{L"Segoe UI", 9}, {L"Tahoma", 8}}) {
        SCOPED_TRACE(rtl::WideToUtf8(face));
        VistaReady::RecordIconFont(face, size);
        auto form = std::make_unique<TfmPelorin>();
        form->DoCreate();
        HWND window = form->Handle();
        for (HWND control :
             {window, form->Panel1->Handle(), form->cmStart->Handle(), form->cmExit->Handle()}) {
            const LOGFONTW font = FontOf(control);
            EXPECT_STREQ(font.lfFaceName, face);
            EXPECT_EQ(font.lfHeight, PixelsFor(size, window));
        }
        const LOGFONTW memo = FontOf(form->mLog->Handle());
        EXPECT_STREQ(memo.lfFaceName, L"Consolas");
        EXPECT_EQ(memo.lfHeight, PixelsFor(size + 1, window));
    }
    VistaReady::Finalize();
}

TEST(MainForm, LayoutStateAndOpeningLines) {
    auto form = std::make_unique<TfmPelorin>();
    form->DoCreate();
    HWND window = form->Handle();
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, MulDiv(711, form->PixelsPerInch(), 96));
    EXPECT_EQ(client.bottom, MulDiv(397, form->PixelsPerInch(), 96));
    RECT memo{};
    GetWindowRect(form->mLog->Handle(), &memo);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&memo), 2);
    EXPECT_EQ(memo.top, MulDiv(41, form->PixelsPerInch(), 96)) << "the log starts below the panel";
    EXPECT_EQ(memo.bottom, client.bottom);
    EXPECT_EQ(memo.right, client.right);
    const LONG style = GetWindowLongW(form->mLog->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_FALSE(style & ES_AUTOHSCROLL) << "long lines wrap";
    EXPECT_TRUE(IsWindowEnabled(form->cmStart->Handle()));
    EXPECT_TRUE(IsWindowEnabled(form->cmExit->Handle()));
    EXPECT_TRUE(form->cmStart->Default());
    EXPECT_TRUE(form->cmExit->Cancel());
    ASSERT_EQ(form->mLog->Lines.Count(), 3) << "the designer's placeholder line is gone";
    EXPECT_EQ(form->mLog->Lines[2], L"Click \"Start\" to perform check.");
    EXPECT_EQ(form->con.Username, L"adssys");
    EXPECT_EQ(form->tb.TableName, L"LM_Configuration");
}

}  // namespace
