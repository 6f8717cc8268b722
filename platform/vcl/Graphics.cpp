#include "platform/vcl/Graphics.h"

namespace vcl {

COLORREF ColorToRGB(TColor color) {
    if ((color & 0xFF000000) == clSystemColor) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFF;
}

int ScreenPixelsPerInch() {
    static const int pixelsPerInch = [] {
        HDC dc = GetDC(nullptr);
        const int value = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
        if (dc) ReleaseDC(nullptr, dc);
        return value > 0 ? value : 96;
    }();
    return pixelsPerInch;
}

TFont::TFont() = default;

TFont::~TFont() { ReleaseHandle(); }

// A copy describes the same font but has its own GDI object and no listener.
TFont::TFont(const TFont& other)
    : name_(other.name_),
      height_(other.height_),
      pixelsPerInch_(other.pixelsPerInch_),
      style_(other.style_),
      color_(other.color_) {}

TFont& TFont::operator=(const TFont& other) {
    if (this != &other) Assign(other);
    return *this;
}

void TFont::SetName(const std::wstring& name) {
    name_ = name;
    Changed();
}

void TFont::SetHeight(int height) {
    height_ = height;
    Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }

void TFont::SetStyle(TFontStyles style) {
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    color_ = color;
    Changed();
}

void TFont::Assign(const TFont& other) {
    name_ = other.name_;
    height_ = other.height_;
    pixelsPerInch_ = other.pixelsPerInch_;
    style_ = other.style_;
    color_ = other.color_;
    Changed();
}

void TFont::AssignLogFont(const LOGFONTW& logFont) {
    name_ = logFont.lfFaceName;
    height_ = logFont.lfHeight;
    TFontStyles style;
    if (logFont.lfWeight >= FW_BOLD) style.Include(TFontStyle::fsBold);
    if (logFont.lfItalic) style.Include(TFontStyle::fsItalic);
    if (logFont.lfUnderline) style.Include(TFontStyle::fsUnderline);
    if (logFont.lfStrikeOut) style.Include(TFontStyle::fsStrikeOut);
    style_ = style;
    Changed();
}

HFONT TFont::Handle() {
    if (!handle_) {
        LOGFONTW lf{};
        lf.lfHeight = height_;
        lf.lfWeight = style_.Contains(TFontStyle::fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = style_.Contains(TFontStyle::fsItalic);
        lf.lfUnderline = style_.Contains(TFontStyle::fsUnderline);
        lf.lfStrikeOut = style_.Contains(TFontStyle::fsStrikeOut);
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lstrcpynW(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
        handle_ = CreateFontIndirectW(&lf);
    }
    return handle_;
}

// The old GDI font goes before the listener runs: the listener asks for the
// new one and hands it to its window at once, so no window keeps using the
// old one.
void TFont::Changed() {
    ReleaseHandle();
    if (OnChange) OnChange();
}

void TFont::ReleaseHandle() {
    if (handle_) DeleteObject(handle_);
    handle_ = nullptr;
}

}  // namespace vcl
