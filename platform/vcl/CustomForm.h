#pragma once
// A top-level window. Creation parameters are plain fields set before the
// window is created; Handle() creates it on first request.

#include <windows.h>

#include <string>

namespace vcl {

class TCustomForm {
public:
    TCustomForm() = default;
    virtual ~TCustomForm();
    TCustomForm(const TCustomForm&) = delete;
    TCustomForm& operator=(const TCustomForm&) = delete;

    std::wstring Caption;
    int ClientWidth = 400;   // pixels at 96 dots per inch
    int ClientHeight = 300;
    bool CenterOnScreen = true;

    HWND Handle();
    bool HandleAllocated() const { return hwnd_ != nullptr; }
    void SetCaption(const std::wstring& caption);
    void Show();
    // Asks the window to close, as the close box does.
    void Close();

    // Called once by the application right after the form object is built
    // and before it is first shown.
    virtual void DoCreate() {}

protected:
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateHandle();
};

}  // namespace vcl
