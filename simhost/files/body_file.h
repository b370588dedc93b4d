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

// What reading a body's file came to: a tree may lack the file, which is
// no fault of the file.
enum class BodyFile { Read, Missing, Faulty };

// Reads the body of that name from the tree: Missing with the file's name
// in error when the tree has none, Faulty with "FILE:LINE: what".
BodyFile readBodyFile(const std::string &root, const std::string &name, FileGate *gate, CelestialBody &body,
                      std::string &error);

}  // namespace simhost
