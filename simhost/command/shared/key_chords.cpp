#include "shared/key_chords.h"

#include <cctype>
#include <cstdio>

#include "plugin/keys.h"
#include "simulation.h"

namespace simhost::command {

namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// The chord's flag for a modifier word, or null when the word names none.
bool *modifierFlag(KeyChord &chord, std::string_view word) {
  if (equalsNoCase(word, "shift")) return &chord.shift;
  if (equalsNoCase(word, "ctrl")) return &chord.ctrl;
  if (equalsNoCase(word, "rshift")) return &chord.rshift;
  if (equalsNoCase(word, "rctrl")) return &chord.rctrl;
  return nullptr;
}

}  // namespace

bool parseKeyChord(std::string_view text, KeyChord &chord, std::string &error) {
  KeyChord result;
  std::string_view rest = text;
  for (;;) {
    size_t plus = rest.find('+');
    if (plus == std::string_view::npos) break;
    std::string_view modifier = rest.substr(0, plus);
    bool *held = modifierFlag(result, modifier);
    if (held == nullptr) {
      error = "unknown key modifier \"" + std::string(modifier) + "\" (use shift+, ctrl+, rshift+ or rctrl+)";
      return false;
    }
    if (*held) {
      error = "key modifier \"" + std::string(modifier) + "\" given twice";
      return false;
    }
    *held = true;
    rest = rest.substr(plus + 1);
  }
  result.code = keyCode(rest);
  if (result.code == 0) {
    error = "no key \"" + std::string(rest) + "\" (use a letter A-Z, a digit 0-9, a name such as SPACE or SEMICOLON, or a code 0x01 to 0xFF)";
    return false;
  }
  chord = result;
  return true;
}

std::string keyChordName(const KeyChord &chord) {
  const unsigned modifiers = (chord.shift ? Simulation::LeftShift : 0u) | (chord.ctrl ? Simulation::LeftCtrl : 0u) |
                             (chord.rshift ? Simulation::RightShift : 0u) | (chord.rctrl ? Simulation::RightCtrl : 0u);
  return simhost::keyChordName(chord.code, modifiers);
}

}  // namespace simhost::command
