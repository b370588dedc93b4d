// Action areas in the crew module's shared table, and the binding to it.
//
// The table is shared with every other module of the process, so its
// entryCount is not trusted: searches never run past the table's entries
// whatever the count says.
#include <climits>
#include <cstring>

#include "crew_roster.h"

namespace {

const char CREW_MODULE_PATH[] = "Modules\\Ummu.dll";
const char ACTION_TABLE_EXPORT[] = "GetActionStructureAdress";
const float FIRST_SUPPORTED_VERSION = 2.0f;
const double SMALLEST_AREA_RADIUS = 1.0;

// Entries 0 to entryCount - 1, kept inside the table.
int UsedEntrySpan(const ActionStructure &table) {
  if (table.entryCount <= 0) return 0;
  return table.entryCount < ACTION_AREA_ENTRIES ? table.entryCount : ACTION_AREA_ENTRIES;
}

// Zero-fills field and copies at most maxChars characters of text into it.
void CopyZeroFilled(char *field, size_t fieldSize, const char *text, size_t maxChars) {
  std::memset(field, 0, fieldSize);
  if (!text) return;
  if (maxChars >= fieldSize) maxChars = fieldSize - 1;
  size_t n = 0;
  while (n < maxChars && text[n] != '\0') ++n;
  std::memcpy(field, text, n);
}

bool IsFree(const ActionAreaEntry &entry) { return entry.inUse == 0; }

// An entry in use that names no vessel: the area of a vessel that is gone.
bool IsLeftByAGoneVessel(const ActionAreaEntry &entry) { return entry.inUse == 1 && entry.vessel == nullptr; }

ActionAreaEntry *FirstEntryWhere(ActionStructure &table, bool (*matches)(const ActionAreaEntry &)) {
  for (ActionAreaEntry &entry : table.entries)
    if (matches(entry)) return &entry;
  return nullptr;
}

void FillEntry(ActionAreaEntry &entry, OBJHANDLE vessel, int id, const VECTOR3 &position, double radius,
               int enabled, const char *soundFile, size_t soundChars, const char *label, size_t labelChars) {
  CopyZeroFilled(entry.soundFile, sizeof entry.soundFile, soundFile, soundChars);
  CopyZeroFilled(entry.label, sizeof entry.label, label, labelChars);
  entry.inUse = 1;
  entry.vessel = vessel;
  entry.position = position;
  entry.radius = radius;
  entry.id = id;
  entry.enabled = enabled;
}

}  // namespace

bool CrewRoster::BindActionTable() {
  if (actionTable) return true;
  HMODULE module = LoadLibraryA(CREW_MODULE_PATH);
  if (!module) return false;
  FARPROC address = GetProcAddress(module, ACTION_TABLE_EXPORT);
  if (!address) return false;
  // The export's real type differs from the generic one GetProcAddress gives.
  auto getTable = reinterpret_cast<GetActionStructureAdressFunc>(reinterpret_cast<void (*)()>(address));
  actionTable = getTable();
  return actionTable != nullptr;
}

ActionAreaEntry *CrewRoster::FindOwnArea(int id, int searchCount) const {
  for (int i = 0; i < searchCount; ++i) {
    ActionAreaEntry &entry = actionTable->entries[i];
    if (entry.inUse == 1 && entry.vessel == vesselHandle && entry.id == id) return &entry;
  }
  return nullptr;
}

int CrewRoster::DeclareActionArea(int id, const VECTOR3 &position, double radius, int enabled,
                                  const char *soundFile, const char *label) {
  if (setupFlags != CREW_SETUP_READY) return 0;
  if (!(radius >= SMALLEST_AREA_RADIUS)) return 0;
  if (declaredAreaCount >= CREW_MAX_DECLARED_AREAS) return 0;
  if (ReadCrewModuleVersion() < FIRST_SUPPORTED_VERSION) return 0;
  if (!BindActionTable()) return 0;

  // Declaring an id again rewrites the vessel's entry for it.
  if (ActionAreaEntry *entry = FindOwnArea(id, ACTION_AREA_ENTRIES)) {
    FillEntry(*entry, vesselHandle, id, position, radius, enabled, soundFile, 99, label, 51);
    return 1;
  }
  if (ActionAreaEntry *entry = FirstEntryWhere(*actionTable, IsFree)) {
    FillEntry(*entry, vesselHandle, id, position, radius, enabled, soundFile, 98, label, 50);
    ++declaredAreaCount;
    if (actionTable->entryCount < INT32_MAX) ++actionTable->entryCount;
    return 1;
  }
  // A long session of vessels made and destroyed fills the table with the
  // areas of vessels that are gone; with no free entry left, the first of
  // those is taken. It is counted in entryCount already.
  if (ActionAreaEntry *entry = FirstEntryWhere(*actionTable, IsLeftByAGoneVessel)) {
    FillEntry(*entry, vesselHandle, id, position, radius, enabled, soundFile, 98, label, 50);
    ++declaredAreaCount;
    return 1;
  }
  return 0;
}

int CrewRoster::SetActionAreaEnabled(int id, int enabled) {
  if (!actionTable) return 0;
  ActionAreaEntry *entry = FindOwnArea(id, UsedEntrySpan(*actionTable));
  if (!entry) return 0;
  entry->enabled = enabled;
  return 1;
}

int CrewRoster::SetActionAreaText(int id, const char *label) {
  if (!actionTable) return 0;
  ActionAreaEntry *entry = FindOwnArea(id, UsedEntrySpan(*actionTable));
  if (!entry) return 0;
  CopyZeroFilled(entry->label, sizeof entry->label, label, 50);
  return 1;
}

int CrewRoster::PollActionArea() {
  if (!actionTable) return -1;
  if (actionTable->activatedVessel != vesselHandle) return -1;
  const int id = actionTable->activatedId;
  actionTable->activatedVessel = nullptr;
  actionTable->activatedId = 0;
  return id;
}

void CrewRoster::RetireActionAreas() {
  // The entries stay in use (the table's count never shrinks, and other
  // modules read entries 0 to entryCount - 1), but they name no vessel any
  // more: a vessel that is gone offers no area and receives no pending
  // activation, and a later vessel given the same handle inherits neither.
  if (!actionTable || !vesselHandle) return;
  for (ActionAreaEntry &entry : actionTable->entries) {
    if (entry.inUse != 1 || entry.vessel != vesselHandle) continue;
    entry.enabled = 0;
    entry.vessel = nullptr;
  }
  if (actionTable->activatedVessel == vesselHandle) {
    actionTable->activatedVessel = nullptr;
    actionTable->activatedId = 0;
  }
}
