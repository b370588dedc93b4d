// The mill producing ore while the simulator fails it: the ore box's mesh
// cannot be loaded, its type file cannot be opened or vanishes, the box
// cannot be created as a vessel. Whatever fails, no rock is lost and no box
// appears from nothing: every 4000 kg taken from the tank is a box aboard
// or a box set down, and the mill weighs its own mass plus the box aboard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "mill_world.h"

namespace {

using millworld::MillWorld;

const double MillOwnMass = 2000.0;
const double StartingTank = 12000.0;
const char OreTypeFile[] = "Config\\Vessels\\UCGO\\Cargos\\KVT_Ore_Cargo.cfg";

struct Ledger {
  int produced = 0, aboard = 0, setDown = 0;
};

Ledger Count(MillWorld &w) {
  Ledger ledger;
  const millworld::MillFields fields = w.Fields();
  ledger.produced = static_cast<int>((StartingTank - std::strtod(fields.oreTankLevel.c_str(), nullptr)) / 4000.0);
  ledger.aboard = fields.cargo.find("KVT_Ore_Cargo") != std::string::npos ? 1 : 0;
  for (const nlohmann::json &e : w.EventsOf("created"))
    if (e.value("name", "").rfind("KVTOre", 0) == 0) ++ledger.setDown;
  return ledger;
}

void ExpectNothingLost(MillWorld &w, const char *when) {
  SCOPED_TRACE(when);
  const Ledger ledger = Count(w);
  EXPECT_EQ(ledger.produced, ledger.aboard + ledger.setDown);
  EXPECT_EQ(w.EmptyMass("Mill"), MillOwnMass + 4000.0 * ledger.aboard);
}

struct FaultCase {
  const char *name;
  std::function<void(simhost::Simulation &)> inject;
  int producedUnderFault;  // boxes made while the fault holds (one key 7, then the release)
  int setDownAfterClear;   // boxes set down once the faults are cleared and 7 is pressed again
};

TEST(MillUnderFaults, ProductionLosesNoRockAndMakesNoBoxFromNothing) {
  const FaultCase cases[] = {
      {"the ore box mesh cannot load", [](simhost::Simulation &s) { s.failMesh("UCGO\\KVT_OreBox"); }, 0, 1},
      {"the ore type file cannot be opened",
       [](simhost::Simulation &s) {
         std::string error;
         ASSERT_TRUE(s.blockFile(OreTypeFile, error)) << error;
       },
       0, 1},
      {"the ore type file vanishes",
       [](simhost::Simulation &s) {
         std::string error;
         ASSERT_TRUE(s.vanishFile(OreTypeFile, error)) << error;
       },
       0, 0},
      {"the ore box cannot be created as a vessel",
       // The box made under the fault waits aboard; the next 7 sets it down
       // to make room, and the new box follows ten seconds later.
       [](simhost::Simulation &s) { s.failVesselCreation("UCGO\\Cargos\\KVT_Ore_Cargo", -1); }, 1, 2},
  };
  for (const FaultCase &c : cases) {
    SCOPED_TRACE(c.name);
    millworld::TempTree dir;
    MillWorld w(millworld::CopyTree(dir));
    w.sim().setFrameLength(1.0);
    ASSERT_TRUE(w.Start({"OreTankLevel 12000"}));
    c.inject(w.sim());
    EXPECT_EQ(w.Key(OAPI_KEY_7), 1);
    w.Frames(12);
    EXPECT_FALSE(w.EventsOf("fault").empty()) << "the fault struck and was reported";
    EXPECT_EQ(Count(w).produced, c.producedUnderFault);
    ExpectNothingLost(w, "under the fault");

    w.sim().clearFaults();
    EXPECT_EQ(w.Key(OAPI_KEY_7), 1);
    w.Frames(12);
    EXPECT_EQ(Count(w).setDown, c.setDownAfterClear);
    ExpectNothingLost(w, "after the faults are cleared");
  }
}

}  // namespace
