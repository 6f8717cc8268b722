#include "look/VistaReady.h"

namespace VistaReady {

// The icon font is recorded here once the control layer has fonts.
void Initialize() {}
void Finalize() {}

}  // namespace VistaReady
