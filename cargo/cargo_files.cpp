// The cargo add-on's configuration files: what the bay reads from them, the
// class description check of free cargo, and the case-insensitive search
// through which all cargo matching goes.
#include "cargo_files.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "cargo_bay.h"
#include "host_extras.h"

namespace cargo_files {
namespace {

// Matching ignores the case of ASCII letters only: descriptions are 8-bit
// text whose upper half has no agreed case.
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

bool StartsWith(const char *line, const char *key) { return std::strncmp(line, key, std::strlen(key)) == 0; }

// A component of nothing but dots and blanks, with two dots or more: ".."
// itself, and what Windows trims down to it ("...", ".. ").
bool ClimbsOut(const char *begin, const char *end) {
  int dots = 0;
  for (const char *p = begin; p < end; ++p) {
    if (*p == '.') {
      ++dots;
    } else if (*p != ' ') {
      return false;
    }
  }
  return dots >= 2;
}

// The value of a key line starts after the first '=' and the spaces after
// it (tabs stay); null when the line has no '='.
const char *ValueOf(const char *line) {
  const char *eq = std::strchr(line, '=');
  if (!eq) {
    return nullptr;
  }
  ++eq;
  while (*eq == ' ') {
    ++eq;
  }
  return eq;
}

// The first blank-delimited word of value, cut to maxChars characters, into
// out (capacity maxChars + 1). Without a word, out keeps what it held.
void ReadWord(const char *value, char *out, int maxChars) {
  while (IsBlank(*value)) {
    ++value;
  }
  if (*value == '\0') {
    return;
  }
  int n = 0;
  while (value[n] != '\0' && !IsBlank(value[n]) && n < maxChars) {
    out[n] = value[n];
    ++n;
  }
  out[n] = '\0';
}

// Without a number the mass keeps what it held.
void ReadMass(const char *value, double &mass) {
  char *end = nullptr;
  const double read = std::strtod(value, &end);
  if (end != value) {
    mass = read;
  }
}

}  // namespace

bool StaysInFolder(const char *name) {
  if (!name || IsSeparator(name[0]) || std::strchr(name, ':')) {
    return false;
  }
  const char *component = name;
  for (const char *p = name;; ++p) {
    if (*p == '\0' || IsSeparator(*p)) {
      if (ClimbsOut(component, p)) {
        return false;
      }
      if (*p == '\0') {
        return true;
      }
      component = p + 1;
    }
  }
}

bool ComposeConfigPath(char *path, int capacity, const char *folder, const char *name) {
  if (!StaysInFolder(name)) {
    return false;
  }
  const char *extension = CargoBay::FindNoCase(name, ".cfg") ? "" : ".cfg";
  const int written = std::snprintf(path, static_cast<size_t>(capacity), "%s%s%s", folder, name, extension);
  return written >= 0 && written < capacity;
}

void ReadDescriptionValue(const char *line, char *out, int maxChars) {
  out[0] = '\0';
  const char *value = ValueOf(line);
  if (!value) {
    return;
  }
  int n = 0;
  while (n < maxChars && value[n] != ';' && static_cast<signed char>(value[n]) >= 14) {
    out[n] = value[n];
    ++n;
  }
  out[n] = '\0';
}

void ReadCargoFile(FILE *file, CargoFileEntries &entries) {
  char line[LoadLineCapacity];
  while (std::fgets(line, sizeof line, file)) {
    if (line[0] == ';') {
      continue;
    }
    const char *value = ValueOf(line);
    if (StartsWith(line, "MeshName")) {
      if (value) {
        ReadWord(value, entries.meshName, sizeof entries.meshName - 1);
        entries.hasMesh = true;
      }
    } else if (StartsWith(line, "ucForceName")) {
      if (value) {
        ReadWord(value, entries.forceName, sizeof entries.forceName - 1);
      }
    } else if (StartsWith(line, "UcDescription")) {
      if (value) {
        ReadDescriptionValue(line, entries.description, sizeof entries.description - 1);
        entries.hasDescription = true;
      }
    } else if (StartsWith(line, "Mass")) {
      if (value) {
        ReadMass(value, entries.mass);
        entries.hasMass = true;
      }
    } else if (line[0] == 'P' && std::strstr(line, "UCGOCG")) {
      entries.hasAttachment = true;
    }
  }
}

}  // namespace cargo_files

const char *CargoBay::FindNoCase(const char *haystack, const char *needle) {
  if (!haystack || !needle) {
    return nullptr;
  }
  // Callers pass descriptions of at most 29 characters; only the first 21
  // characters of what they look for take part.
  const size_t needleLength = strnlen(needle, 21);
  if (needleLength == 0 || haystack[0] == '\0') {
    return nullptr;
  }
  for (const char *h = haystack; *h != '\0'; ++h) {
    size_t i = 0;
    while (i < needleLength && h[i] != '\0' &&
           cargo_files::UpperAscii(h[i]) == cargo_files::UpperAscii(needle[i])) {
      ++i;
    }
    if (i == needleLength) {
      return h;
    }
  }
  return nullptr;
}

int CargoBay::ClassDescriptionContains(const char *className, const char *text) {
  if (!className || !text) {
    return 0;
  }
  // Class names of other vessels can be long; one that does not fit has no
  // readable file, like one that names no file at all.
  char path[256];
  if (!cargo_files::ComposeConfigPath(path, sizeof path, "config\\vessels\\", className)) {
    return 0;
  }
  FILE *file = hostOpenFile(path, "r");
  if (!file) {
    return 0;
  }
  char line[cargo_files::DescriptionLineCapacity];
  while (std::fgets(line, sizeof line, file)) {
    if (line[0] == ';' || !cargo_files::StartsWith(line, "UcDescription") || !std::strchr(line, '=')) {
      continue;
    }
    char description[30];
    cargo_files::ReadDescriptionValue(line, description, 29);
    std::fclose(file);
    return FindNoCase(description, text) ? 1 : 0;
  }
  std::fclose(file);
  return 0;
}
