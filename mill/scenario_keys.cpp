// The mill's lines in the vessel's scenario block: written after the host's
// lines, the crew block and the cargo block; read back by offering every
// line to the cargo reader, the crew reader and the mill's own keys, and
// then always to the host's parser.
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "calvane.h"

namespace {

// Keys as written; a line matches over the key's own length, ignoring case.
const char OreTankLevelKey[] = "OreTankLevel";
const char AutospawnKey[] = "Autospawn";
const char SpawnTimeKey[] = "SpawnTime";
const char StatusKey[] = "Status";

// The text after the key when the line begins with it, else null.
const char *ValueAfterKey(const char *line, const char *key, size_t keyLength) {
  for (size_t i = 0; i < keyLength; ++i) {
    unsigned char a = static_cast<unsigned char>(line[i]), b = static_cast<unsigned char>(key[i]);
    if (a == 0 || std::tolower(a) != std::tolower(b)) return nullptr;
  }
  return line + keyLength;
}

// A tank level must be a finite number: a level that is not a number would
// compare as "enough rock" nowhere and produce ore from nothing elsewhere.
// It must also fit single precision, in which the level is saved: a larger
// one would be saved as infinite, which no scenario can hold. And the tank
// holds no less than nothing: below 0 it would draw every rock in reach at
// every step and never fill. (Above the capacity the step cuts the level.)
bool ReadTankLevel(const char *text, double &value) {
  char *end = nullptr;
  double read = std::strtod(text, &end);
  if (end == text || !std::isfinite(read) || read > FLT_MAX || read < 0) return false;
  value = read + 0.0;  // -0 is an empty tank, saved as 0
  return true;
}

// Reads an integer the way a 32-bit long reads it: blanks skipped, optional
// sign, base from the prefix (0x hexadecimal, 0 octal, else decimal), reading
// stops at the first character that cannot continue it, and values beyond the
// 32-bit range are held at its limits.
bool ReadLong32(const char *text, std::int32_t &value) {
  char *end = nullptr;
  long long read = std::strtoll(text, &end, 0);
  if (end == text) return false;
  if (read > INT32_MAX) read = INT32_MAX;
  if (read < INT32_MIN) read = INT32_MIN;
  value = static_cast<std::int32_t>(read);
  return true;
}

}  // namespace

void Calvane::clbkSaveState(FILEHANDLE scn) {
  VESSEL2::clbkSaveState(scn);
  crewRoster.SaveState(scn);
  cargoBay.SaveState(scn);

  char oreTankLevelKey[] = "OreTankLevel";
  char autospawnKey[] = "Autospawn";
  char spawnTimeKey[] = "SpawnTime";
  char statusKey[] = "Status";
  // A saved level never carries more precision than a single-precision value.
  oapiWriteScenario_float(scn, oreTankLevelKey, static_cast<double>(static_cast<float>(oreTankLevel)));
  oapiWriteScenario_int(scn, autospawnKey, autospawn);
  oapiWriteScenario_float(scn, spawnTimeKey, static_cast<double>(spawnTime));
  oapiWriteScenario_int(scn, statusKey, stage);
}

void Calvane::clbkLoadStateEx(FILEHANDLE scn, void *status) {
  char *line = nullptr;
  while (oapiReadScenario_nextline(scn, line)) {
    if (cargoBay.LoadStateLine(line) == 1) continue;
    if (crewRoster.LoadStateLine(line) == 1) continue;
    ReadMillKeys(line);
    // Also the mill's own keys: the host's STATUS line matches "Status".
    ParseScenarioLineEx(line, status);
  }
}

void Calvane::ReadMillKeys(const char *line) {
  if (const char *value = ValueAfterKey(line, OreTankLevelKey, sizeof OreTankLevelKey - 1)) {
    ReadTankLevel(value, oreTankLevel);
  } else if (const char *value = ValueAfterKey(line, SpawnTimeKey, sizeof SpawnTimeKey - 1)) {
    ReadLong32(value, spawnTime);
  }
  if (const char *value = ValueAfterKey(line, AutospawnKey, sizeof AutospawnKey - 1)) {
    std::int32_t flag = 0;
    // The flag keeps the low eight bits of what was read.
    if (ReadLong32(value, flag)) autospawn = static_cast<std::uint8_t>(flag & 0xFF);
  }
  if (const char *value = ValueAfterKey(line, StatusKey, sizeof StatusKey - 1)) {
    ReadLong32(value, stage);
  }
}
