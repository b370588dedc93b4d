// The crew lines of the vessel's scenario block: one "UMMUCREW" line per
// member aboard, its value the function code, name, age, pulse and weight
// joined by '-', with blanks written as '_' (e.g. Doc-Ann_Lee-42-65-70).
//
// Lines come from files anyone may edit, so every read is bounded: a value
// is cut at VALUE_CHARS characters and every field at its own width.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "airlock_record.h"
#include "crew_roster.h"

namespace {

const char CREW_KEY[] = "UMMUCREW";
const size_t CREW_KEY_CHARS = 8;
const size_t VALUE_CHARS = 399;
const size_t CODE_CHARS = 4;
const size_t NAME_CHARS = 25;
const size_t NUMBER_CHARS = 5;

bool StartsWithNoCase(const char *line, const char *key, size_t chars) {
  for (size_t i = 0; i < chars; ++i) {
    if (line[i] == '\0') return false;
    if (std::toupper(static_cast<unsigned char>(line[i])) != std::toupper(static_cast<unsigned char>(key[i])))
      return false;
  }
  return true;
}

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The first blank-separated word of text, cut at capacity - 1 characters.
void ReadFirstWord(const char *text, char *word, size_t capacity) {
  while (*text != '\0' && IsBlank(*text)) ++text;
  size_t n = 0;
  while (text[n] != '\0' && !IsBlank(text[n]) && n + 1 < capacity) {
    word[n] = text[n];
    ++n;
  }
  word[n] = '\0';
}

// Copies up to maxChars characters of text into field, stopping at a '-'.
void CopyFieldUntilDash(char *field, size_t fieldSize, const char *text, size_t maxChars) {
  if (maxChars >= fieldSize) maxChars = fieldSize - 1;
  size_t n = 0;
  while (n < maxChars && text[n] != '\0' && text[n] != '-') {
    field[n] = text[n];
    ++n;
  }
  field[n] = '\0';
}

// An optional sign and leading decimal digits; no digits gives 0.
int ParseDecimalInt(const char *text) {
  int sign = 1;
  if (*text == '+' || *text == '-') sign = (*text++ == '-') ? -1 : 1;
  int value = 0;
  while (std::isdigit(static_cast<unsigned char>(*text))) value = value * 10 + (*text++ - '0');
  return sign * value;
}

// The number after the next '-' at or past *cursor; false when none.
bool ReadNumberField(const char **cursor, int *number) {
  const char *dash = std::strchr(*cursor, '-');
  if (!dash) return false;
  char digits[NUMBER_CHARS + 1];
  CopyFieldUntilDash(digits, sizeof digits, dash + 1, NUMBER_CHARS);
  *number = ParseDecimalInt(digits);
  *cursor = dash + 1;
  return true;
}

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

void CrewRoster::SanitizeCrewName(char *text) {
  for (; *text != '\0'; ++text) {
    const unsigned char c = static_cast<unsigned char>(*text);
    const bool letterOrDigit = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!letterOrDigit) *text = ' ';
  }
}

void CrewRoster::ResetCrewForLoading() {
  // The crew in the scenario replaces the crew held since Init, and takes
  // its weight back off the vessel.
  if (crewMassOnVessel == 1) oapiSetEmptyMass(vesselHandle, oapiGetEmptyMass(vesselHandle) - crewMass);
  for (CrewMember &member : members) member.Clear();
  crewMass = 0.0;
  loadMarker = 0;
  memberCount = 0;
  if (AirlockRecord *airlock = OwnAirlock()) {
    airlock->SetFreeSeats(seatCount);
    airlock->SetAuxValue(0);
  }
}

