#include "platform/vcl/CustomForm.h"

#include <vector>

#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

namespace vcl {

int DpiOfWindow(HWND hwnd) {
    // Windows 10 1607 and later know each monitor's resolution; older ones
    // have one for the whole system.
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        reinterpret_cast<GetDpiForWindowProc>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow && hwnd) {
        const UINT dpi = getDpiForWindow(hwnd);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return ScreenPixelsPerInch();
}

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
    visible_ = false;
    SetParentFont(false);
}

TCustomForm::~TCustomForm() = default;

RECT TCustomForm::ClientRect() const {
    if (HandleAllocated()) return TWinControl::ClientRect();
    return RECT{0, 0, ClientWidth, ClientHeight};
}

void TCustomForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.exStyle |= WS_EX_CONTROLPARENT;
    if (Parent()) {
        params.width = ClientWidth;
        params.height = ClientHeight;
        return;
    }
    params.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    params.exStyle |= WS_EX_APPWINDOW;
    RECT rect{0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&rect, params.style, FALSE, params.exStyle);
    params.width = rect.right - rect.left;
    params.height = rect.bottom - rect.top;
    params.x = CW_USEDEFAULT;
    params.y = CW_USEDEFAULT;
    if (CenterOnScreen) {
        params.x = (GetSystemMetrics(SM_CXSCREEN) - params.width) / 2;
        params.y = (GetSystemMetrics(SM_CYSCREEN) - params.height) / 2;
    }
}

void TCustomForm::CreateWnd() {
    if (!Parent()) {
        if (Application && Application->Icon()) {
            SendMessageW(hwnd_, WM_SETICON, ICON_BIG,
                         reinterpret_cast<LPARAM>(Application->Icon()));
            SendMessageW(hwnd_, WM_SETICON, ICON_SMALL,
                         reinterpret_cast<LPARAM>(Application->Icon()));
        }
        // The layout was made at DesignPixelsPerInch; the monitor may have
        // another resolution. Children have no windows yet, so their new
        // bounds are where their windows will be made.
        pixelsPerInch_ = DpiOfWindow(hwnd_);
        for (int i = 0; i < ControlCount(); ++i) {
            Controls(i)->ScaleForDpi(pixelsPerInch_, DesignPixelsPerInch);
        }
        if (!ParentFont() && Font().PixelsPerInch() != pixelsPerInch_) {
            const int height = MulDiv(Font().Height(), pixelsPerInch_, Font().PixelsPerInch());
            Font().SetPixelsPerInch(pixelsPerInch_);
            Font().SetHeight(height);
        }
        if (pixelsPerInch_ != DesignPixelsPerInch) ResizeForDpi();
    }
    RECT window{};
    GetWindowRect(hwnd_, &window);
    if (Parent())
        MapWindowPoints(nullptr, Parent()->Handle(), reinterpret_cast<POINT*>(&window), 2);
    // Record where the window is without moving it again.
    StoreBounds(window);
}

void TCustomForm::Show() {
    SetVisible(true);
    HWND hwnd = Handle();
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
}

void TCustomForm::Close() {
    if (HandleAllocated()) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void TCustomForm::ResizeForDpi() {
    ClientWidth = MulDiv(ClientWidth, pixelsPerInch_, DesignPixelsPerInch);
    ClientHeight = MulDiv(ClientHeight, pixelsPerInch_, DesignPixelsPerInch);
    RECT rect{0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    RECT now{};
    GetWindowRect(hwnd_, &now);
    int x = now.left, y = now.top;
    if (CenterOnScreen) {
        x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

TButton* TCustomForm::FindButton(bool wantDefault) const {
    // Depth-first over the form's own controls, as Enter and Esc reach any
    // button of the form, also one inside a panel.
    std::vector<const TWinControl*> pending{this};
    while (!pending.empty()) {
        const TWinControl* at = pending.back();
        pending.pop_back();
        for (int i = at->ControlCount() - 1; i >= 0; --i) {
            TControl* child = at->Controls(i);
            if (auto* button = dynamic_cast<TButton*>(child)) {
                if (wantDefault ? button->Default() : button->Cancel()) return button;
            }
            if (auto* windowed = dynamic_cast<TWinControl*>(child);
                windowed && !dynamic_cast<TCustomForm*>(windowed)) {
                pending.push_back(windowed);
            }
        }
    }
    return nullptr;
}

LRESULT TCustomForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case DM_GETDEFID:
            // Enter in the dialog navigation presses the default button.
            if (TButton* button = FindButton(true); button && button->HandleAllocated()) {
                return MAKELRESULT(GetDlgCtrlID(button->Handle()), DC_HASDEFID);
            }
            return 0;
        case WM_COMMAND:
            // Esc arrives as IDCANCEL from no control of ours.
            if (LOWORD(wParam) == IDCANCEL && !FromHandle(reinterpret_cast<HWND>(lParam))) {
                if (TButton* button = FindButton(false);
                    button && button->Enabled() && button->Visible()) {
                    button->Click();
                }
                return 0;
            }
            break;
        case WM_DESTROY:
            if (Application && Application->MainForm() == this) PostQuitMessage(0);
            break;
        default: break;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

}  // namespace vcl
