// The module's entry points: the simulator calls InitModule once when it
// loads Modules/Calvane.dll, then ovcInit for every vessel of the class
// Calvane and ovcExit when that vessel ends. Nothing else is exported.
#include <new>

#include "calvane.h"

namespace {

// The module's instance handle, kept for the life of the process.
HINSTANCE moduleInstance = nullptr;

}  // namespace

DLLCLBK void InitModule(HINSTANCE hModule) { moduleInstance = hModule; }

// Null when the vessel object cannot be allocated; the simulator then
// refuses the vessel instead of the module failing.
DLLCLBK VESSEL *ovcInit(OBJHANDLE hVessel, int flightmodel) {
  return new (std::nothrow) Calvane(hVessel, flightmodel);
}

DLLCLBK void ovcExit(VESSEL *vessel) {
  if (vessel) delete static_cast<Calvane *>(vessel);
}
