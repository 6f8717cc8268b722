#pragma once
// Colours and fonts. A TFont is the description (face, height, style,
// colour) plus the GDI font made from it on request.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/rtl/Sets.h"

namespace vcl {

// 0x00BBGGRR for a plain colour. A reference to a system colour has the high
// byte 0xFF and the COLOR_* index in the low byte, so it never equals a
// plain colour, whatever it looks like on screen.
using TColor = std::uint32_t;
constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBlack = 0x00000000;
constexpr TColor clWhite = 0x00FFFFFF;

// The RGB value a colour shows as now.
COLORREF ColorToRGB(TColor color);

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = rtl::Set<TFontStyle>;

// Pixels per logical inch of the screen, as GDI reports it.
int ScreenPixelsPerInch();

class TFont {
public:
    TFont();
    ~TFont();
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);

    const std::wstring& Name() const { return name_; }
    void SetName(const std::wstring& name);
    // Negative: the character height in pixels without internal leading.
    int Height() const { return height_; }
    void SetHeight(int height);
    // Points: -Height * 72 / PixelsPerInch, rounded as MulDiv rounds.
    int Size() const;
    void SetSize(int points);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    // The resolution that converts between Size and Height: 96, the one
    // layouts are made at, until a form brings the font to its window's.
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int pixelsPerInch) { pixelsPerInch_ = pixelsPerInch; }

    // Takes over every value of other, with one change notification.
    void Assign(const TFont& other);
    // Fills the font from a GDI description.
    void AssignLogFont(const LOGFONTW& logFont);

    // The GDI font for the current values, made on first request after a
    // change. It stays valid until the next change or the font's end.
    HFONT Handle();

    // Called after every change, with the new values in place.
    std::function<void()> OnChange;

private:
    void Changed();
    void ReleaseHandle();

    // Tahoma at 8 points.
    std::wstring name_ = L"Tahoma";
    int height_ = -11;
    int pixelsPerInch_ = 96;
    TFontStyles style_;
    TColor color_ = clWindowText;
    HFONT handle_ = nullptr;
};

}  // namespace vcl
