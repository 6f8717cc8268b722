#include "platform/vcl/ExtCtrls.h"

namespace vcl {

TPanel::TPanel(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 185, 41); }

void TPanel::SetBevelOuter(TPanelBevel bevel) {
    bevelOuter_ = bevel;
    if (HandleAllocated()) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TPanel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    // Tab and Shift+Tab go on into the panel's own controls.
    params.exStyle |= WS_EX_CONTROLPARENT;
}

void TPanel::Paint(HDC dc) {
    RECT rect{};
    GetClientRect(hwnd_, &rect);
    if (bevelOuter_ != TPanelBevel::bvNone) {
        DrawEdge(dc, &rect,
                 bevelOuter_ == TPanelBevel::bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER,
                 BF_RECT | BF_ADJUST);
    }
    if (Caption().empty()) return;
    SelectObject(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Font().Color()));
    DrawTextW(dc, Caption().c_str(), static_cast<int>(Caption().size()), &rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace vcl
