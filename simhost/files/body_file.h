// Celestial bodies: the files Config/<Body>.cfg of the simulator tree, in
// the simulator's format ("Key = value", ';' comments). simhost takes the
// mean radius (Size, m), the mass (Mass, kg) for gravity, the sidereal
// rotation (SidRotPeriod, s; SidRotOffset, rad) and, a key of its own that
// the simulator ignores, the place it keeps the body still at
// (SimhostPosition, x y z in m of the global frame; the origin without it).
// Other keys are the simulator's and are left alone.
#pragma once

#include <string>

#include "files/file_gate.h"
#include "world/body.h"

namespace simhost {

// Reads the body of that name from the tree; false with "FILE:LINE: what"
// (or what is missing) in error.
bool readBodyFile(const std::string &root, const std::string &name, FileGate *gate, CelestialBody &body,
                  std::string &error);

}  // namespace simhost
