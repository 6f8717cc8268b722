#include "platform/vcl/ComCtrls.h"

#include <commctrl.h>
#include <richedit.h>

#include "platform/rtl/SysUtils.h"

namespace vcl {

TCustomRichEdit::TCustomRichEdit(TComponent* owner) : TCustomMemo(owner) {}

void TCustomRichEdit::CreateParams(TCreateParams& params) {
    // The rich-edit window class lives in its own library, loaded once and
    // kept for the process.
    static const HMODULE library = LoadLibraryW(L"riched20.dll");
    if (!library) rtl::RaiseLastOSError(L"LoadLibraryW riched20.dll");
    TCustomMemo::CreateParams(params);
    params.className = RICHEDIT_CLASSW;
}

void TCustomRichEdit::AfterCreateWnd() {
    TCustomMemo::AfterCreateWnd();
    ColorChanged();
}

// A rich-edit box paints its own background and asks nobody for a brush.
void TCustomRichEdit::ColorChanged() {
    if (HandleAllocated()) SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, ColorToRGB(Color()));
}

TCustomTreeView::TCustomTreeView(TComponent* owner) : TWinControl(owner) {
    TabStop = true;
    SetBounds(0, 0, 121, 97);
}

void TCustomTreeView::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = WC_TREEVIEWW;
    params.style &= ~WS_CLIPCHILDREN;
    params.style |= TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
    params.exStyle |= WS_EX_CLIENTEDGE;
}

}  // namespace vcl
