// The crew module's shared table of action areas.
#include "ummu_exports.h"
#include "walking_crew.h"

namespace {

// Zero at start: no entries, no activation. Lives as long as the process,
// since the module is never unloaded.
ActionStructure actionTable;

}  // namespace

ActionStructure &crewActionTable() { return actionTable; }

DLLCLBK ActionStructure *GetActionStructureAdress() { return &actionTable; }

namespace {

// Filler entries belong to no vessel: their owner is the table itself, so
// no vessel finds them as its own and the fault can take them back.
const OBJHANDLE FillerOwner = &actionTable;

int32_t EntriesInUse() {
  int32_t used = 0;
  for (const ActionAreaEntry &entry : actionTable.entries) used += entry.inUse != 0;
  return used;
}

}  // namespace

DLLCLBK int UMmuFaultTable(int mode, int count) {
  switch (mode) {
    case 0:
      for (ActionAreaEntry &entry : actionTable.entries) {
        if (entry.inUse && entry.vessel == FillerOwner) entry = ActionAreaEntry{};
      }
      actionTable.entryCount = EntriesInUse();
      return 1;
    case 1: {
      int32_t id = 0;
      for (ActionAreaEntry &entry : actionTable.entries) {
        // The areas of vessels that are gone can be taken again: fill them too.
        if (entry.inUse && entry.vessel) continue;
        entry = ActionAreaEntry{};
        entry.inUse = 1;
        entry.vessel = FillerOwner;
        entry.radius = 1;
        entry.id = --id;
      }
      actionTable.entryCount = ACTION_AREA_ENTRIES;
      return 1;
    }
    case 2:
      actionTable.entryCount = count;
      return 1;
    default:
      return 0;
  }
}
