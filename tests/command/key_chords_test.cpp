#include <gtest/gtest.h>

#include <set>

#include "plugin/keys.h"
#include "shared/key_chords.h"

namespace simhost::command {
namespace {

struct ChordCase {
  const char *text;
  DWORD code;
  bool shift, ctrl;
  const char *name;  // as the timeline writes it back
  bool rshift = false, rctrl = false;
};

TEST(KeyNames, ChordsReadAsTheHostsCodesAndBack) {
  const ChordCase cases[] = {
      {"C", 0x2E, false, false, "C"},
      {"c", 0x2E, false, false, "C"},
      {"shift+C", 0x2E, true, false, "shift+C"},
      {"SHIFT+c", 0x2E, true, false, "shift+C"},
      {"ctrl+shift+C", 0x2E, true, true, "shift+ctrl+C"},
      {"7", 0x08, false, false, "7"},
      {"4", 0x05, false, false, "4"},
      {"1", 0x02, false, false, "1"},
      {"9", 0x0A, false, false, "9"},
      {"0", 0x0B, false, false, "0"},
      {"Q", 0x10, false, false, "Q"},
      {"P", 0x19, false, false, "P"},
      {"A", 0x1E, false, false, "A"},
      {"L", 0x26, false, false, "L"},
      {"Z", 0x2C, false, false, "Z"},
      {"M", 0x32, false, false, "M"},
      {"0x2E", 0x2E, false, false, "C"},
      {"0x39", 0x39, false, false, "SPACE"},
      {"space", 0x39, false, false, "SPACE"},
      {"shift+Semicolon", 0x27, true, false, "shift+SEMICOLON"},
      {"F12", 0x58, false, false, "F12"},
      {"ctrl+0x1c", 0x1C, false, true, "ctrl+RETURN"},
      {"0x9C", 0x9C, false, false, "0x9C"},
      {"0xFF", 0xFF, false, false, "0xFF"},
      {"0x1", 0x01, false, false, "ESCAPE"},
      {"rshift+C", 0x2E, false, false, "rshift+C", true, false},
      {"RCTRL+7", 0x08, false, false, "rctrl+7", false, true},
      {"rctrl+ctrl+rshift+shift+4", 0x05, true, true, "shift+ctrl+rshift+rctrl+4", true, true},
  };
  for (const ChordCase &c : cases) {
    KeyChord chord;
    std::string error;
    ASSERT_TRUE(parseKeyChord(c.text, chord, error)) << c.text << ": " << error;
    EXPECT_EQ(chord.code, c.code) << c.text;
    EXPECT_EQ(chord.shift, c.shift) << c.text;
    EXPECT_EQ(chord.ctrl, c.ctrl) << c.text;
    EXPECT_EQ(chord.rshift, c.rshift) << c.text;
    EXPECT_EQ(chord.rctrl, c.rctrl) << c.text;
    EXPECT_EQ(keyChordName(chord), c.name) << c.text;
  }
}

TEST(KeyNames, EveryLetterAndDigitHasItsOwnCodeAndReadsBack) {
  std::string keys = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::set<DWORD> seen;
  for (char k : keys) {
    DWORD code = keyCode(std::string(1, k));
    ASSERT_NE(code, 0u) << k;
    EXPECT_TRUE(seen.insert(code).second) << k << " shares its code";
    EXPECT_EQ(keyName(code), std::string(1, k));
  }
}

struct BadChord {
  const char *text;
  const char *message;
};

TEST(KeyNames, UnknownKeysAndModifiersAreRefused) {
  const BadChord cases[] = {
      {"", "no key \"\""},
      {"shift+", "no key \"\""},
      {"alt+C", "unknown key modifier \"alt\""},
      {"shift+shift+C", "given twice"},
      {"rctrl+rctrl+C", "given twice"},
      {"lshift+C", "unknown key modifier \"lshift\""},
      {"CC", "no key \"CC\""},
      {"F13", "no key \"F13\""},
      {"0x", "no key \"0x\""},
      {"0x00", "no key \"0x00\""},
      {"0x100", "no key \"0x100\""},
      {"0xG1", "no key \"0xG1\""},
      {"+C", "unknown key modifier \"\""},
      {"-", "no key \"-\""},
  };
  for (const BadChord &c : cases) {
    KeyChord chord;
    std::string error;
    EXPECT_FALSE(parseKeyChord(c.text, chord, error)) << c.text;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.text << ": " << error;
  }
}

}  // namespace
}  // namespace simhost::command
