#include "platform/vcl/Controls.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/rtl/SysUtils.h"

namespace vcl {

// ---- TComponent ------------------------------------------------------------

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->components_.push_back(this);
}

TComponent::~TComponent() {
    // Each owned component takes itself out of the list as it goes.
    while (!components_.empty()) delete components_.back();
    if (owner_) {
        auto& list = owner_->components_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

// ---- TControl --------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {
    font_.OnChange = [this] { OnFontChange(); };
}

TControl::~TControl() {
    font_.OnChange = nullptr;
    SetParent(nullptr);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_) {
        InvalidateInParent();
        parent_->RemoveControl(this);
    }
    parent_ = parent;
    if (!parent_) return;
    parent_->InsertControl(this);
    if (parentFont_) TakeParentFont();
    if (auto* self = dynamic_cast<TWinControl*>(this)) {
        if (parent_->hwnd_) {
            if (self->hwnd_) {
                ::SetParent(self->hwnd_, parent_->hwnd_);
            } else {
                self->CreateHandle();
            }
            parent_->ApplyTabOrder();
        }
    }
    if (align_ != TAlign::alNone) parent_->Realign();
    InvalidateInParent();
}

void TControl::SetParentFont(bool value) {
    parentFont_ = value;
    if (parentFont_) TakeParentFont();
}

void TControl::TakeParentFont() {
    if (!parent_) return;
    takingParentFont_ = true;
    font_.Assign(parent_->font_);
    takingParentFont_ = false;
}

void TControl::OnFontChange() {
    if (!takingParentFont_) parentFont_ = false;
    FontChanged();
    if (auto* self = dynamic_cast<TWinControl*>(this)) {
        for (TControl* child : self->controls_) {
            if (child->parentFont_) child->TakeParentFont();
        }
    }
}

void TControl::FontChanged() { InvalidateInParent(); }

void TControl::SetBounds(int left, int top, int width, int height) {
    InvalidateInParent();
    left_ = left;
    top_ = top;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    BoundsChanged();
    if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

void TControl::BoundsChanged() { InvalidateInParent(); }

void TControl::SetAlign(TAlign align) {
    align_ = align;
    if (parent_) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    VisibleChanged();
    if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

void TControl::VisibleChanged() { InvalidateInParent(); }

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    EnabledChanged();
}

void TControl::SetCaption(const std::wstring& caption) {
    caption_ = caption;
    CaptionChanged();
}

void TControl::CaptionChanged() { InvalidateInParent(); }

void TControl::InvalidateInParent() {
    if (!parent_ || !parent_->hwnd_) return;
    const RECT bounds = BoundsRect();
    InvalidateRect(parent_->hwnd_, &bounds, TRUE);
}

void TControl::StoreBounds(const RECT& bounds) {
    left_ = bounds.left;
    top_ = bounds.top;
    width_ = bounds.right - bounds.left;
    height_ = bounds.bottom - bounds.top;
}

void TControl::ScaleForDpi(int dpi, int designDpi) {
    // A font's pixel height is at its own resolution; one set in points
    // after the layout was made is converted, never scaled twice. Fonts
    // taken from the parent follow the parent's.
    if (!parentFont_ && font_.PixelsPerInch() != dpi) {
        const int height = MulDiv(font_.Height(), dpi, font_.PixelsPerInch());
        font_.SetPixelsPerInch(dpi);
        font_.SetHeight(height);
    }
    if (dpi == designDpi) return;
    SetBounds(MulDiv(left_, dpi, designDpi), MulDiv(top_, dpi, designDpi),
              MulDiv(width_, dpi, designDpi), MulDiv(height_, dpi, designDpi));
}

// ---- TWinControl -------------------------------------------------------------

namespace {

constexpr UINT_PTR SubclassId = 1;
// Names the control a window belongs to, for messages that name the window.
constexpr wchar_t ControlProperty[] = L"TPelorinControl";
constexpr wchar_t WindowClassName[] = L"TPelorinWindow";

int NextControlId() {
    // Child window ids: what WM_COMMAND and DM_GETDEFID name a control by.
    static int next = 1000;
    return next++;
}

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TControl(owner), controlId_(NextControlId()) {}

TWinControl::~TWinControl() {
    while (!controls_.empty()) delete controls_.back();
    DestroyHandle();
}

const wchar_t* TWinControl::OwnClassName() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = WindowClassName;
        if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            rtl::RaiseLastOSError(L"RegisterClassExW");
        }
        return true;
    }();
    (void)registered;
    return WindowClassName;
}

