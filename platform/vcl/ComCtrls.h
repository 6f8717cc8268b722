#pragma once
// Common controls: the rich-edit box (a memo) and the tree view.

#include "platform/vcl/StdCtrls.h"

namespace vcl {

// A RichEdit20W window; it counts as a memo.
class TCustomRichEdit : public TCustomMemo {
public:
    explicit TCustomRichEdit(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
    void AfterCreateWnd() override;
    void ColorChanged() override;
};

class TRichEdit : public TCustomRichEdit {
public:
    using TCustomRichEdit::TCustomRichEdit;
};

// A SysTreeView32 window.
class TCustomTreeView : public TWinControl {
public:
    explicit TCustomTreeView(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
};

class TTreeView : public TCustomTreeView {
public:
    using TCustomTreeView::TCustomTreeView;
};

}  // namespace vcl
