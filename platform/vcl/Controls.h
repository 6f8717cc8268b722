#pragma once
// The control tree. A component belongs to its Owner, which destroys it; a
// control sits inside its Parent, a windowed control, which shows it. The
// two relations are independent, as in the classic library: a form owns
// every control of its layout, while each control's parent is the panel or
// form it appears on.
//
// Windowed controls are real windows: Handle() creates the window (and its
// parents' windows) on first request, WM_SETFONT carries the control's font,
// SetBounds becomes MoveWindow. Non-windowed controls have no window; their
// parent paints them.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/vcl/Graphics.h"
#include "platform/vcl/Screen.h"

namespace vcl {

class TComponent {
public:
    // The owner, if any, takes the new component and destroys it with itself.
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    // By index from 0, in the order the components were created.
    TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }

    std::wstring Name;

private:
    TComponent* owner_;
    std::vector<TComponent*> components_;
};

enum class TAlign { alNone, alTop, alBottom, alClient };

class TWinControl;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    // Appends the control to parent's child list (nullptr takes it out).
    void SetParent(TWinControl* parent);

    // Any change made through Font() is the control's own font from then on:
    // it clears ParentFont.
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    // True while the control takes its parent's font and follows its changes.
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Shown over this control while Screen's cursor is crDefault.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor) { cursor_ = cursor; }

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& caption);

    // For a layout made at designDpi shown at dpi: scales position and size,
    // and brings a font of its own to dpi (its pixel height converted from
    // the font's own resolution, its points counted at dpi from then on).
    virtual void ScaleForDpi(int dpi, int designDpi);

protected:
    // The control's appearance changed; windowed controls tell their window.
    virtual void FontChanged();
    virtual void BoundsChanged();
    virtual void VisibleChanged();
    virtual void EnabledChanged() {}
    virtual void CaptionChanged();
    // Area of the parent's window this control covers.
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    void InvalidateInParent();
    // Records where the control is, for a window that was placed by others.
    void StoreBounds(const RECT& bounds);

    bool visible_ = true;

private:
    friend class TWinControl;
    void OnFontChange();
    void TakeParentFont();

    TWinControl* parent_ = nullptr;
    TFont font_;
    bool parentFont_ = true;
    bool takingParentFont_ = false;
    int left_ = 0, top_ = 0, width_ = 100, height_ = 25;
    TAlign align_ = TAlign::alNone;
    bool enabled_ = true;
    TCursor cursor_ = crDefault;
    std::wstring caption_;
};

// A control without a window: drawn by its parent into the parent's window.
class TGraphicControl : public TControl {
public:
    using TControl::TControl;
    virtual void Paint(HDC dc) = 0;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    // Destroys the child controls, then the window.
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    // Child controls by index from 0, in the order they were given this parent.
    TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }

    // The window, created with its parents' windows on first request.
    HWND Handle();
    bool HandleAllocated() const { return hwnd_ != nullptr; }

    // Position in the parent's tab order (the sibling windows' z-order).
    int TabOrder() const;
    void SetTabOrder(int order);
    bool TabStop = false;

    // The windowed control whose window this is, or nullptr.
    static TWinControl* FromHandle(HWND hwnd);

    // The area children are laid out in.
    virtual RECT ClientRect() const;
    // Lays out the aligned children: top-aligned ones stacked from the top,
    // bottom-aligned from the bottom, the client-aligned one in the rest.
    void Realign();

    void ScaleForDpi(int dpi, int designDpi) override;

protected:
    struct TCreateParams {
        std::wstring className;
        DWORD style = 0;
        DWORD exStyle = 0;
        int x = 0, y = 0, width = 0, height = 0;
        HWND parent = nullptr;
    };
    // Window class and styles; the base gives a visible child window.
    virtual void CreateParams(TCreateParams& params);
    // Runs once the window exists, before the child windows are made.
    virtual void CreateWnd() {}
    // Runs once the child windows exist too.
    virtual void AfterCreateWnd() {}
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

    // WM_COMMAND and WM_CTLCOLOR* that the parent received for this window.
    virtual void Command(WORD /*notifyCode*/) {}
    virtual HBRUSH ControlColor(HDC /*dc*/) { return nullptr; }
    // For windows of our own class: paints the background decoration.
    virtual void Paint(HDC /*dc*/) {}

    void FontChanged() override;
    void BoundsChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void CaptionChanged() override;

    // Our own window class (forms, panels): painted here, not by Windows.
    static const wchar_t* OwnClassName();
    HWND hwnd_ = nullptr;
    int controlId_ = 0;

private:
    friend class TControl;
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR refData);
    void CreateHandle();
    void DestroyHandle();
    void ApplyTabOrder();
    void PaintChildren(HDC dc);
    bool SetCursorFor(LPARAM lParam);
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    bool aligning_ = false;
    bool ownClass_ = false;
};

}  // namespace vcl
