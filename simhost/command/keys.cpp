#include "keys.h"

#include <cctype>
#include <cstdio>

namespace simhost::command {

namespace {

// The main keyboard's letter rows in DirectInput order; the code of a letter
// is its row's first code plus its place in the row.
struct KeyRow {
  const char *letters;
  DWORD firstCode;
};
constexpr KeyRow kLetterRows[] = {
    {"QWERTYUIOP", OAPI_KEY_Q},
    {"ASDFGHJKL", OAPI_KEY_A},
    {"ZXCVBNM", OAPI_KEY_Z},
};

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

DWORD letterCode(char letter) {
  for (const KeyRow &row : kLetterRows) {
    for (DWORD i = 0; row.letters[i] != '\0'; ++i) {
      if (row.letters[i] == letter) return row.firstCode + i;
    }
  }
  return 0;
}

DWORD digitCode(char digit) {
  // 1 to 9 run from OAPI_KEY_1 upwards; 0 sits after 9, as on the keyboard.
  if (digit == '0') return OAPI_KEY_0;
  return OAPI_KEY_1 + static_cast<DWORD>(digit - '1');
}

DWORD hexCode(std::string_view digits) {
  if (digits.empty() || digits.size() > 2) return 0;
  DWORD code = 0;
  for (char c : digits) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return 0;
    code = code * 16 + static_cast<DWORD>(std::isdigit(static_cast<unsigned char>(c))
                                              ? c - '0'
                                              : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10);
  }
  return code;
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

DWORD keyCodeFromName(std::string_view name) {
  if (name.size() == 1) {
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    if (c >= 'A' && c <= 'Z') return letterCode(c);
    if (c >= '0' && c <= '9') return digitCode(c);
    return 0;
  }
  if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) return hexCode(name.substr(2));
  return 0;
}

std::string keyNameFromCode(DWORD code) {
  for (const KeyRow &row : kLetterRows) {
    for (DWORD i = 0; row.letters[i] != '\0'; ++i) {
      if (row.firstCode + i == code) return std::string(1, row.letters[i]);
    }
  }
  if (code >= OAPI_KEY_1 && code <= OAPI_KEY_9) return std::string(1, static_cast<char>('1' + (code - OAPI_KEY_1)));
  if (code == OAPI_KEY_0) return "0";
  char text[16];
  std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(code));
  return text;
}

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
  result.code = keyCodeFromName(rest);
  if (result.code == 0) {
    error = "no key \"" + std::string(rest) + "\" (use a letter A-Z, a digit 0-9 or a code 0x01 to 0xFF)";
    return false;
  }
  chord = result;
  return true;
}

std::string keyChordName(const KeyChord &chord) {
  std::string name;
  if (chord.shift) name += "shift+";
  if (chord.ctrl) name += "ctrl+";
  if (chord.rshift) name += "rshift+";
  if (chord.rctrl) name += "rctrl+";
  return name + keyNameFromCode(chord.code);
}

}  // namespace simhost::command
