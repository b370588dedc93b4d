// The world the property tests run their random operation sequences in: a
// simulator tree in a temporary folder with the cargo add-on's marker, two
// cargo types, the stand-in crew module and the property ship module, run by
// simhost. Two property ships live in it: "Lander", landed, and "Flyer", in
// free flight 5 km up. The world keeps the ledger the invariants are checked
// against: each ship's own mass and crew weights, and the cargo mass that
// came into the world and was consumed since the last load.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cargo_bay.h"
#include "crew_roster.h"
#include "simulation.h"
#include "temp_tree.h"

namespace property_test {

// A cargo type of the tree: its type name, the description it is consumed
// by and its mass.
struct CargoKind {
  const char *type;
  const char *description;
  double mass;
};
extern const CargoKind CargoKinds[2];
extern const char *const ShipNames[2];

using kvt_test::TempTree;

// What the ledger expects of one ship.
struct ShipLedger {
  double ownMass = 0;
  std::vector<int> crewWeights;
};

// Totals of the cargo in the world, counted afresh from the slots and the
// vessel table.
struct CargoCensus {
  int aboard = 0;  // occupied slots of both ships
  double aboardMass = 0;
  int free = 0;  // free cargo vessels
  double freeMass = 0;
};

class PropertyWorld {
public:
  PropertyWorld();
  ~PropertyWorld();

  // Loads the starting scenario: both ships empty, no crew, no free cargo.
  bool start(std::string &error);
  // Loads a scenario text into a fresh run and takes the ledger over from
  // it: crew weights from its crew lines, own masses as the class sets them,
  // the cargo mass in the world as the new baseline.
  bool loadText(const std::string &scenario, std::string &error);
  std::string saveText(std::string &error);

  OBJHANDLE ship(int index) const;
  CargoBay *bay(int index) const;
  CrewRoster *roster(int index) const;
  CargoCensus census() const;

  // Empty string when every invariant holds, else what broke.
  std::string checkInvariants() const;

  // The "fault" events of the run, when recordFaults was set before loading.
  std::vector<nlohmann::json> faults;
  bool recordFaults = false;
  // Called with each new run before it loads, to inject faults into it.
  std::function<void(simhost::Simulation &)> beforeLoad;

  TempTree tree{"kvt_property"};
  std::unique_ptr<simhost::Simulation> sim;
  ShipLedger ledger[2];
  double baselineMass = 0;  // cargo mass in the world at the last load
  double loadedMass = 0;    // added from cargo files since
  double consumedMass = 0;  // taken out by consumption since
};

// The UMMUCREW weights in a ship's block of a scenario text, in order.
std::vector<int> CrewWeightsInBlock(const std::string &scenario, const std::string &ship);
// Inserts a line into a ship's block after its line number `after` (0: at
// the top of the block; past the end: before END).
std::string InsertIntoBlock(const std::string &scenario, const std::string &ship, size_t after,
                            const std::string &line);
// Removes the n-th UMMUCREW line of a ship's block.
std::string RemoveCrewLine(const std::string &scenario, const std::string &ship, size_t n);

}  // namespace property_test
