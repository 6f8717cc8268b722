#pragma once
// Makes forms follow the system's icon font.

namespace VistaReady {

// Module start-up and shutdown.
void Initialize();
void Finalize();

}  // namespace VistaReady
