// Everything a vessel module includes to talk to the simulator.
#pragma once

#include "OrbiterAPI.h"
#include "VesselAPI.h"
#include "host_files.h"
#include "win32.h"
