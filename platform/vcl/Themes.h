#pragma once
// The theme service's SetWindowTheme, bound from uxtheme.dll on first use so
// that a system without the theme service still runs the program.

#include <windows.h>

namespace vcl {

using SetWindowThemeProc = HRESULT(WINAPI*)(HWND hwnd, LPCWSTR subAppName, LPCWSTR subIdList);

// The bound function, or nullptr where the theme service cannot be reached.
SetWindowThemeProc ThemeSetWindowTheme();

// Puts another function in its place (nullptr: no theme service) and gives
// back what was bound before. For tests that watch the calls.
SetWindowThemeProc ReplaceSetWindowTheme(SetWindowThemeProc replacement);

}  // namespace vcl
