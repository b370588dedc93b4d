#include "plugin/keys.h"

#include <cstdio>

namespace simhost {

namespace {

struct KeyName {
  DWORD code;
  const char *name;
};

const KeyName kNames[] = {
    {OAPI_KEY_ESCAPE, "ESCAPE"}, {OAPI_KEY_1, "1"}, {OAPI_KEY_2, "2"}, {OAPI_KEY_3, "3"},
    {OAPI_KEY_4, "4"}, {OAPI_KEY_5, "5"}, {OAPI_KEY_6, "6"}, {OAPI_KEY_7, "7"},
    {OAPI_KEY_8, "8"}, {OAPI_KEY_9, "9"}, {OAPI_KEY_0, "0"}, {OAPI_KEY_Q, "Q"},
    {OAPI_KEY_W, "W"}, {OAPI_KEY_E, "E"}, {OAPI_KEY_R, "R"}, {OAPI_KEY_T, "T"},
    {OAPI_KEY_Y, "Y"}, {OAPI_KEY_U, "U"}, {OAPI_KEY_I, "I"}, {OAPI_KEY_O, "O"},
    {OAPI_KEY_P, "P"}, {OAPI_KEY_LCONTROL, "LCONTROL"}, {OAPI_KEY_A, "A"}, {OAPI_KEY_S, "S"},
    {OAPI_KEY_D, "D"}, {OAPI_KEY_F, "F"}, {OAPI_KEY_G, "G"}, {OAPI_KEY_H, "H"},
    {OAPI_KEY_J, "J"}, {OAPI_KEY_K, "K"}, {OAPI_KEY_L, "L"}, {OAPI_KEY_LSHIFT, "LSHIFT"},
    {OAPI_KEY_Z, "Z"}, {OAPI_KEY_X, "X"}, {OAPI_KEY_C, "C"}, {OAPI_KEY_V, "V"},
    {OAPI_KEY_B, "B"}, {OAPI_KEY_N, "N"}, {OAPI_KEY_M, "M"}, {OAPI_KEY_RSHIFT, "RSHIFT"},
    {OAPI_KEY_SPACE, "SPACE"}, {OAPI_KEY_RCONTROL, "RCONTROL"},
};

}  // namespace

std::string keyName(DWORD code) {
  for (const auto &k : kNames)
    if (k.code == code) return k.name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%02X", static_cast<unsigned>(code));
  return buf;
}

std::string keyChordName(DWORD code, unsigned modifiers) {
  static const char *const kPrefixes[] = {"shift+", "ctrl+", "rshift+", "rctrl+"};
  std::string name;
  for (unsigned bit = 0; bit < 4; ++bit)
    if (modifiers & (1u << bit)) name += kPrefixes[bit];
  return name + keyName(code);
}

}  // namespace simhost
