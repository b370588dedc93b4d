// Readable names of buffered key codes ("C", "7", "SPACE"; "0x9D" for codes
// without a name), as the "key" events give them.
#pragma once

#include <string>

#include "OrbiterAPI.h"

namespace simhost {

std::string keyName(DWORD code);
// "shift+ctrl+C" style: modifiers first, as an operator would say it;
// modifiers are Simulation::KeyModifier bits ("rshift+", "rctrl+" for the
// right-hand keys).
std::string keyChordName(DWORD code, unsigned modifiers);

}  // namespace simhost
