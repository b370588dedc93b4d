// Key chords of the simhost command: a key with the modifiers held, as the
// operator spells it in a script or play's command line ("shift+C", "7",
// "ctrl+RETURN", "rshift+C"). The key itself is named by the host's own
// names and codes (plugin/keys.h), which follow the DirectInput numbering
// of host/OrbiterAPI.h.
//
// The script parser turns names into chords; the timeline turns the chords
// that the simulation reports back into the same names, so a key written in
// a script reads the same in the timeline.
#pragma once

#include <string>
#include <string_view>

#include "OrbiterAPI.h"

namespace simhost::command {

// The modifiers are the keys held with it: shift and ctrl are the
// left-hand keys, rshift and rctrl the right-hand ones.
struct KeyChord {
  DWORD code = 0;
  bool shift = false;
  bool ctrl = false;
  bool rshift = false;
  bool rctrl = false;
};

// "[shift+][ctrl+][rshift+][rctrl+]KEY", modifiers in any order and either
// case, KEY as plugin/keys.h's keyCode reads it. Returns false with what
// is wrong in error.
bool parseKeyChord(std::string_view text, KeyChord &chord, std::string &error);

// The chord as parseKeyChord reads it, modifiers first in the order above:
// "shift+ctrl+C", "rshift+C".
std::string keyChordName(const KeyChord &chord);

}  // namespace simhost::command
