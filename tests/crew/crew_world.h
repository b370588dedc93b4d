// A small world for the crew tests: a simulator tree in a temporary folder
// with the stand-in crew module (linked from the built tree), the crew
// add-on's version file, a passive vessel class "Hut" and the crew probe
// vessel class, run by simhost. Rosters in the test process are set up on
// huts the way the ore mill sets its roster up.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ActionStructure.h"
#include "crew_module.h"
#include "crew_roster.h"
#include "probe/crew_probe_api.h"
#include "simulation.h"
#include "temp_tree.h"

namespace crew_test {

struct TreeOptions {
  bool crewModule = true;          // Modules/UMmu.dll present
  bool brokenCrewModule = false;   // ... but a file that does not load
  bool versionFile = true;         // Meshes/UMmu/ver.dtf present
  std::string version = "2.0\n";   // its text
};

using kvt_test::TempTree;

// What a vessel publishes as its airlock: the attachment points with the id
// "UMmu" and the numbers of the first.
struct PublishedAirlock {
  int points = 0;
  double box[6] = {};
  int door = 0, aux = 0, freeSeats = 0;
};

class CrewWorld {
public:
  explicit CrewWorld(const TreeOptions &options = {});
  ~CrewWorld();

  // Loads a scenario with the hut "Base" landed on the Moon and the extra
  // ship blocks; fails the test when it is refused.
  void start(const std::string &extraShips = "");
  // A new vessel landed at (x, z) of Base's frame.
  OBJHANDLE place(const std::string &name, const std::string &className, double x = 0, double z = 0);
  bool remove(const std::string &name);
  OBJHANDLE vessel(const std::string &name) const;
  double emptyMass(OBJHANDLE vessel) const { return oapiGetEmptyMass(vessel); }

  // The crew module's table, as any module of the process binds it.
  ActionStructure *actionTable() const;
  // The crew probe's state; fails the test when the vessel is no probe.
  CrewProbeState probeState(OBJHANDLE vessel) const;

  std::vector<nlohmann::json> eventsOf(const std::string &kind) const;

  TempTree tree{"kvt_crew"};
  std::unique_ptr<simhost::Simulation> sim;
  std::vector<nlohmann::json> events;
};

// The airlock points of a vessel as the host holds them.
PublishedAirlock readPublishedAirlock(OBJHANDLE vessel);

// What the roster writes when the host saves its vessel's block: the lines
// as the host's scenario writer puts them, and SaveState's result.
std::string savedBy(CrewRoster &roster, int *result = nullptr);

// Init and the rest of the ore mill's crew set-up, without the action area:
// DefineAirlock(0, -3, 3, 0, 4, -7, 7), SetMaxSeats(seats).
void setUpLikeMill(CrewRoster &roster, OBJHANDLE vessel, int seats = 1);

// Runs the calling test again in a process of its own (the crew component
// keeps process-wide state) and checks that it passes there. Returns true
// inside that process, where the test body runs; false in the calling one,
// which should return at once.
bool InFreshProcess();

}  // namespace crew_test
