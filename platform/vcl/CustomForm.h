#pragma once
// A form: a top-level window, or a child window when it is given a parent
// (a form placed inside a panel of another form). It owns the components of
// its layout, knows its default and cancel buttons for Enter and Esc, and
// scales a layout made at DesignPixelsPerInch to its window's resolution
// when the window is created.

#include <windows.h>

#include <string>

#include "platform/vcl/Controls.h"

namespace vcl {

class TButton;

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* owner = nullptr);
    ~TCustomForm() override;

    // Creation parameters of the window.
    int ClientWidth = 400;  // pixels at DesignPixelsPerInch
    int ClientHeight = 300;
    bool CenterOnScreen = true;
    int DesignPixelsPerInch = 96;
    // Resolution of the window when it was created.
    int PixelsPerInch() const { return pixelsPerInch_; }

    void Show();
    // Asks the window to close, as the close box does.
    void Close();

    // Called once by the application right after the form object is built
    // and before it is first shown.
    virtual void DoCreate() {}

    RECT ClientRect() const override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    TButton* FindButton(bool wantDefault) const;
    void ResizeForDpi();
    int pixelsPerInch_ = 96;
};

using TForm = TCustomForm;

// The resolution of the monitor a window is on (the system's where the
// system cannot tell per monitor).
int DpiOfWindow(HWND hwnd);

}  // namespace vcl
