#pragma once
// The panel: a plain area of the button-face colour that holds controls.

#include "platform/vcl/Controls.h"

namespace vcl {

enum class TPanelBevel { bvNone, bvLowered, bvRaised };

class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* owner);
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel bevel);

protected:
    void CreateParams(TCreateParams& params) override;
    // The bevel and the caption, centred.
    void Paint(HDC dc) override;

private:
    TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
};

}  // namespace vcl
