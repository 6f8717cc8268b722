#include "platform/vcl/Forms.h"

#include <commctrl.h>

#include <vector>

#include "platform/vcl/CustomForm.h"

namespace vcl {

namespace {
TApplication theApplication;
}  // namespace

TApplication* Application = &theApplication;

TApplication::TApplication() {
    builtInIcon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(MainIconResourceId));
    if (!builtInIcon_) builtInIcon_ = LoadIconW(nullptr, IDI_APPLICATION);
    icon_ = builtInIcon_;
}

TApplication::~TApplication() {
    mainForm_.reset();
    if (loadedIcon_) DestroyIcon(loadedIcon_);
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
}

std::wstring TApplication::ExeName() const {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

bool TApplication::LoadIconFromFile(const std::wstring& path) {
    HICON icon = static_cast<HICON>(
        LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
    if (!icon) return false;
    if (loadedIcon_) DestroyIcon(loadedIcon_);
    loadedIcon_ = icon;
    icon_ = icon;
    return true;
}

void TApplication::AdoptForm(std::unique_ptr<TCustomForm> form) {
    // Only one form in this program; the first one becomes the main form.
    if (!mainForm_) {
        mainForm_ = std::move(form);
        // The window first: it brings the layout to the monitor's
        // resolution, and the creation handler works on the result.
        mainForm_->Handle();
        mainForm_->DoCreate();
    }
}

bool TApplication::DispatchOne(const MSG& msg) {
    if (mainForm_ && mainForm_->HandleAllocated() &&
        IsDialogMessageW(mainForm_->Handle(), const_cast<MSG*>(&msg))) {
        return true;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void TApplication::Run() {
    if (!mainForm_) return;
    mainForm_->Show();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchOne(msg);
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit request for the message loop that owns it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchOne(msg);
    }
}

void TApplication::ReleaseMainForm() { mainForm_.reset(); }

}  // namespace vcl
