// The cargo block of the vessel's scenario: "UCGO" lines holding one item
// per declared slot, "@@slot,releasable,occupied,mass," followed by
// "typename," for occupied slots. Cargo comes back by loading its type
// afresh from its cargo file and restoring the saved mass.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "cargo_bay.h"

namespace {

// What makes a line a cargo line, wherever it stands in the line.
const char *const CargoLineMark = "UCGO @@";
// A line is written once its value grows past this many characters.
const size_t CargoLineLength = 70;
const int ValueCapacity = 500;

// Decimal integer as the scenario block writes it: leading blanks and a
// sign allowed, digits up to the first other character, 0 without digits.
// Long digit runs saturate instead of overflowing.
long ReadInteger(const char *p) {
  while (std::isspace(static_cast<unsigned char>(*p))) {
    ++p;
  }
  const bool negative = *p == '-';
  if (*p == '+' || *p == '-') {
    ++p;
  }
  long value = 0;
  for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
    value = value <= 99999999 ? value * 10 + (*p - '0') : 1000000000;
  }
  return negative ? -value : value;
}

int WholeKilograms(double kg) {
  return (kg > -2.0e9 && kg < 2.0e9) ? static_cast<int>(kg) : 0;
}

void AppendText(char *buffer, size_t capacity, const char *text) {
  const size_t used = strnlen(buffer, capacity);
  if (used + 1 < capacity) {
    std::snprintf(buffer + used, capacity - used, "%s", text);
  }
}

void WriteCargoLine(FILEHANDLE scn, char *value) {
  char key[] = "UCGO";
  oapiWriteScenario_string(scn, key, value);
}

// A kept line goes back through the host's writer as it came: its first word
// as the key, the rest after the one blank that follows as the value.
void WriteKeptLine(FILEHANDLE scn, const char *line) {
  char key[CargoBay::KeptLineChars + 1];
  char value[CargoBay::KeptLineChars + 1] = "";
  const size_t keyLength = std::strcspn(line, " \t");
  std::snprintf(key, sizeof key, "%.*s", static_cast<int>(keyLength), line);
  if (line[keyLength] != '\0') {
    std::snprintf(value, sizeof value, "%s", line + keyLength + 1);
  }
  oapiWriteScenario_string(scn, key, value);
}

}  // namespace

void CargoBay::AppendItem(char *buffer, int capacity, const char *text) {
  char part[256];
  if (!text || text[0] == '\0') {
    std::snprintf(part, sizeof part, ",");
  } else {
    std::snprintf(part, sizeof part, "%s,", text);
  }
  AppendText(buffer, static_cast<size_t>(capacity), part);
}

void CargoBay::SaveState(FILEHANDLE scn) {
  if (!scn) {
    return;
  }
  if (!addonPresent || setupState != SetupReady) {
    WriteKeptLines(scn);
    return;
  }
  char value[ValueCapacity] = "";
  for (int slot = 0; slot < SlotCount; ++slot) {
    CargoSlot &s = slots[slot];
    if (!s.declared) {
      continue;
    }
    if (s.occupied == 0) {
      s.mass = 0;
    }
    char item[ValueCapacity];
    std::snprintf(item, sizeof item, "@@%i,%i,%i,%i,", slot, s.releasable, s.occupied, WholeKilograms(s.mass));
    if (s.occupied == 1) {
      AppendItem(item, sizeof item, s.cargoName);
    }
    AppendText(value, sizeof value, item);
    if (std::strlen(value) > CargoLineLength) {
      WriteCargoLine(scn, value);
      value[0] = '\0';
    }
  }
  if (value[0] != '\0') {
    WriteCargoLine(scn, value);
  }
}

int CargoBay::LoadStateLine(char *line) {
  if (!line) {
    return 0;
  }
  char *cursor = std::strstr(line, CargoLineMark);
  if (!cursor) {
    return 0;
  }
  if (!addonPresent || setupState != SetupReady) {
    KeepUnreadLine(line);
    return 0;
  }
  // A malformed item ends its line; the items before it stay loaded.
  while (LoadScenarioItem(cursor)) {
  }
  return 1;
}

