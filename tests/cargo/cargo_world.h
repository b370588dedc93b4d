// A small world for the cargo tests: a simulator tree in a temporary folder
// with the cargo add-on's marker, a box mesh, a passive carrier vessel class
// and the cargo type files each test writes, run by simhost. A CargoBay in
// the test process is set up on the carrier as the vessel would set it up.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cargo_bay.h"
#include "simulation.h"
#include "temp_tree.h"

namespace cargo_test {

using kvt_test::TempTree;

// The text of a cargo type file. Every entry loading needs is there unless
// a test takes it out.
struct CargoType {
  std::string description = "Test Box";
  std::string mass = "1000";
  std::string mesh = "UCGO\\TestBox";
  std::string forceName;  // no ucForceName line when empty
  bool attachment = true;
  std::string extraLines;  // appended as they stand
  std::string text() const;
};

// Positions in the carrier's frame: x to its right, z forward, metres.
struct Spot {
  double x = 0, z = 0;
};

class CargoWorld {
public:
  explicit CargoWorld(bool addonInstalled = true);
  ~CargoWorld();

  // Writes config\vessels\UCGO\Cargos\<type>.cfg.
  void addCargoType(const std::string &type, const CargoType &cargo = {}) const;
  // Loads a scenario: the carrier "Carrier" landed (heading 30 degrees) or
  // in free flight 5 km up, then the extra ship blocks. Fails the test when
  // the scenario is refused.
  void start(bool carrierFlying = false, const std::string &extraShips = "");
  // Loads a scenario file of the tree into a fresh simulation run.
  void load(const std::string &scenario);
  // Saves the run as a scenario file of the tree and returns its text.
  std::string save(const std::string &scenario);
  // Makes the module vessel class CargoCarrier available in the tree: a bare
  // vessel whose scenario block goes through its CargoBay (five slots, at
  // (-7, 0, 2k)), like the ore mill's.
  void addCarrierModule() const;
  // The bay of a CargoCarrier vessel of the running world.
  CargoBay *carrierBay(const std::string &name) const;
  // A free cargo vessel of the type, landed at a spot of the carrier.
  void placeCargo(const std::string &name, const std::string &type, Spot at);

  OBJHANDLE carrier() const;
  VESSEL *carrierVessel() const { return oapiGetVesselInterface(carrier()); }
  // Null when no vessel has the name.
  OBJHANDLE vessel(const std::string &name) const;
  // A point of vessel name's frame in the carrier's frame.
  VECTOR3 inCarrierFrame(const std::string &name, const VECTOR3 &local = _V(0, 0, 0)) const;
  double emptyMass(const std::string &name) const;

  // Init and one slot 0 at (-7, 0, 0), as the ore mill sets its bay up;
  // more slots at (-7, 0, 2k) when asked.
  void setUpBay(CargoBay &bay, int slotCount = 1) const;

  // Events of a kind since the world started (or since clearEvents),
  // optionally only those whose "name" and "action" match.
  std::vector<nlohmann::json> eventsOf(const std::string &kind, const std::string &name = "",
                                       const std::string &action = "") const;
  void clearEvents() { events.clear(); }

  TempTree tree{"kvt_cargo"};
  std::unique_ptr<simhost::Simulation> sim;
  std::vector<nlohmann::json> events;
};

}  // namespace cargo_test
