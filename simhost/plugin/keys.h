// Names of buffered key codes, one spelling for the whole of simhost: the
// "key" events, the timeline, scripts and play's record all read and write
// them. A key with a name is called by it ("C", "7", "SPACE", "SEMICOLON",
// "F1": DirectInput's names without their prefix); any other code is "0x"
// and two upper-case hex digits ("0x9C").
#pragma once

#include <string>
#include <string_view>

#include "OrbiterAPI.h"

namespace simhost {

std::string keyName(DWORD code);
// The code a name or a hex code ("0x2E", 0x01 to 0xFF) stands for, the name
// in either case; 0 when the text names no key.
DWORD keyCode(std::string_view name);
// "shift+ctrl+C" style: modifiers first, as an operator would say it;
// modifiers are Simulation::KeyModifier bits ("rshift+", "rctrl+" for the
// right-hand keys).
std::string keyChordName(DWORD code, unsigned modifiers);

}  // namespace simhost
