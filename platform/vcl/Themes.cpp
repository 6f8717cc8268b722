#include "platform/vcl/Themes.h"

namespace vcl {

namespace {

SetWindowThemeProc BindSetWindowTheme() {
    HMODULE library = LoadLibraryW(L"uxtheme.dll");
    if (!library) return nullptr;
    return reinterpret_cast<SetWindowThemeProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "SetWindowTheme")));
}

SetWindowThemeProc& Bound() {
    static SetWindowThemeProc bound = BindSetWindowTheme();
    return bound;
}

}  // namespace

SetWindowThemeProc ThemeSetWindowTheme() { return Bound(); }

SetWindowThemeProc ReplaceSetWindowTheme(SetWindowThemeProc replacement) {
    const SetWindowThemeProc previous = Bound();
    Bound() = replacement;
    return previous;
}

}  // namespace vcl
