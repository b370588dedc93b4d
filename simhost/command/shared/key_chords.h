// Key names of the simhost command: the operator's spelling of a buffered
// key press ("shift+C", "7", "ctrl+RETURN", "rshift+C") and the host's keyboard codes,
// which follow the DirectInput numbering of host/OrbiterAPI.h.
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

// A key alone, by the host's names (plugin/keys.h): a letter A-Z, a
// main-keyboard digit 0-9, a named key such as SPACE or SEMICOLON, either
// case, or a code written in hexadecimal such as 0x2E (0x01 to 0xFF).
// Returns 0 when the text names no key.
DWORD keyCodeFromName(std::string_view name);

// The name of a code as keyCodeFromName reads it: its name when it has one,
// otherwise "0x" and two upper-case hex digits.
std::string keyNameFromCode(DWORD code);

// "[shift+][ctrl+][rshift+][rctrl+]KEY", modifiers in any order and either
// case. Returns false with what is wrong in error.
bool parseKeyChord(std::string_view text, KeyChord &chord, std::string &error);

// The chord as parseKeyChord reads it, modifiers first in the order above:
// "shift+ctrl+C", "rshift+C".
std::string keyChordName(const KeyChord &chord);

}  // namespace simhost::command
