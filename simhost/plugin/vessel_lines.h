// A vessel's record read from and written to the host's own lines of its
// block: what files/scenario.h reads as plain data is put into the record
// (or the status record a block is loading into), and a block is written
// from what the record says now.
#pragma once

#include <string_view>

#include "files/scenario.h"
#include "world/world_at_time.h"

namespace simhost {

// The host's own lines of a vessel (the default clbkSaveState).
void writeHostLines(WorldAtTime &rt, VesselRecord &v, ScenarioWriter &w);
// The host's parser of a vessel line into a VESSELSTATUS2; false when the
// line is not one of the host's. Faults go to the vessel's block.
bool parseHostLine(WorldAtTime &rt, VesselRecord &v, std::string_view line, VESSELSTATUS2 &vs);

// simhost's own lines of a passive vessel: its empty mass where it differs
// from its class's.
void writeOwnLines(const VesselRecord &v, ScenarioWriter &w);
// True when the line is simhost's own and was read into the vessel; a
// malformed value is a fault of the vessel's block.
bool parseOwnLine(VesselRecord &v, std::string_view line);

}  // namespace simhost