HWND TWinControl::Handle() {
    if (!hwnd_) CreateHandle();
    return hwnd_;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.className = OwnClassName();
    params.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (visible_) params.style |= WS_VISIBLE;
    if (TabStop) params.style |= WS_TABSTOP;
    params.x = Left();
    params.y = Top();
    params.width = Width();
    params.height = Height();
}

void TWinControl::CreateHandle() {
    // A parent's window makes its children's windows, this one among them.
    if (Parent()) Parent()->Handle();
    if (hwnd_) return;

    TCreateParams params;
    CreateParams(params);
    if (Parent()) params.parent = Parent()->hwnd_;
    ownClass_ = params.className == WindowClassName;
    const auto id =
        params.parent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId_)) : nullptr;
    HWND hwnd = CreateWindowExW(params.exStyle, params.className.c_str(), Caption().c_str(),
                                params.style, params.x, params.y, params.width, params.height,
                                params.parent, id, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) rtl::RaiseLastOSError(L"CreateWindowExW " + params.className);
    hwnd_ = hwnd;
    SetPropW(hwnd_, ControlProperty, this);
    SetWindowSubclass(hwnd_, &TWinControl::SubclassProc, SubclassId,
                      reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
    if (!Enabled()) EnableWindow(hwnd_, FALSE);
    CreateWnd();
    for (TControl* child : controls_) {
        if (auto* windowed = dynamic_cast<TWinControl*>(child); windowed && !windowed->hwnd_) {
            windowed->CreateHandle();
        }
    }
    ApplyTabOrder();
    Realign();
    AfterCreateWnd();
}

void TWinControl::DestroyHandle() {
    if (!hwnd_) return;
    HWND hwnd = hwnd_;
    RemoveWindowSubclass(hwnd, &TWinControl::SubclassProc, SubclassId);
    RemovePropW(hwnd, ControlProperty);
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
}

TWinControl* TWinControl::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    return static_cast<TWinControl*>(GetPropW(hwnd, ControlProperty));
}

LRESULT CALLBACK TWinControl::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR refData) {
    auto* control = reinterpret_cast<TWinControl*>(refData);
    const LRESULT result = control->WndProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The system destroyed the window (its parent went, or the user
        // closed it): the control lives on without one.
        RemoveWindowSubclass(hwnd, &TWinControl::SubclassProc, SubclassId);
        RemovePropW(hwnd, ControlProperty);
        control->hwnd_ = nullptr;
    }
    return result;
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(hwnd_, message, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam));
                child && child != this) {
                child->Command(HIWORD(wParam));
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
                if (HBRUSH brush = child->ControlColor(reinterpret_cast<HDC>(wParam))) {
                    return reinterpret_cast<LRESULT>(brush);
                }
            }
            break;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == hwnd_ && SetCursorFor(lParam)) return TRUE;
            if (LOWORD(lParam) == HTCLIENT && Screen->Cursor() != crDefault) {
                ::SetCursor(Screen->Cursors(Screen->Cursor()));
                return TRUE;
            }
            break;
        case WM_SIZE: Realign(); break;
        case WM_GETFONT:
            // Our own windows draw with the control's font.
            if (ownClass_) return reinterpret_cast<LRESULT>(Font().Handle());
            break;
        case WM_PAINT:
            if (ownClass_) {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(hwnd_, &ps);
                Paint(dc);
                PaintChildren(dc);
                EndPaint(hwnd_, &ps);
                return 0;
            }
            break;
        default: break;
    }
    return DefaultHandler(message, wParam, lParam);
}

