// Consuming cargo by description and mass: free cargo vessels within reach
// first, nearest first, in whole or in part; cargo aboard when none is near.
#include <gtest/gtest.h>

#include <string>

#include "cargo_world.h"

using cargo_test::CargoType;
using cargo_test::CargoWorld;
using cargo_test::Spot;

namespace {

CargoType Described(const std::string &description, const std::string &mass) {
  CargoType t;
  t.description = description;
  t.mass = mass;
  return t;
}

const char *const BoxBDescription = "KVT Mill Construction BoxB";
const char *const RockDescription = "Mined Rock (Lunar)";

TEST(CargoConsumption, OneFreeBoxWholeOrInPart) {
  struct Case {
    const char *name;
    std::string mass;
    Spot at;
    double wish;
    double result;
    bool boxLeft;
    double massLeft;
    const char *text = "BoxB";  // asked for; its first 21 characters are compared, in any case
  };
  const Case cases[] = {
      {"box within reach", "1000", {8, 0}, 1000, 1000, false, 0},
      {"box out of reach", "1000", {0, 11}, 1000, -1, true, 1000},
      {"heavier box", "1200", {-6, 5}, 1000, 1000, true, 200},
      {"lighter box, within 45 kg", "980", {5, 5}, 1000, 980, false, 0},
      {"wish of 45 kg", "1000", {5, 0}, 45, -1, true, 1000},
      {"wish of 46 kg", "1000", {5, 0}, 46, 46, true, 954},
      {"text cut to 21 characters", "1000", {8, 0}, 1000, 1000, false, 0, "kvt mill construction, anything"},
      {"21 characters that differ", "1000", {8, 0}, 1000, -1, true, 1000, "kvt mill constructioX"},
  };
  for (const Case &c : cases) {
    CargoWorld w;
    w.addCargoType("BoxB", Described(BoxBDescription, c.mass));
    w.start();
    w.placeCargo("Kit", "BoxB", c.at);
    CargoBay bay;
    w.setUpBay(bay);
    bay.SetGrappleDistance(10);
    EXPECT_EQ(bay.ConsumeCargo(c.text, c.wish), c.result) << c.name;
    ASSERT_EQ(w.vessel("Kit") != nullptr, c.boxLeft) << c.name;
    if (c.boxLeft) {
      EXPECT_EQ(w.emptyMass("Kit"), c.massLeft) << c.name;
    } else {
      EXPECT_EQ(w.eventsOf("deleted", "Kit").size(), 1u) << c.name;
    }
    // Free cargo is not the bay's: its totals and the carrier stay.
    EXPECT_EQ(bay.cargoMassTotal, 0) << c.name;
    EXPECT_EQ(w.emptyMass("Carrier"), 2000) << c.name;
  }
}

TEST(CargoConsumption, NearestFirstThenTheNextUntilWithin45Kg) {
  CargoWorld w;
  w.addCargoType("Rock", Described(RockDescription, "1200"));
  w.addCargoType("Box", Described("Construction BoxC", "1000"));
  w.start();
  w.placeCargo("Far", "Rock", {0, 8});
  w.placeCargo("Near", "Rock", {0, 5});
  w.placeCargo("Box1", "Box", {3, 3});
  w.placeCargo("Box2", "Box", {-3, 3});
  w.placeCargo("Box3", "Box", {-3, -3});
  CargoBay bay;
  w.setUpBay(bay);
  bay.SetGrappleDistance(10);
  EXPECT_EQ(bay.ConsumeCargo("rock", 2000), 2000);
  EXPECT_EQ(w.vessel("Near"), nullptr);
  ASSERT_NE(w.vessel("Far"), nullptr);
  EXPECT_EQ(w.emptyMass("Far"), 400);
  // 2040 wanted: two boxes give 2000, within 45 kg, so the third stays.
  EXPECT_EQ(bay.ConsumeCargo("boxc", 2040), 2000);
  int boxesLeft = 0;
  for (const char *name : {"Box1", "Box2", "Box3"}) boxesLeft += w.vessel(name) ? 1 : 0;
  EXPECT_EQ(boxesLeft, 1);
  // Nothing else matches.
  EXPECT_EQ(bay.ConsumeCargo("BoxD", 1000), -1);
  EXPECT_EQ(bay.ConsumeCargo(nullptr, 1000), -1);
}

TEST(CargoConsumption, CarriedHeldOrForeignCargoIsPassedOver) {
  struct Case {
    const char *name;
    int afcMode;     // -1: leave as is
    bool attached;   // hung on a truck standing within reach
    bool cargoId;    // its parent point has the cargo id
    double result;
  };
  const Case cases[] = {
      {"free", -1, false, true, 1000},
      {"control mode 0x18", 0x18, false, true, -1},
      {"control mode 0x1f", 0x1f, false, true, -1},
      {"control mode 0x10", 0x10, false, true, 1000},
      {"control mode 0x08", 0x08, false, true, 1000},
      {"attached", -1, true, true, -1},
      {"other attachment id", -1, false, false, -1},
  };
  for (const Case &c : cases) {
    CargoWorld w;
    CargoType box = Described(BoxBDescription, "1000");
    if (!c.cargoId) {
      box.attachment = false;
      box.extraLines = "BEGIN_ATTACHMENT\nP 0 -0.65 0  0 -1 0  0 0 1  UCGOCX\nEND_ATTACHMENT\n";
    }
    w.addCargoType("BoxB", box);
    w.tree.write("Config/Vessels/Truck.cfg",
                 "Size = 3\nMass = 5000\nMeshName = UCGO\\TestBox\n"
                 "BEGIN_ATTACHMENT\nC 0 2 0  0 1 0  0 0 1  UCGOCG\nEND_ATTACHMENT\n");
    w.start();
    w.placeCargo("Kit", "BoxB", {6, 0});
    std::string error;
    if (c.attached) {
      ASSERT_TRUE(w.sim->placeVessel("Truck", "Truck", "Carrier", 5, 2, 0, error)) << error;
      ASSERT_TRUE(w.sim->attach("Kit", "Truck", error)) << error;
    }
    if (c.afcMode >= 0) {
      ASSERT_TRUE(w.sim->setAfcMode("Kit", static_cast<DWORD>(c.afcMode), error)) << error;
    }
    CargoBay bay;
    w.setUpBay(bay);
    bay.SetGrappleDistance(10);
    EXPECT_EQ(bay.ConsumeCargo("BoxB", 1000), c.result) << c.name;
    CargoSearchResult found;
    EXPECT_EQ(bay.FindNearestFreeCargo(&found, nullptr), nullptr) << c.name;
  }
}

TEST(CargoConsumption, SearchReportsTheNearestAndSkipsItsOwnVessel) {
  CargoWorld w;
  w.addCargoType("Rock", Described(RockDescription, "2000"));
  w.start();
  w.placeCargo("Self", "Rock", {20, 0});
  w.placeCargo("Other", "Rock", {20, 4});
  w.placeCargo("Farther", "Rock", {20, 9});
  // A bay on a cargo vessel never finds that vessel.
  CargoBay bay;
  bay.Init(w.vessel("Self"));
  bay.DeclareCargoSlot(0, _V(0, 0, 0), _V(0, 0, 0));
  CargoSearchResult found;
  EXPECT_EQ(bay.FindNearestFreeCargo(&found, ""), w.vessel("Other"));
  EXPECT_NEAR(found.distance, 4, 0.01);
  EXPECT_EQ(found.mass, 2000);
  EXPECT_EQ(found.handle, w.vessel("Other"));
  EXPECT_EQ(found.vessel, oapiGetVesselInterface(w.vessel("Other")));
  EXPECT_EQ(bay.FindNearestFreeCargo(&found, "Lunar"), w.vessel("Other"));
  EXPECT_EQ(bay.FindNearestFreeCargo(&found, "Ore"), nullptr);
  EXPECT_EQ(found.handle, nullptr);
  EXPECT_EQ(bay.FindNearestFreeCargo(nullptr, ""), nullptr);
  bay.SetGrappleDistance(3);
  EXPECT_EQ(bay.FindNearestFreeCargo(&found, ""), nullptr);
}

TEST(CargoConsumption, CargoAboardWhenNoneIsNear) {
  CargoWorld w;
  w.addCargoType("Rock", Described(RockDescription, "1000"));
  w.addCargoType("Alpha", Described("Alpha", "700"));
  w.start();
  w.placeCargo("Distant", "Rock", {40, 0});
  CargoBay bay;
  w.setUpBay(bay, 3);
  bay.SetGrappleDistance(10);
  ASSERT_EQ(bay.AddCargoByName("Alpha", 0), 1);
  ASSERT_EQ(bay.AddCargoByName("Rock", 1), 1);
  ASSERT_EQ(bay.AddCargoByName("Rock", 2), 1);
  ASSERT_EQ(w.emptyMass("Carrier"), 4700);
  w.clearEvents();
  // The lowest matching slot gives all, the next one the rest.
  EXPECT_EQ(bay.ConsumeCargo("ROCK", 1500), 1500);
  EXPECT_EQ(bay.slots[1].occupied, 0);
  EXPECT_EQ(bay.slots[1].description[0], '\0');
  EXPECT_EQ(bay.slots[1].releasable, 1);
  EXPECT_EQ(bay.slots[2].mass, 500);
  EXPECT_EQ(bay.slots[0].mass, 700);
  const auto removed = w.eventsOf("mesh", "Carrier", "deleted");
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_EQ(removed[0].value("index", -1), 25);
  EXPECT_EQ(bay.cargoCount, 2);
  EXPECT_EQ(bay.cargoMassTotal, 1200);
  EXPECT_EQ(w.emptyMass("Carrier"), 3200);
  EXPECT_NE(w.vessel("Distant"), nullptr);

  // Free cargo near comes first; the cargo aboard then stays.
  w.placeCargo("Near", "Rock", {4, 0});
  EXPECT_EQ(bay.ConsumeCargo("rock", 1000), 1000);
  EXPECT_EQ(w.vessel("Near"), nullptr);
  EXPECT_EQ(bay.slots[2].mass, 500);
}

TEST(CargoConsumption, TheVesselsOwnMassChangeIsKeptWhileTakingFromAboard) {
  CargoWorld w;
  w.addCargoType("Rock", Described(RockDescription, "1000"));
  w.start();
  CargoBay bay;
  w.setUpBay(bay);
  ASSERT_EQ(bay.AddCargoByName("Rock", 0), 1);
  std::string error;
  ASSERT_TRUE(w.sim->setEmptyMass("Carrier", 3500, error)) << error;
  EXPECT_EQ(bay.ConsumeCargo("Rock", 400), 400);
  EXPECT_EQ(bay.baseEmptyMass, 2500);
  EXPECT_EQ(w.emptyMass("Carrier"), 3100);
}

}  // namespace
