#include "cargo_world.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz_support {

const FuzzTree &CargoWorld::Tree() {
  return processTree("cargo", {{"Config/Vessels/Carrier.cfg",
                                "ClassName = Carrier\nSize = 5\nMass = 2000\nMeshName = UCGO\\KVT_OreBox\n"
                                "TouchdownPoints = 0 -0.5 3  -3 -0.5 -3  3 -0.5 -3\n"},
                               {"Scenarios/Carrier.scn", scenarioHead("Carrier") +
                                                             "Carrier:Carrier\n  STATUS Landed Moon\n  POS 10.0 5.0\n"
                                                             "  HEADING 30.0\nEND\nEND_SHIPS\n"}});
}

CargoWorld::CargoWorld() {
  sim = loadScenario(Tree(), "Scenarios/Carrier.scn");
  char name[] = "Carrier";
  carrier = sim ? oapiGetVesselByName(name) : nullptr;
  if (!carrier) {
    std::fprintf(stderr, "kvt fuzz: the carrier world does not load\n");
    std::abort();
  }
  bay = std::make_unique<CargoBay>();
}

void CargoWorld::SetUpBay(int slotCount) {
  bay->Init(carrier);
  for (int slot = 0; slot < slotCount; ++slot) bay->DeclareCargoSlot(slot, _V(-7, 0, 2.0 * slot), _V(0, 0, 0));
}

}  // namespace fuzz_support
