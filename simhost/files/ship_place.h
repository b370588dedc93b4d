// Where a ship's block of a scenario puts it, read before the ship is made:
// whether simhost can place it in its world at all, or must hold it as read.
#pragma once

#include <string>

#include "files/scenario.h"

namespace simhost {

struct ShipPlace {
  bool landed = false, orbiting = false;  // from "STATUS Landed X" or "STATUS Orbiting X"
  std::string body;                       // X; empty without such a line
  std::string base;                       // "BASE name:pad", as written
  bool hasPos = false;
  std::string parent;  // of "ATTACHED c:p,PARENT"; empty without one
};

// The host's lines of the block that say where the ship is.
ShipPlace readShipPlace(const ScenarioBlock &block);

}  // namespace simhost