// Reads a crew value into member; 1 when every field is present and in range.
int CrewRoster::ReadCrewValue(const char *value, CrewMember &member) const {
  if (value[0] != '-') CopyFieldUntilDash(member.functionCode, sizeof member.functionCode, value, CODE_CHARS);

  const char *firstDash = std::strchr(value, '-');
  if (!firstDash) return 0;
  char name[NAME_CHARS + 1];
  CopyFieldUntilDash(name, sizeof name, firstDash + 1, NAME_CHARS);
  for (char *c = name; *c != '\0'; ++c)
    if (*c == '_') *c = ' ';
  SanitizeCrewName(name);
  if (name[0] == '\0') return 0;
  std::snprintf(member.name, sizeof member.name, "%s", name);

  const char *cursor = firstDash + 1;
  int age = 0, pulse = 0, weight = 0;
  if (!ReadNumberField(&cursor, &age) || !InRange(age, 1, 140)) return 0;
  member.age = age;
  if (!ReadNumberField(&cursor, &pulse) || !InRange(pulse, 1, 180)) return 0;
  member.pulse = pulse;
  if (!ReadNumberField(&cursor, &weight) || !InRange(weight, 5, 300)) return 0;
  member.weight = weight;
  return 1;
}

void CrewRoster::AddLoadedMember(const CrewMember &member) {
  members[memberCount] = member;
  ++loadMarker;
  ++memberCount;
  if (AirlockRecord *airlock = OwnAirlock()) airlock->SetFreeSeats(seatCount - memberCount);
  if (crewMassOnVessel == 1) oapiSetEmptyMass(vesselHandle, oapiGetEmptyMass(vesselHandle) + member.weight);
  crewMass += member.weight;
}

void CrewRoster::KeepUnreadLine(const char *line) {
  // Beyond the bounds the line is left to the host, as it always was.
  if (keptLineCount >= CREW_KEPT_LINES || std::strlen(line) > static_cast<size_t>(CREW_KEPT_LINE_CHARS)) return;
  std::snprintf(keptLines[keptLineCount], sizeof keptLines[keptLineCount], "%s", line);
  ++keptLineCount;
}

// Each kept line goes back through the host's writer as it came: its first
// word as the key, the rest after the one blank that follows as the value.
int CrewRoster::WriteKeptLines(FILEHANDLE scn) const {
  for (int i = 0; i < keptLineCount; ++i) {
    const char *line = keptLines[i];
    char key[CREW_KEPT_LINE_CHARS + 1];
    char value[CREW_KEPT_LINE_CHARS + 1] = "";
    const size_t keyLength = std::strcspn(line, " \t");
    std::snprintf(key, sizeof key, "%.*s", static_cast<int>(keyLength), line);
    if (line[keyLength] != '\0') std::snprintf(value, sizeof value, "%s", line + keyLength + 1);
    oapiWriteScenario_string(scn, key, value);
  }
  return keptLineCount > 0 ? 1 : 0;
}

int CrewRoster::LoadStateLine(char *line) {
  if (!line) return 0;
  if (setupFlags != CREW_SETUP_READY) {
    if (StartsWithNoCase(line, CREW_KEY, CREW_KEY_CHARS)) KeepUnreadLine(line);
    return 0;
  }
  if (loadMarker == -1) ResetCrewForLoading();
  if (memberCount >= seatCount || memberCount >= CREW_MEMBER_SLOTS) return 0;
  if (!StartsWithNoCase(line, CREW_KEY, CREW_KEY_CHARS)) return 0;

  char value[VALUE_CHARS + 1];
  ReadFirstWord(line + CREW_KEY_CHARS, value, sizeof value);
  CrewMember member;
  member.Clear();
  if (ReadCrewValue(value, member) != 1) {
    members[memberCount].Clear();
    return 0;
  }
  AddLoadedMember(member);
  return 1;
}

int CrewRoster::SaveState(FILEHANDLE scn) {
  if (!scn) return 0;
  if (setupFlags != CREW_SETUP_READY) return WriteKeptLines(scn);
  if (memberCount <= 0) return 0;
  char key[] = "UMMUCREW";
  for (int slot = 0; slot < memberCount; ++slot) {
    const CrewMember &member = members[slot];
    char value[VALUE_CHARS + 1];
    std::snprintf(value, sizeof value, "%s-%s-%i-%i-%i", member.functionCode, member.name, member.age,
                  member.pulse, static_cast<int>(member.weight));
    for (char *c = value; *c != '\0'; ++c)
      if (*c == ' ') *c = '_';
    oapiWriteScenario_string(scn, key, value);
  }
  return 1;
}
