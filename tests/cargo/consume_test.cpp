// Consuming cargo by description and mass: free cargo vessels within reach
// first, nearest first, in whole or in part; cargo aboard when none is near.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "cargo_world.h"
#include "test_platform.h"

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

// The search for free cargo with its tests in the order the cargo add-on's
// convention gives them, written out plainly: the bay's own vessel, the
// interface, the class name, every parent point (attached, cargo id), the
// distance against the reach and the best so far, the held control-mode
// bits, and the cargo file last.
OBJHANDLE SearchInListedOrder(OBJHANDLE own, double reach, const char *text) {
  VESSEL *self = oapiGetVesselInterface(own);
  double best = 10000;
  OBJHANDLE found = nullptr;
  for (DWORD i = 0; i < oapiGetVesselCount(); ++i) {
    OBJHANDLE h = oapiGetVesselByIndex(i);
    VESSEL *v = h && h != own ? oapiGetVesselInterface(h) : nullptr;
    const char *className = v ? v->GetClassNameA() : nullptr;
    if (!className) continue;
    const DWORD points = v->AttachmentCount(true);
    bool attached = false, cargoPoint = false;
    for (DWORD j = 0; j < points; ++j) {
      ATTACHMENTHANDLE point = v->GetAttachmentHandle(true, j);
      attached = attached || v->GetAttachmentStatus(point);
      const char *id = v->GetAttachmentId(point);
      cargoPoint = cargoPoint || (id && std::strcmp(id, "UCGOCG") == 0);
    }
    if (points == 0 || attached || !cargoPoint) continue;
    VECTOR3 global, mine, theirs;
    oapiGetGlobalPos(own, &global);
    self->Global2Local(global, mine);
    oapiGetGlobalPos(h, &global);
    self->Global2Local(global, theirs);
    const double dx = theirs.x - mine.x, dy = theirs.y - mine.y, dz = theirs.z - mine.z;
    const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (d > reach || d > best || (v->GetADCtrlMode() & 0x18) == 0x18) continue;
    if (text && *text && CargoBay::ClassDescriptionContains(className, text) != 1) continue;
    best = d;
    found = h;
  }
  return found;
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

namespace {

// The bay finds what the plain search finds and reads the same cargo files
// in the same order, search after search while the vessels found are taken
// away: it may test in another order, never with another outcome.
TEST(CargoConsumption, SearchFindsAndReadsAsTheConventionsOrder) {
  struct Candidate {
    const char *name, *type;
    Spot at;
    int afcMode = -1;      // -1: as placed
    bool carried = false;  // hung on the truck standing within reach
  };
  const Candidate world[] = {
      {"Far", "RockFar", {0, 14}},         {"Mid", "RockMid", {0, 8}},
      {"Gravel", "Gravel", {0, 6}},        {"Held", "RockHeld", {0, 5}, 0x18},
      {"Carried", "RockCarried", {5, 2}, -1, true},
      {"Foreign", "Foreign", {1, 1}},      {"Pitch", "RockPitch", {4, 0}, 0x10},
      {"Twin1", "RockTwin1", {0, -3}},     {"Twin2", "RockTwin2", {0, -3}},
      {"Yaw", "RockYaw", {0, 3.5}, 0x08},  {"LaterMid", "RockMid", {6, 0}},
  };
  struct Search {
    const char *text;
    int reach;  // whole metres, as the bay takes it; the twins stand about 3 m away
  };
  const Search searches[] = {{"rock", 10}, {"GRAVEL", 10}, {"", 10}, {nullptr, 10}, {"rock", 3}, {"rock", 4}, {"rock", 20}};
  for (const Search &s : searches) {
    const std::string label = std::string(s.text ? s.text : "(null)") + " within " + std::to_string(s.reach);
    CargoWorld w;
    for (const Candidate &c : world) {
      CargoType type = Described(std::strcmp(c.type, "Gravel") == 0 ? "Gravel" : RockDescription, "1000");
      if (std::strcmp(c.type, "Foreign") == 0) {
        type.attachment = false;
        type.extraLines = "BEGIN_ATTACHMENT\nP 0 -0.65 0  0 -1 0  0 0 1  UCGOCX\nEND_ATTACHMENT\n";
      }
      w.addCargoType(c.type, type);
    }
    w.tree.write("Config/Vessels/Truck.cfg", "Size = 3\nMass = 5000\nMeshName = UCGO\\TestBox\n"
                                             "BEGIN_ATTACHMENT\nC 0 2 0  0 1 0  0 0 1  UCGOCG\nEND_ATTACHMENT\n");
    w.start();
    std::string error;
    ASSERT_TRUE(w.sim->placeVessel("Truck", "Truck", "Carrier", 5, 2, 0, error)) << error;
    for (const Candidate &c : world) {
      w.placeCargo(c.name, c.type, c.at);
      EXPECT_TRUE(!c.carried || w.sim->attach(c.name, "Truck", error)) << error;
      EXPECT_TRUE(c.afcMode < 0 || w.sim->setAfcMode(c.name, static_cast<DWORD>(c.afcMode), error)) << error;
    }
    CargoBay bay;
    w.setUpBay(bay);
    bay.SetGrappleDistance(s.reach);
    kvt_test::OpenWatch files(w.tree.path("Config/Vessels/UCGO/Cargos"));
    for (int take = 0;; ++take) {
      files.opened();
      const OBJHANDLE expected = SearchInListedOrder(w.carrier(), s.reach, s.text);
      const std::vector<std::string> expectedFiles = files.opened();
      CargoSearchResult found;
      EXPECT_EQ(bay.FindNearestFreeCargo(&found, s.text), expected) << label << ", take " << take;
      EXPECT_EQ(files.opened(), expectedFiles) << label << ", take " << take;
      if (take == 0 && s.text && std::strcmp(s.text, "rock") == 0 && s.reach == 10) {
        EXPECT_EQ(expected, w.vessel("Twin2")) << "the later of two at equal distance";
        EXPECT_EQ(expectedFiles.size(), files.watching() ? 5u : 0u) << "Mid, Gravel, Pitch, Twin1, Twin2";
      }
      if (!expected || !oapiDeleteVessel(expected, nullptr)) break;
    }
  }
}

}  // namespace
