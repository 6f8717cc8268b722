#pragma once
// Standard controls: label, push button, multi-line edit.

#include <functional>
#include <string>
#include <vector>

#include "platform/vcl/Controls.h"

namespace vcl {

// Text drawn by its parent with the label's font and colour; no window.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);
    void Paint(HDC dc) override;
};

// A BUTTON window with BS_PUSHBUTTON (BS_DEFPUSHBUTTON when Default).
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);

    std::function<void()> OnClick;
    // Runs OnClick, as a press of the button does.
    void Click();

    // Enter presses the default button of its form, Esc the cancel button.
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }

protected:
    void CreateParams(TCreateParams& params) override;
    void Command(WORD notifyCode) override;

private:
    bool default_ = false;
    bool cancel_ = false;
};

class TCustomMemo;

// The lines of a memo. The memo's window shows them joined by CR LF.
class TMemoLines {
public:
    explicit TMemoLines(TCustomMemo& memo) : memo_(memo) {}
    int Count() const { return static_cast<int>(lines_.size()); }
    const std::wstring& operator[](int index) const {
        return lines_.at(static_cast<size_t>(index));
    }
    void Add(const std::wstring& line);
    void Clear();
    // Every line followed by CR LF.
    std::wstring Text() const;

    // Between BeginUpdate and the matching EndUpdate the lines change but the
    // window does not; EndUpdate shows them all at once, the last in view.
    void BeginUpdate() { ++updates_; }
    void EndUpdate();

private:
    friend class TCustomMemo;
    TCustomMemo& memo_;
    std::vector<std::wstring> lines_;
    int updates_ = 0;
};

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// A multi-line EDIT window. The lines are the ones the program gives it; a
// memo here is a log, so what a user might type into an editable one is not
// read back.
class TCustomMemo : public TWinControl {
public:
    explicit TCustomMemo(TComponent* owner);
    ~TCustomMemo() override;

    TMemoLines Lines{*this};
    // The lines, each followed by CR LF.
    std::wstring Text() const { return Lines.Text(); }

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    // Read when the window is made.
    TScrollStyle ScrollBars = TScrollStyle::ssNone;
    bool WordWrap = true;
    TColor Color() const { return color_; }
    void SetColor(TColor color);

protected:
    void CreateParams(TCreateParams& params) override;
    void AfterCreateWnd() override;
    HBRUSH ControlColor(HDC dc) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void ColorChanged();

private:
    friend class TMemoLines;
    void LineAdded(const std::wstring& line);
    // What the window shows: the lines joined by CR LF.
    std::wstring WindowText() const;
    void LinesCleared();
    // Shows all lines again, scrolled to the last.
    void LinesReplaced();
    bool readOnly_ = false;
    TColor color_ = clWindow;
    HBRUSH brush_ = nullptr;
};

class TMemo : public TCustomMemo {
public:
    using TCustomMemo::TCustomMemo;
};

}  // namespace vcl