void CargoBay::KeepUnreadLine(const char *line) {
  if (keptLineCount >= KeptLineCount || std::strlen(line) > static_cast<size_t>(KeptLineChars)) {
    return;  // beyond the bounds the line is left to the host, as it always was
  }
  std::snprintf(keptLines[keptLineCount], sizeof keptLines[keptLineCount], "%s", line);
  ++keptLineCount;
}

void CargoBay::WriteKeptLines(FILEHANDLE scn) {
  for (int i = 0; i < keptLineCount; ++i) {
    WriteKeptLine(scn, keptLines[i]);
  }
}

// Reads the item at or after cursor into its slot. 1 when the next item
// may follow, 0 when the line ends here (no more items, or a bad one).
int CargoBay::LoadScenarioItem(char *&cursor) {
  char *marker = std::strstr(cursor, "@@");
  if (!marker) {
    return 0;
  }
  const long slot = ReadInteger(marker + 2);
  if (!IsSlotIndex(static_cast<int>(slot))) {
    return 0;
  }
  CargoSlot &s = slots[slot];
  // A slot already holding cargo that this item leaves empty must lose its
  // mesh and its mass as well, not only its flag.
  const bool hadCargo = s.declared && s.occupied;
  auto leaveEmpty = [&]() {
    if (hadCargo) {
      EmptySlot(static_cast<int>(slot));
    } else {
      s.occupied = 0;
      RecountCargo();
    }
    return 0;
  };

  char *comma = std::strchr(marker + 2, ',');
  if (!comma) {
    return 0;
  }
  char *field = comma + 1;
  const long releasable = ReadInteger(field);
  s.releasable = static_cast<int>(releasable);
  if (releasable < 0 || releasable > 1) {
    return 0;
  }
  comma = std::strchr(field, ',');
  if (!comma) {
    return 0;
  }
  field = comma + 1;
  // Occupied and mass stay out of the slot until its cargo is loaded: a
  // slot that holds cargo keeps counting what it holds, not what a refused
  // item claims, until the item empties it.
  const long occupied = ReadInteger(field);
  if (occupied < 0 || occupied > 1) {
    return leaveEmpty();
  }
  if (occupied == 0) {
    leaveEmpty();
    cursor = field;
    return 1;
  }
  comma = std::strchr(field, ',');
  if (!comma) {
    return leaveEmpty();
  }
  field = comma + 1;
  const long mass = ReadInteger(field);
  if (mass < 0 || mass > 10000) {
    return leaveEmpty();
  }
  char *massEnd = std::strchr(field, ',');
  char *nameEnd = massEnd ? std::strchr(massEnd + 1, ',') : nullptr;
  if (!nameEnd) {
    return leaveEmpty();
  }
  *nameEnd = '\0';
  const char *typeName = massEnd + 1;
  // Every name that fits the slot is read back; loading itself refuses
  // the names it cannot open.
  if (std::strlen(typeName) >= sizeof s.cargoName) {
    return leaveEmpty();
  }
  char type[sizeof s.cargoName];
  std::snprintf(type, sizeof type, "%s", typeName);
  const double savedMass = static_cast<double>(mass);
  if (PutCargoInSlot(type, static_cast<int>(slot)) != 1) {
    // The item itself was whole: only its type cannot be loaded now (its
    // file or mesh is missing). The cargo after it on the line is sound and
    // would be lost for good with the next save, so reading goes on.
    leaveEmpty();
    cursor = nameEnd + 1;
    return 1;
  }
  if (savedMass != s.mass) {
    // Cargo partly consumed before the save keeps what was left of it.
    s.mass = savedMass;
    RecountCargo();
    ApplyEmptyMass();
  }
  cursor = nameEnd + 1;
  return 1;
}
