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
