#pragma once
// Reading back what a real window was given.

#include <windows.h>

#include <string>

namespace vcltest {

// The LOGFONT of the font a window reports with WM_GETFONT; found is false
// when it reports none.
struct WindowFont {
    bool found = false;
    std::wstring face;
    LONG height = 0;
    LONG weight = 0;
    bool italic = false;
};

inline WindowFont FontOfWindow(HWND hwnd) {
    WindowFont result;
    auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    if (!font || GetObjectW(font, sizeof(lf), &lf) != sizeof(lf)) return result;
    result.found = true;
    result.face = lf.lfFaceName;
    result.height = lf.lfHeight;
    result.weight = lf.lfWeight;
    result.italic = lf.lfItalic != 0;
    return result;
}

inline RECT RectInParent(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace vcltest
