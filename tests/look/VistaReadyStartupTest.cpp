// The look module's start-up records the screen's icon font; its shutdown
// releases the name. One process, so "before start-up" is really before.

#include <gtest/gtest.h>

#include "look/VistaReady.h"

namespace {

TEST(VistaReadyStartup, RecordsTheScreensIconFontAndReleasesTheName) {
    EXPECT_EQ(L"", VistaReady::IconFontName) << "empty before start-up";
    EXPECT_EQ(8, VistaReady::IconFontSize) << "8 before start-up";

    LOGFONTW lf{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0));
    HDC dc = GetDC(nullptr);
    const int pixelsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);

    VistaReady::Initialize();
    EXPECT_EQ(std::wstring(lf.lfFaceName), VistaReady::IconFontName);
    EXPECT_EQ(-MulDiv(lf.lfHeight, 72, pixelsPerInch), VistaReady::IconFontSize)
        << "points at the screen's " << pixelsPerInch << " pixels per inch";
    EXPECT_FALSE(VistaReady::IconFontName.empty());

    VistaReady::Finalize();
    EXPECT_EQ(L"", VistaReady::IconFontName);
}

}  // namespace
