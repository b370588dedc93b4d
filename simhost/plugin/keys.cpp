#include "plugin/keys.h"

#include <cctype>
#include <cstdio>

namespace simhost {

namespace {

struct KeyName {
  DWORD code;
  const char *name;
};

// The main keyboard and the keys beside it, in DirectInput's numbering,
// which the simulator's key buffer follows.
const KeyName kNames[] = {
    {0x01, "ESCAPE"},   {0x02, "1"},          {0x03, "2"},         {0x04, "3"},        {0x05, "4"},
    {0x06, "5"},        {0x07, "6"},          {0x08, "7"},         {0x09, "8"},        {0x0A, "9"},
    {0x0B, "0"},        {0x0C, "MINUS"},      {0x0D, "EQUALS"},    {0x0E, "BACK"},     {0x0F, "TAB"},
    {0x10, "Q"},        {0x11, "W"},          {0x12, "E"},         {0x13, "R"},        {0x14, "T"},
    {0x15, "Y"},        {0x16, "U"},          {0x17, "I"},         {0x18, "O"},        {0x19, "P"},
    {0x1A, "LBRACKET"}, {0x1B, "RBRACKET"},   {0x1C, "RETURN"},    {0x1D, "LCONTROL"}, {0x1E, "A"},
    {0x1F, "S"},        {0x20, "D"},          {0x21, "F"},         {0x22, "G"},        {0x23, "H"},
    {0x24, "J"},        {0x25, "K"},          {0x26, "L"},         {0x27, "SEMICOLON"}, {0x28, "APOSTROPHE"},
    {0x29, "GRAVE"},    {0x2A, "LSHIFT"},     {0x2B, "BACKSLASH"}, {0x2C, "Z"},        {0x2D, "X"},
    {0x2E, "C"},        {0x2F, "V"},          {0x30, "B"},         {0x31, "N"},        {0x32, "M"},
    {0x33, "COMMA"},    {0x34, "PERIOD"},     {0x35, "SLASH"},     {0x36, "RSHIFT"},   {0x39, "SPACE"},
    {0x3B, "F1"},       {0x3C, "F2"},         {0x3D, "F3"},        {0x3E, "F4"},       {0x3F, "F5"},
    {0x40, "F6"},       {0x41, "F7"},         {0x42, "F8"},        {0x43, "F9"},       {0x44, "F10"},
    {0x57, "F11"},      {0x58, "F12"},        {0x9D, "RCONTROL"},  {0xC7, "HOME"},     {0xC8, "UP"},
    {0xC9, "PRIOR"},    {0xCB, "LEFT"},       {0xCD, "RIGHT"},     {0xCF, "END"},      {0xD0, "DOWN"},
    {0xD1, "NEXT"},     {0xD2, "INSERT"},     {0xD3, "DELETE"},
};

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

DWORD hexCode(std::string_view digits) {
  if (digits.empty() || digits.size() > 2) return 0;
  DWORD code = 0;
  for (char c : digits) {
    const int u = std::toupper(static_cast<unsigned char>(c));
    if (!std::isxdigit(u)) return 0;
    code = code * 16 + static_cast<DWORD>(std::isdigit(u) ? u - '0' : u - 'A' + 10);
  }
  return code;
}

}  // namespace

std::string keyName(DWORD code) {
  for (const auto &k : kNames)
    if (k.code == code) return k.name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%02X", static_cast<unsigned>(code));
  return buf;
}

DWORD keyCode(std::string_view name) {
  if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) return hexCode(name.substr(2));
  for (const auto &k : kNames)
    if (equalsNoCase(name, k.name)) return k.code;
  return 0;
}

std::string keyChordName(DWORD code, unsigned modifiers) {
  static const char *const kPrefixes[] = {"shift+", "ctrl+", "rshift+", "rctrl+"};
  std::string name;
  for (unsigned bit = 0; bit < 4; ++bit)
    if (modifiers & (1u << bit)) name += kPrefixes[bit];
  return name + keyName(code);
}

}  // namespace simhost
