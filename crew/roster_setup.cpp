// The roster's life: construction, Init, seats, the crew module version and
// the process-wide count of initialised rosters.
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "airlock_record.h"
#include "crew_roster.h"
#include "host_extras.h"

namespace {

const char CREW_VERSION_FILE[] = "meshes\\UMmu\\ver.dtf";
const int VERSION_LINE_CHARS = 13;
const float FIRST_SUPPORTED_VERSION = 2.0f;
const double ADVISORY_SECONDS = 20.0;
const int DEFAULT_SEATS = 8;
const int LAST_INSTANCE_INDEX = AIRLOCK_RECORD_COUNT - 1;

int32_t rosterInstanceCount = 0;
float crewModuleVersion = 0.0f;

// Length of the decimal number at the start of text (after blanks): sign,
// digits, fraction, exponent. Hexadecimal, "inf" and "nan" are no versions.
size_t DecimalNumberLength(const char *text) {
  size_t i = 0;
  while (text[i] == ' ' || text[i] == '\t') ++i;
  if (text[i] == '+' || text[i] == '-') ++i;
  size_t digits = 0;
  while (std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  if (text[i] == '.') {
    ++i;
    while (std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (text[i] == 'e' || text[i] == 'E') {
    size_t e = i + 1;
    if (text[e] == '+' || text[e] == '-') ++e;
    if (std::isdigit(static_cast<unsigned char>(text[e]))) {
      while (std::isdigit(static_cast<unsigned char>(text[e]))) ++e;
      i = e;
    }
  }
  return i;
}

float ParseVersion(const char *line) {
  char number[VERSION_LINE_CHARS + 1] = {};
  const size_t length = DecimalNumberLength(line);
  if (length == 0) return 0.0f;
  std::memcpy(number, line, length < VERSION_LINE_CHARS ? length : VERSION_LINE_CHARS);
  return std::strtof(number, nullptr);
}

}  // namespace

void CrewMember::Clear() { std::memset(this, 0, sizeof *this); }

CrewRoster::CrewRoster()
    : setupFlags(0), memberCount(0), seatCount(0), crewMass(0.0), loadMarker(-1), crewMassOnVessel(1),
      doorState(0), evaPosition(_V(0, 0, 0)), evaRotation(_V(0, 0, 0)), vesselHandle(nullptr),
      airlockIndex(-1), actionTable(nullptr), declaredAreaCount(0), advisoryDeadline(0.0), moduleOutdated(0),
      keptLineCount(0) {
  for (CrewMember &member : members) member.Clear();
}

CrewRoster::~CrewRoster() {
  ReleaseAirlockRecord(airlockIndex, this);
  RetireActionAreas();
}

int CrewRoster::Init(OBJHANDLE vessel) {
  if (!vessel) return CREW_INIT_NO_VESSEL;
  keptLineCount = 0;

  // A roster initialised again starts over with a record of its own.
  ReleaseAirlockRecord(airlockIndex, this);
  airlockIndex = ClaimAirlockRecord(this, rosterInstanceCount);
  const int result = airlockIndex < 0 ? CREW_INIT_NO_AIRLOCK_RECORD : OwnAirlock()->Reset(vessel);
  moduleOutdated = 0;
  if (result != CREW_INIT_OK) {
    advisoryDeadline = oapiGetSysTime() + ADVISORY_SECONDS;
    return result;
  }

  advisoryDeadline = 0.0;
  actionTable = nullptr;
  declaredAreaCount = 0;
  if (ReadCrewModuleVersion() < FIRST_SUPPORTED_VERSION) {
    moduleOutdated = 1;
    advisoryDeadline = oapiGetSysTime() + ADVISORY_SECONDS;
  }

  for (CrewMember &member : members) member.Clear();
  setupFlags = 0;
  memberCount = 0;
  seatCount = DEFAULT_SEATS;
  crewMass = 0.0;
  loadMarker = -1;
  crewMassOnVessel = 1;
  doorState = 1;
  evaPosition = _V(0, 0, 3);
  evaRotation = _V(0, 0, 0);
  vesselHandle = vessel;
  setupFlags |= CREW_SETUP_INIT;

  if (rosterInstanceCount < LAST_INSTANCE_INDEX) ++rosterInstanceCount;
  return CREW_INIT_OK;
}

int CrewRoster::SetMaxSeats(int seats) {
  if (setupFlags != CREW_SETUP_READY) return 0;
  if (memberCount > seatCount) return 0;
  if (seats < 1 || seats > CREW_MAX_SEATS) return 0;
  seatCount = seats;
  // Fewer seats than members aboard are accepted; the free seats then
  // publish as a negative number.
  if (AirlockRecord *airlock = OwnAirlock()) {
    airlock->SetFreeSeats(seats - memberCount);
    airlock->SetAuxValue(0);
  }
  return 1;
}

float CrewRoster::ReadCrewModuleVersion() {
  if (crewModuleVersion != 0.0f) return crewModuleVersion;
  const float version = ReadCrewModuleVersionFile();
  // A file that cannot be opened is tried again by the next roster.
  if (version != -1.0f) crewModuleVersion = version;
  return version;
}

float CrewRoster::ReadCrewModuleVersionFile() {
  FILE *file = hostOpenFile(CREW_VERSION_FILE, "rt");
  if (!file) return -1.0f;
  char line[VERSION_LINE_CHARS + 1] = {};
  if (!std::fgets(line, sizeof line, file)) line[0] = '\0';
  std::fclose(file);
  return ParseVersion(line);
}

AirlockRecord *CrewRoster::OwnAirlock() const { return OwnedAirlockRecord(airlockIndex, this); }

int CrewRoster::AirlockIndex() const { return OwnAirlock() ? airlockIndex : -1; }

const CrewMember *CrewRoster::Member(int slot) const {
  if (slot < 0 || slot >= memberCount) return nullptr;
  return &members[slot];
}

int CrewRoster::InstanceCount() { return rosterInstanceCount; }

float CrewRoster::CachedCrewModuleVersion() { return crewModuleVersion; }
