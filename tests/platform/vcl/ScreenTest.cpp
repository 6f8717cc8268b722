// The screen object: icon font, application-wide cursor, cursor table.

#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/CustomForm.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdCtrls.h"

namespace {

using namespace vcl;

TEST(Screen, IconFontIsTheSystemsInPoints) {
    LOGFONTW lf{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0));
    HDC dc = GetDC(nullptr);
    const int pixelsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);

    TFont& font = Screen->IconFont();
    EXPECT_EQ(std::wstring(lf.lfFaceName), font.Name());
    EXPECT_EQ(lf.lfHeight, font.Height());
    EXPECT_EQ(-MulDiv(lf.lfHeight, 72, pixelsPerInch), font.Size());
    EXPECT_EQ(pixelsPerInch, Screen->PixelsPerInch());
    EXPECT_FALSE(font.Name().empty());
}

TEST(Screen, HourGlassOverEveryControlWhileSet) {
    auto form = std::make_unique<TForm>();
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    HWND window = button->Handle();
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    const HCURSOR cross = LoadCursorW(nullptr, IDC_CROSS);

    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(wait, GetCursor()) << "shown at once, not only when the mouse moves";
    SetCursor(cross);
    SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(wait, GetCursor()) << "the application-wide cursor wins over the control's";

    Screen->SetCursor(crDefault);
    EXPECT_EQ(crDefault, Screen->Cursor());
    SetCursor(cross);
    SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(wait, GetCursor()) << "back to the control's own cursor";
}

TEST(Screen, CursorTable) {
    EXPECT_EQ(LoadCursorW(nullptr, IDC_WAIT), Screen->Cursors(crHourGlass));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), Screen->Cursors(crDefault));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), Screen->Cursors(12345))
        << "unknown numbers: the arrow";
    EXPECT_EQ(-21, crHandPoint);
    const HCURSOR cross = LoadCursorW(nullptr, IDC_CROSS);
    Screen->SetCursorHandle(crHandPoint, cross);
    EXPECT_EQ(cross, Screen->Cursors(crHandPoint));
}

}  // namespace
