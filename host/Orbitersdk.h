// Everything a vessel module includes to talk to the simulator, as the
// simulator's SDK provides it: the oapi functions and types, and the vessel
// classes. What simhost adds for modules is module/host_extras.h.
#pragma once

#include "OrbiterAPI.h"
#include "VesselAPI.h"
