#include "play/key_bindings.h"

#include <curses.h>

#include <iterator>
#include <string>

#include "plugin/keys.h"

namespace simhost::command {

namespace {

// DirectInput codes the host's header leaves out.
constexpr DWORD kMinus = 0x0C, kEquals = 0x0D, kBack = 0x0E, kTab = 0x0F, kLeftBracket = 0x1A, kRightBracket = 0x1B,
                kReturn = 0x1C, kSemicolon = 0x27, kApostrophe = 0x28, kGrave = 0x29, kBackslash = 0x2B,
                kComma = 0x33, kPeriod = 0x34, kSlash = 0x35, kF1 = 0x3B, kF11 = 0x57, kF12 = 0x58, kHome = 0xC7,
                kUp = 0xC8, kPageUp = 0xC9, kLeft = 0xCB, kRight = 0xCD, kEnd = 0xCF, kDown = 0xD0,
                kPageDown = 0xD1, kInsert = 0xD2, kDelete = 0xD3;

struct TerminalKey {
  int key;
  DWORD code;
  bool shift;
};

constexpr TerminalKey kSymbols[] = {
    {' ', OAPI_KEY_SPACE, false}, {'\t', kTab, false},          {'\n', kReturn, false},     {'\r', kReturn, false},
    {27, OAPI_KEY_ESCAPE, false}, {127, kBack, false},          {8, kBack, false},          {'-', kMinus, false},
    {'_', kMinus, true},          {'=', kEquals, false},        {'+', kEquals, true},       {'[', kLeftBracket, false},
    {'{', kLeftBracket, true},    {']', kRightBracket, false},  {'}', kRightBracket, true}, {';', kSemicolon, false},
    {':', kSemicolon, true},      {'\'', kApostrophe, false},   {'"', kApostrophe, true},   {'`', kGrave, false},
    {'~', kGrave, true},          {'\\', kBackslash, false},    {'|', kBackslash, true},    {',', kComma, false},
    {'<', kComma, true},          {'.', kPeriod, false},        {'>', kPeriod, true},       {'/', kSlash, false},
    {'?', kSlash, true},          {'!', OAPI_KEY_1, true},      {'@', OAPI_KEY_2, true},    {'#', OAPI_KEY_3, true},
    {'$', OAPI_KEY_4, true},      {'%', OAPI_KEY_5, true},      {'^', OAPI_KEY_6, true},    {'&', OAPI_KEY_7, true},
    {'*', OAPI_KEY_8, true},      {'(', OAPI_KEY_9, true},      {')', OAPI_KEY_0, true},    {KEY_UP, kUp, false},
    {KEY_DOWN, kDown, false},     {KEY_LEFT, kLeft, false},     {KEY_RIGHT, kRight, false}, {KEY_HOME, kHome, false},
    {KEY_END, kEnd, false},       {KEY_PPAGE, kPageUp, false},  {KEY_NPAGE, kPageDown, false},
    {KEY_IC, kInsert, false},     {KEY_DC, kDelete, false},     {KEY_BACKSPACE, kBack, false},
    {KEY_ENTER, kReturn, false},  {KEY_F(11), kF11, false},     {KEY_F(12), kF12, false},
};

constexpr double kWarpLadder[] = {0.1, 1, 10, 100, 1000};

bool isControlLetter(int key) { return key >= 1 && key <= 26 && key != '\t' && key != '\n' && key != '\r' && key != 8; }

}  // namespace

bool chordFromTerminalKey(int key, KeyChord &chord) {
  chord = KeyChord();
  if ((key >= 'a' && key <= 'z') || (key >= '0' && key <= '9')) {
    chord.code = keyCode(std::string(1, static_cast<char>(key)));
    return true;
  }
  if (key >= 'A' && key <= 'Z') {
    chord.code = keyCode(std::string(1, static_cast<char>(key)));
    chord.shift = true;
    return true;
  }
  if (isControlLetter(key)) {
    chord.code = keyCode(std::string(1, static_cast<char>('a' + key - 1)));
    chord.ctrl = true;
    return true;
  }
  if (key >= KEY_F(1) && key <= KEY_F(10)) {
    chord.code = kF1 + static_cast<DWORD>(key - KEY_F(1));
    return true;
  }
  for (const TerminalKey &symbol : kSymbols) {
    if (symbol.key == key) {
      chord.code = symbol.code;
      chord.shift = symbol.shift;
      return true;
    }
  }
  return false;
}

PlayBinding playBinding(int key) {
  switch (key) {
    case 'p':
    case ' ':
      return PlayBinding::Pause;
    case '+':
    case '=':
      return PlayBinding::WarpUp;
    case '-':
      return PlayBinding::WarpDown;
    case '\t':
      return PlayBinding::NextFocus;
    case ':':
      return PlayBinding::CommandLine;
    default:
      return PlayBinding::None;
  }
}

double nextWarp(double warp, bool up) {
  if (up) {
    for (double step : kWarpLadder)
      if (step > warp) return step;
  } else {
    for (auto it = std::rbegin(kWarpLadder); it != std::rend(kWarpLadder); ++it)
      if (*it < warp) return *it;
  }
  return warp;
}

}  // namespace simhost::command
