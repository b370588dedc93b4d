// The walking crew in simhost: drives the stand-in crew module
// (Modules\UMmu.dll of the running tree, simhost/ummu/) through its bridge
// (plugin/crew_bridge.h) and reports what its crew does and sees as events
// of the Simulation:
//   eva       vessel, pos [x, y, z]       a crew member stepped outside
//   activate  vessel, id                  it activated that area of the vessel
//   activate  vessel, miss: true          nothing of the vessel was in reach
//   airlock   vessel, box [xMin, xMax, yMin, yMax, zMin, zMax], door, aux,
//             free_seats                  the vessel's airlock as published
// Each call acts on the Simulation that is alive; it returns false with a
// message in error when it cannot (no such vessel, no crew module in the
// tree, the module lacks an export, no crew member outside).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "simulation.h"

namespace simhost {

// A crew member outside vessel at (x, y, z) of its frame.
bool crewEva(Simulation &sim, const std::string &vessel, double x, double y, double z, std::string &error);
// The crew member outside vessel activates what is in reach. A miss is
// reported and is no failure.
bool crewActivate(Simulation &sim, const std::string &vessel, std::string &error);
// Reports vessel's airlock as published; false when it publishes none.
bool crewAirlock(Simulation &sim, const std::string &vessel, std::string &error);

// What the crew module knows of a vessel, for pictures of the run. Each is
// false when there is nothing to tell (no crew module in the tree, no such
// vessel, nothing published).
struct CrewActionArea {
  VECTOR3 centre{};  // the vessel's frame, m
  double radius = 0;
  int id = 0;
  bool enabled = false;
  std::string label;
};
// The vessel's areas in the crew module's shared table.
bool crewActionAreas(Simulation &sim, const std::string &vessel, std::vector<CrewActionArea> &areas);
// Where the crew member outside the vessel stands, in its frame.
bool crewOutside(Simulation &sim, const std::string &vessel, VECTOR3 &pos);
// The vessel's airlock as published: xMin, xMax, yMin, yMax, zMin, zMax of
// its frame, and the door (1 open).
bool crewAirlockBox(Simulation &sim, const std::string &vessel, double box[6], int &door);

// Injected faults of the crew module's shared action table, for reliability
// tests and scripts; reported as "fault" events ("crew-table-full",
// "crew-count" with count, "crew-table-restored"). The table lives for the
// process, so the faults outlast the run until crewTableRestore.
// Every free entry, and every entry a vessel that is gone left, taken by a
// filler area.
bool crewTableFull(Simulation &sim, std::string &error);
// The table's entry count set to count, whatever is in use.
bool crewTableCount(Simulation &sim, int count, std::string &error);
// The filler entries freed and the count recounted.
bool crewTableRestore(Simulation &sim, std::string &error);

// Reports the airlocks of a run as they are published: after loading and
// after every frame, reportChanges reports each vessel whose published
// airlock appeared or changed since its last call. One watch per run.
class CrewAirlockWatch {
public:
  CrewAirlockWatch();
  ~CrewAirlockWatch();
  void reportChanges(Simulation &sim);

private:
  struct Published;
  std::unique_ptr<Published> published_;
};

}  // namespace simhost
