#pragma once
// Makes forms follow the system's icon font, gives tree views the Explorer
// look and locks the layout of the bars a form owns.

#include <string>

#include "platform/vcl/Controls.h"
#include "platform/vcl/CustomForm.h"

namespace VistaReady {

// The screen's icon font, recorded by Initialize: empty and 8 before.
extern std::wstring IconFontName;
extern int IconFontSize;  // points

// Text in these colours keeps its designed size.
constexpr vcl::TColor HeadingColor1 = 0x00993300;
constexpr vcl::TColor HeadingColor2 = 0x00915F36;

// Module start-up: records the screen's icon font. Shutdown releases it.
void Initialize();
void Finalize();

// Records the given font as the icon font, as Initialize does with the
// screen's. Tests use it to run the adaptation under other icon fonts.
void RecordIconFont(const std::wstring& name, int size);

// Adapts a form and every control in it.
void ApplySystemFonts(vcl::TCustomForm* form);
// The walk over a control and its children, depth-first, the control first.
void AdaptControlTree(vcl::TControl* control);
// Switches off closing, customising and docking of the bars the form owns.
void LockBarLayout(vcl::TCustomForm* form);

}  // namespace VistaReady
