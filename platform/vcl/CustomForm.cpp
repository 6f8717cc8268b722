#include "platform/vcl/CustomForm.h"

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"

namespace vcl {

namespace {

constexpr wchar_t FormClassName[] = L"TPelorinForm";

void RegisterFormClass(WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), FormClassName, &wc)) return;
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = FormClassName;
    if (!RegisterClassExW(&wc)) rtl::RaiseLastOSError(L"RegisterClassExW");
}

}  // namespace

TCustomForm::~TCustomForm() {
    if (hwnd_) {
        HWND hwnd = hwnd_;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        DestroyWindow(hwnd);
    }
}

HWND TCustomForm::Handle() {
    if (!hwnd_) CreateHandle();
    return hwnd_;
}

void TCustomForm::CreateHandle() {
    RegisterFormClass(&TCustomForm::StaticWndProc);
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT rect{0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&rect, style, FALSE, 0);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    if (CenterOnScreen) {
        x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW, FormClassName, Caption.c_str(), style, x, y, width,
                                height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd) rtl::RaiseLastOSError(L"CreateWindowExW");
    if (Application && Application->Icon()) {
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Application->Icon()));
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(Application->Icon()));
    }
}

void TCustomForm::SetCaption(const std::wstring& caption) {
    Caption = caption;
    if (hwnd_) SetWindowTextW(hwnd_, Caption.c_str());
}

void TCustomForm::Show() {
    ShowWindow(Handle(), SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
}

void TCustomForm::Close() {
    if (hwnd_) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

LRESULT TCustomForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY && Application && Application->MainForm() == this) {
        PostQuitMessage(0);
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK TCustomForm::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<TCustomForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<TCustomForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!form) return DefWindowProcW(hwnd, message, wParam, lParam);
    const LRESULT result = form->WndProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        form->hwnd_ = nullptr;
    }
    return result;
}

}  // namespace vcl
