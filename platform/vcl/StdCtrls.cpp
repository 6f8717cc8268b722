#include "platform/vcl/StdCtrls.h"

namespace vcl {

// ---- TLabel ----------------------------------------------------------------

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 65, 13); }

void TLabel::Paint(HDC dc) {
    RECT bounds = BoundsRect();
    SelectObject(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Enabled() ? Font().Color() : clSystemColor | COLOR_GRAYTEXT));
    DrawTextW(dc, Caption().c_str(), static_cast<int>(Caption().size()), &bounds,
              DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

// ---- TButton ---------------------------------------------------------------

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    TabStop = true;
    SetBounds(0, 0, 75, 25);
}

void TButton::Click() {
    if (OnClick) OnClick();
}

void TButton::SetDefault(bool value) {
    default_ = value;
    if (HandleAllocated()) {
        SendMessageW(hwnd_, BM_SETSTYLE, default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = L"BUTTON";
    params.style &= ~WS_CLIPCHILDREN;
    params.style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::Command(WORD notifyCode) {
    if (notifyCode == BN_CLICKED) Click();
}

// ---- TMemoLines ------------------------------------------------------------

void TMemoLines::Add(const std::wstring& line) {
    lines_.push_back(line);
    if (updates_ == 0) memo_.LineAdded(line);
}

void TMemoLines::Clear() {
    lines_.clear();
    if (updates_ == 0) memo_.LinesCleared();
}

void TMemoLines::EndUpdate() {
    if (updates_ > 0 && --updates_ == 0) memo_.LinesReplaced();
}

std::wstring TMemoLines::Text() const {
    std::wstring text;
    for (const std::wstring& line : lines_) text += line + L"\r\n";
    return text;
}

// ---- TCustomMemo -----------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent* owner) : TWinControl(owner) {
    TabStop = true;
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() {
    if (brush_) DeleteObject(brush_);
}

std::wstring TCustomMemo::WindowText() const {
    std::wstring text = Lines.Text();
    if (!text.empty()) text.resize(text.size() - 2);
    return text;
}

void TCustomMemo::SetReadOnly(bool value) {
    readOnly_ = value;
    if (HandleAllocated()) SendMessageW(hwnd_, EM_SETREADONLY, readOnly_, 0);
}

void TCustomMemo::SetColor(TColor color) {
    color_ = color;
    if (brush_) DeleteObject(brush_);
    brush_ = nullptr;
    ColorChanged();
}

void TCustomMemo::ColorChanged() {
    if (HandleAllocated()) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TCustomMemo::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = L"EDIT";
    params.style &= ~WS_CLIPCHILDREN;
    params.style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL;
    params.exStyle |= WS_EX_CLIENTEDGE;
    if (readOnly_) params.style |= ES_READONLY;
    if (!WordWrap) params.style |= ES_AUTOHSCROLL;
    if (ScrollBars == TScrollStyle::ssVertical || ScrollBars == TScrollStyle::ssBoth) {
        params.style |= WS_VSCROLL;
    }
    if (ScrollBars == TScrollStyle::ssHorizontal || ScrollBars == TScrollStyle::ssBoth) {
        params.style |= WS_HSCROLL;
    }
}

void TCustomMemo::AfterCreateWnd() {
    // An edit box takes about 30,000 characters unless told otherwise and
    // silently drops what an append would put beyond that; a log must
    // never lose its last lines, so the box takes as much as it can hold.
    SendMessageW(hwnd_, EM_SETLIMITTEXT, 0, 0);
    SetWindowTextW(hwnd_, WindowText().c_str());
}

HBRUSH TCustomMemo::ControlColor(HDC dc) {
    SetTextColor(dc, ColorToRGB(Font().Color()));
    SetBkColor(dc, ColorToRGB(color_));
    if (!brush_) {
        brush_ =
            (color_ & 0xFF000000) == clSystemColor ? nullptr : CreateSolidBrush(ColorToRGB(color_));
    }
    // System colours have brushes of their own that nobody deletes.
    return brush_ ? brush_ : GetSysColorBrush(static_cast<int>(color_ & 0xFF));
}

// A multi-line edit box asks for every key. Esc is left to the form (its
// cancel button), and so is Enter while the box is read-only, so that the
// form's default button answers it.
LRESULT TCustomMemo::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = TWinControl::WndProc(message, wParam, lParam);
    if (message == WM_GETDLGCODE && lParam) {
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        const bool escape = msg->wParam == VK_ESCAPE;
        const bool enter = msg->wParam == VK_RETURN && readOnly_;
        if ((msg->message == WM_KEYDOWN || msg->message == WM_CHAR) && (escape || enter)) {
            result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
        }
    }
    return result;
}

void TCustomMemo::LineAdded(const std::wstring& line) {
    if (!HandleAllocated()) return;
    // Appended at the end, which also scrolls the new line into view.
    const std::wstring piece = Lines.Count() > 1 ? L"\r\n" + line : line;
    const int length = GetWindowTextLengthW(hwnd_);
    SendMessageW(hwnd_, EM_SETSEL, length, length);
    SendMessageW(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
}

void TCustomMemo::LinesReplaced() {
    if (!HandleAllocated()) return;
    SetWindowTextW(hwnd_, WindowText().c_str());
    const int length = GetWindowTextLengthW(hwnd_);
    SendMessageW(hwnd_, EM_SETSEL, length, length);
    SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
}

void TCustomMemo::LinesCleared() {
    if (HandleAllocated()) SetWindowTextW(hwnd_, L"");
}

}  // namespace vcl
