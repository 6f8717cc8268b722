#include "look/VistaReady.h"

#include "platform/dxbars/dxBar.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Themes.h"

namespace VistaReady {

std::wstring IconFontName;
int IconFontSize = 8;

namespace {

constexpr wchar_t ReferenceFace[] = L"Segoe UI";

bool IsHeadingColor(vcl::TColor color) { return color == HeadingColor1 || color == HeadingColor2; }

void ApplyWindowedFontRule(vcl::TFont& font) {
    font.SetName(IconFontName);
    if (!IsHeadingColor(font.Color())) font.SetSize(IconFontSize);
}

void ApplyNonWindowedFontRule(vcl::TFont& font) {
    font.SetName(IconFontName);
    if (IsHeadingColor(font.Color())) {
        // Segoe UI sets headings apart by itself; other faces need bold and
        // the darker heading colour to do so.
        if (font.Name() != ReferenceFace) {
            font.SetStyle(vcl::TFontStyles{vcl::TFontStyle::fsBold});
            font.SetColor(HeadingColor2);
        }
    } else {
        font.SetSize(IconFontSize);
    }
}

void LockBar(dxbars::TdxBar& bar) {
    bar.AllowClose = false;
    bar.AllowCustomizing = false;
    bar.AllowQuickCustomizing = false;
    bar.AllowReset = false;
    bar.ShowMark = false;
    bar.UseRecentItems = false;
    bar.NotDocking = dxbars::AllDockingStyles;
}

void LockBarManager(dxbars::TdxBarManager& manager) {
    manager.CanCustomize = false;
    manager.NotDocking = dxbars::AllDockingStyles;
    manager.AllowReset = false;
    manager.MenusShowRecentItemsFirst = false;
    manager.Scaled = false;
    manager.ShowFullMenusAfterDelay = false;
}

}  // namespace

void Initialize() {
    vcl::TFont& iconFont = vcl::Screen->IconFont();
    RecordIconFont(iconFont.Name(), iconFont.Size());
}

void Finalize() {
    IconFontName.clear();
    IconFontName.shrink_to_fit();
}

void RecordIconFont(const std::wstring& name, int size) {
    IconFontName = name;
    IconFontSize = size;
}

void ApplySystemFonts(vcl::TCustomForm* form) { AdaptControlTree(form); }

void AdaptControlTree(vcl::TControl* control) {
    auto* form = dynamic_cast<vcl::TCustomForm*>(control);
    if (form) LockBarLayout(form);

    auto* windowed = dynamic_cast<vcl::TWinControl*>(control);
    if (!windowed) {
        ApplyNonWindowedFontRule(control->Font());
        return;
    }
    // A windowed control that takes its parent's font follows its parent
    // anyway; memos are set apart because programs restyle them afterwards.
    if (dynamic_cast<vcl::TCustomMemo*>(control) || form || !control->ParentFont()) {
        ApplyWindowedFontRule(control->Font());
    }
    if (dynamic_cast<vcl::TCustomTreeView*>(control)) {
        const HWND handle = windowed->Handle();
        if (vcl::SetWindowThemeProc setWindowTheme = vcl::ThemeSetWindowTheme()) {
            setWindowTheme(handle, L"explorer", nullptr);
        }
    }
    const int count = windowed->ControlCount();
    for (int i = 0; i < count; ++i) AdaptControlTree(windowed->Controls(i));
}

void LockBarLayout(vcl::TCustomForm* form) {
    const int count = form->ComponentCount();
    for (int i = 0; i < count; ++i) {
        vcl::TComponent* component = form->Components(i);
        if (auto* bar = dynamic_cast<dxbars::TdxBar*>(component)) LockBar(*bar);
        if (auto* manager = dynamic_cast<dxbars::TdxBarManager*>(component))
            LockBarManager(*manager);
    }
}

}  // namespace VistaReady
