#include "platform/vcl/Screen.h"

namespace vcl {

namespace {
TScreen theScreen;
}  // namespace

TScreen* Screen = &theScreen;

TScreen::TScreen() {
    cursors_[crDefault] = LoadCursorW(nullptr, IDC_ARROW);
    cursors_[crArrow] = LoadCursorW(nullptr, IDC_ARROW);
    cursors_[crIBeam] = LoadCursorW(nullptr, IDC_IBEAM);
    cursors_[crHourGlass] = LoadCursorW(nullptr, IDC_WAIT);
    // crHandPoint has no entry until the program chooses its hand.
}

TFont& TScreen::IconFont() {
    if (!iconFont_) {
        iconFont_ = std::make_unique<TFont>();
        LOGFONTW lf{};
        if (SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0)) {
            iconFont_->SetPixelsPerInch(PixelsPerInch());
            iconFont_->AssignLogFont(lf);
        }
    }
    return *iconFont_;
}

void TScreen::SetCursor(TCursor cursor) {
    cursor_ = cursor;
    // Show it now, not only when the mouse next moves.
    ::SetCursor(Cursors(cursor));
}

HCURSOR TScreen::Cursors(TCursor cursor) const {
    const auto found = cursors_.find(cursor);
    if (found != cursors_.end() && found->second) return found->second;
    return cursors_.at(crDefault);
}

void TScreen::SetCursorHandle(TCursor cursor, HCURSOR handle) { cursors_[cursor] = handle; }

}  // namespace vcl
