// The cargo targets' world: the built simulator tree (the cargo add-on's
// marker, its cargo types and meshes) with a passive carrier vessel landed
// on the Moon, and a CargoBay set up on it as the ore mill sets up its own:
// Init, then the slots declared, each 2 m behind the one before.
#pragma once

#include <memory>

#include "cargo_bay.h"
#include "fuzz_tree.h"

namespace fuzz_support {

struct CargoWorld {
  static const FuzzTree &Tree();
  // A fresh run with the carrier; aborts when the fixed scenario is refused.
  CargoWorld();
  void SetUpBay(int slotCount);

  std::unique_ptr<simhost::Simulation> sim;
  OBJHANDLE carrier = nullptr;
  std::unique_ptr<CargoBay> bay;
};

}  // namespace fuzz_support
