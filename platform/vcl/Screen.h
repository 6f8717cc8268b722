#pragma once
// The screen object: its resolution, the icon font, the application-wide
// cursor and the table of cursors by number.

#include <windows.h>

#include <map>
#include <memory>

#include "platform/vcl/Graphics.h"

namespace vcl {

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crIBeam = -4;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crHandPoint = -21;

class TScreen {
public:
    TScreen();
    TScreen(const TScreen&) = delete;
    TScreen& operator=(const TScreen&) = delete;

    int PixelsPerInch() const { return ScreenPixelsPerInch(); }

    // The font the desktop uses for icon captions, read from the system on
    // first request; Size is in points at the screen's resolution.
    TFont& IconFont();

    // The cursor every window of the application shows while it is not
    // crDefault; crDefault lets each control show its own.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);

    // The cursor behind a number; numbers without an entry give the arrow.
    HCURSOR Cursors(TCursor cursor) const;
    void SetCursorHandle(TCursor cursor, HCURSOR handle);

private:
    std::unique_ptr<TFont> iconFont_;
    TCursor cursor_ = crDefault;
    std::map<TCursor, HCURSOR> cursors_;
};

extern TScreen* Screen;

}  // namespace vcl