// The application-wide cursor wins; otherwise the cursor of the control
// under the mouse, a non-windowed child included.
bool TWinControl::SetCursorFor(LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT) return false;
    TCursor cursor = Screen->Cursor();
    if (cursor == crDefault) {
        cursor = Cursor();
        POINT at{};
        GetCursorPos(&at);
        ScreenToClient(hwnd_, &at);
        for (TControl* child : controls_) {
            const RECT bounds = child->BoundsRect();
            if (!dynamic_cast<TWinControl*>(child) && child->Visible() && PtInRect(&bounds, at) &&
                child->Cursor() != crDefault) {
                cursor = child->Cursor();
            }
        }
    }
    if (cursor == crDefault) return false;
    ::SetCursor(Screen->Cursors(cursor));
    return true;
}

void TWinControl::PaintChildren(HDC dc) {
    for (TControl* child : controls_) {
        auto* graphic = dynamic_cast<TGraphicControl*>(child);
        if (!graphic || !graphic->Visible()) continue;
        const int saved = SaveDC(dc);
        const RECT bounds = graphic->BoundsRect();
        IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
        graphic->Paint(dc);
        RestoreDC(dc, saved);
    }
}

RECT TWinControl::ClientRect() const {
    RECT rect{0, 0, Width(), Height()};
    if (hwnd_) GetClientRect(hwnd_, &rect);
    return rect;
}

void TWinControl::Realign() {
    if (aligning_) return;
    aligning_ = true;
    RECT rest = ClientRect();
    for (TControl* child : controls_) {
        if (!child->Visible() || child->Align() != TAlign::alTop) continue;
        child->SetBounds(rest.left, rest.top, rest.right - rest.left, child->Height());
        rest.top += child->Height();
    }
    for (TControl* child : controls_) {
        if (!child->Visible() || child->Align() != TAlign::alBottom) continue;
        child->SetBounds(rest.left, rest.bottom - child->Height(), rest.right - rest.left,
                         child->Height());
        rest.bottom -= child->Height();
    }
    for (TControl* child : controls_) {
        if (!child->Visible() || child->Align() != TAlign::alClient) continue;
        child->SetBounds(rest.left, rest.top, rest.right - rest.left, rest.bottom - rest.top);
    }
    aligning_ = false;
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto& list = Parent()->tabList_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (!Parent()) return;
    auto& list = Parent()->tabList_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    order = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + order, this);
    Parent()->ApplyTabOrder();
}

// Dialog navigation (Tab, Shift+Tab) follows the sibling windows' z-order.
void TWinControl::ApplyTabOrder() {
    if (!hwnd_) return;
    HWND after = HWND_TOP;
    for (TWinControl* child : tabList_) {
        if (!child->hwnd_) continue;
        SetWindowPos(child->hwnd_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = child->hwnd_;
    }
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) tabList_.push_back(windowed);
}

void TWinControl::RemoveControl(TControl* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), control), tabList_.end());
}

void TWinControl::FontChanged() {
    if (!hwnd_) return;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
    if (ownClass_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TWinControl::BoundsChanged() {
    if (hwnd_) {
        MoveWindow(hwnd_, Left(), Top(), Width(), Height(), TRUE);
    } else {
        Realign();
    }
}

void TWinControl::VisibleChanged() {
    if (hwnd_) ShowWindow(hwnd_, Visible() ? SW_SHOW : SW_HIDE);
}

void TWinControl::EnabledChanged() {
    if (hwnd_) EnableWindow(hwnd_, Enabled() ? TRUE : FALSE);
}

void TWinControl::CaptionChanged() {
    if (hwnd_) SetWindowTextW(hwnd_, Caption().c_str());
}

void TWinControl::ScaleForDpi(int dpi, int designDpi) {
    TControl::ScaleForDpi(dpi, designDpi);
    for (TControl* child : controls_) child->ScaleForDpi(dpi, designDpi);
}

}  // namespace vcl
