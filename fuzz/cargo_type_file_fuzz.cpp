// Fuzz target: a cargo type file (config\vessels\UCGO\Cargos\Fuzz.cfg, the
// input) loaded into the slots of a ready bay with PutCargoInSlot and
// AddCargoByName, then released again, which makes a vessel of that class
// through the host's class reader.
#include <cstddef>
#include <cstdint>

#include "cargo_invariants.h"
#include "cargo_world.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz_support::CargoWorld::Tree().write("Config/Vessels/UCGO/Cargos/Fuzz.cfg", data, size);
  fuzz_support::CargoWorld world;
  world.SetUpBay(2);
  world.bay->PutCargoInSlot("Fuzz", 0);
  world.bay->AddCargoByName("Fuzz", 1);
  fuzz_support::CheckBayBookkeeping(*world.bay);
  world.bay->ReleaseCargo(0);
  fuzz_support::CheckBayBookkeeping(*world.bay);
  return 0;
}
