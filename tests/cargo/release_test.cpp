// Releasing cargo as free cargo vessels: set down beside the landed carrier,
// or pushed away from it in flight; names, slot choice and flags.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "cargo_world.h"

using cargo_test::CargoType;
using cargo_test::CargoWorld;

namespace {

const double Pi = 3.14159265358979;

MATRIX3 RotationOf(OBJHANDLE vessel) {
  MATRIX3 r{};
  oapiGetVesselInterface(vessel)->GetRotationMatrix(r);
  return r;
}

VECTOR3 Column(const MATRIX3 &m, int c) { return _V(m.data[c], m.data[3 + c], m.data[6 + c]); }

double Dot(const VECTOR3 &a, const VECTOR3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

VECTOR3 Minus(const VECTOR3 &a, const VECTOR3 &b) { return _V(a.x - b.x, a.y - b.y, a.z - b.z); }

double Length(const VECTOR3 &v) { return std::sqrt(Dot(v, v)); }

VECTOR3 GlobalPos(OBJHANDLE h) {
  VECTOR3 p{};
  oapiGetGlobalPos(h, &p);
  return p;
}

TEST(CargoRelease, OnTheGroundTheBoxLandsAtTheReleasePointWithTheCarriersHeading) {
  CargoWorld w;
  CargoType ore;
  ore.mass = "4000";
  w.addCargoType("KVT_Ore_Cargo", ore);
  w.start();
  CargoBay bay;
  // The slot's turn is the mesh's aboard only: on the ground the box takes
  // the carrier's heading and gets no push.
  bay.Init(w.carrier());
  bay.DeclareCargoSlot(0, _V(-7, 0, 0), _V(0, 90, 0));
  struct Case {
    VECTOR3 setDown;  // given to SetReleasePosition; slot 0 lands 2.1 m to its left
  };
  const Case cases[] = {{_V(-6.5, 0, 0)}, {_V(-8, 0, 1.5)}, {_V(0, 0, 0)}, {_V(5, 0, -9)}};
  int number = 0;
  for (const Case &c : cases) {
    ++number;
    bay.SetReleasePosition(c.setDown);
    ASSERT_EQ(bay.AddCargoByName("KVT_Ore_Cargo", -1), 1);
    w.clearEvents();
    ASSERT_EQ(bay.ReleaseCargo(-1), 1);
    char name[16];
    std::snprintf(name, sizeof name, "CARG%02d", number);
    ASSERT_NE(w.vessel(name), nullptr) << name;
    const VECTOR3 at = w.inCarrierFrame(name);
    EXPECT_NEAR(at.x, c.setDown.x - 2.1, 0.02) << name;
    EXPECT_NEAR(at.z, c.setDown.z, 0.02) << name;
    // Same heading: the box's forward and right axes are the carrier's.
    const VECTOR3 forward = Minus(w.inCarrierFrame(name, _V(0, 0, 1)), at);
    const VECTOR3 right = Minus(w.inCarrierFrame(name, _V(1, 0, 0)), at);
    EXPECT_NEAR(forward.z, 1, 1e-4) << name;
    EXPECT_NEAR(right.x, 1, 1e-4) << name;
    const auto created = w.eventsOf("created", name);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].value("status", ""), "landed");
    EXPECT_EQ(created[0].value("class", ""), "UCGO\\Cargos\\KVT_Ore_Cargo");
    EXPECT_EQ(w.emptyMass(name), 4000);
    EXPECT_EQ(w.eventsOf("mesh", "Carrier", "deleted").size(), 1u);
    for (int frame = 0; frame < 10; ++frame) w.sim->frame();
    const VECTOR3 later = w.inCarrierFrame(name);
    EXPECT_NEAR(Length(Minus(later, at)), 0, 1e-6) << name;
  }
  EXPECT_EQ(bay.cargoCount, 0);
  EXPECT_EQ(bay.cargoMassTotal, 0);
  EXPECT_EQ(w.emptyMass("Carrier"), 2000);
  EXPECT_EQ(bay.slots[0].occupied, 0);
  EXPECT_EQ(bay.slots[0].cargoName[0], '\0');
}

TEST(CargoRelease, InFlightTheBoxKeepsTheSlotsTurnAndIsPushedAlongItsUp) {
  CargoWorld w;
  CargoType box;
  box.mass = "800";
  w.addCargoType("Box", box);
  w.start(true);
  CargoBay bay;
  bay.Init(w.carrier());
  bay.DeclareCargoSlot(0, _V(-7, 1, 2), _V(0, 90, 0));
  ASSERT_EQ(bay.AddCargoByName("Box", 0), 1);
  const MATRIX3 carrierRotation = RotationOf(w.carrier());
  ASSERT_EQ(bay.ReleaseCargo(0), 1);
  const OBJHANDLE cargo = w.vessel("CARG01");
  ASSERT_NE(cargo, nullptr);
  const auto created = w.eventsOf("created", "CARG01");
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].value("status", ""), "flight");
  EXPECT_EQ(w.emptyMass("CARG01"), 800);

  // R x Ry(-90 degrees): the box's axes are the carrier's, turned about y.
  const MATRIX3 r = RotationOf(cargo);
  const float a = static_cast<float>(-Pi / 2);
  const double c = std::cos(static_cast<double>(a)), s = std::sin(static_cast<double>(a));
  const double ay[9] = {c, 0, s, 0, 1, 0, -s, 0, c};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      double expected = 0;
      for (int k = 0; k < 3; ++k) expected += carrierRotation.data[row * 3 + k] * ay[k * 3 + col];
      EXPECT_NEAR(r.data[row * 3 + col], expected, 1e-9) << row << col;
    }
  }
  // It starts at the slot's place on the carrier.
  const VECTOR3 start = w.inCarrierFrame("CARG01");
  EXPECT_NEAR(start.x, -7, 1e-3);
  EXPECT_NEAR(start.y, 1, 1e-3);
  EXPECT_NEAR(start.z, 2, 1e-3);

  // Carrier and box fall together; the push moves the box along its own +y.
  const VECTOR3 before = Minus(GlobalPos(cargo), GlobalPos(w.carrier()));
  for (int frame = 0; frame < 10; ++frame) w.sim->frame();
  const VECTOR3 moved = Minus(Minus(GlobalPos(cargo), GlobalPos(w.carrier())), before);
  const VECTOR3 up = Column(RotationOf(cargo), 1);
  ASSERT_GT(Length(moved), 0.1);
  EXPECT_GT(Dot(moved, up) / Length(moved), 0.999);
}

// Below twice its centre-of-gravity elevation the carrier counts as on the
// ground and sets the box down; from exactly twice on it is in flight.
TEST(CargoRelease, TwiceTheCentreOfGravityElevationIsFlight) {
  struct Case {
    const char *rpos;  // the carrier's distance from the Moon's centre: 1737400 m is its surface
    double altitude;
    const char *status;
  };
  const Case cases[] = {
      {"1737400.99", 0.99, "landed"},
      {"1737401", 1.0, "flight"},
      {"1737401.01", 1.01, "flight"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.rpos);
    CargoWorld w;
    w.addCargoType("Box");
    w.start(true);
    std::string scenario = w.tree.read("Scenarios/Test.scn");
    scenario.replace(scenario.find("RPOS 1742400"), 12, std::string("RPOS ") + c.rpos);
    w.tree.write("Scenarios/Low.scn", scenario);
    w.load("Scenarios/Low.scn");
    VESSEL *carrier = w.carrierVessel();
    ASSERT_NE(carrier, nullptr);
    ASSERT_NEAR(carrier->GetAltitude(), c.altitude, 1e-9);
    ASSERT_EQ(carrier->GetCOG_elev(), 0.5);
    if (c.altitude == 1.0) {
      ASSERT_EQ(carrier->GetAltitude(), 2 * carrier->GetCOG_elev());
    }
    CargoBay bay;
    w.setUpBay(bay);
    ASSERT_EQ(bay.AddCargoByName("Box", 0), 1);
    ASSERT_EQ(bay.ReleaseCargo(0), 1);
    const auto created = w.eventsOf("created", "CARG01");
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].value("status", ""), c.status);
  }
}

TEST(CargoRelease, NamesCountUpFromTheFirstFreeNumber) {
  CargoWorld w;
  w.addCargoType("Box");
  CargoType ore;
  ore.forceName = "Ore";
  w.addCargoType("Ore", ore);
  w.start();
  w.placeCargo("CARG01", "Box", {20, 0});
  w.placeCargo("CARG02", "Box", {22, 0});
  CargoBay bay;
  w.setUpBay(bay);
  struct Case {
    const char *type;
    const char *name;
  };
  const Case cases[] = {{"Box", "CARG03"}, {"Box", "CARG04"}, {"Ore", "Ore01"}, {"Ore", "Ore02"}};
  for (const Case &c : cases) {
    ASSERT_EQ(bay.AddCargoByName(c.type, 0), 1);
    ASSERT_EQ(bay.ReleaseCargo(0), 1);
    EXPECT_NE(w.vessel(c.name), nullptr) << c.name;
  }
}

TEST(CargoRelease, TheHundredthNameHasThreeDigits) {
  CargoWorld w;
  w.addCargoType("Box");
  w.start();
  for (int n = 1; n <= 99; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "CARG%02d", n);
    w.placeCargo(name, "Box", {20.0 + n, 0});
  }
  CargoBay bay;
  w.setUpBay(bay);
  ASSERT_EQ(bay.AddCargoByName("Box", 0), 1);
  ASSERT_EQ(bay.ReleaseCargo(0), 1);
  EXPECT_NE(w.vessel("CARG100"), nullptr);
}

TEST(CargoRelease, SlotChoiceAndFlags) {
  CargoWorld w;
  w.addCargoType("Box");
  w.start();
  CargoBay bay;
  w.setUpBay(bay, 3);
  ASSERT_EQ(bay.AddCargoByName("Box", 0), 1);
  ASSERT_EQ(bay.AddCargoByName("Box", 2), 1);
  bay.slots[0].releasable = 0;
  bay.slots[2].releasable = 2;
  // -1 wants all three flags exactly 1.
  EXPECT_EQ(bay.ReleaseCargo(-1), 0);
  bay.slots[2].releasable = 1;
  EXPECT_EQ(bay.ReleaseCargo(-1), 1);
  EXPECT_EQ(bay.slots[2].occupied, 0);
  EXPECT_EQ(bay.slots[2].releasable, 1);
  EXPECT_EQ(bay.slots[0].occupied, 1);
  // An explicit index takes any releasable value but 0.
  EXPECT_EQ(bay.ReleaseCargo(0), 0);
  bay.slots[0].releasable = 2;
  EXPECT_EQ(bay.ReleaseCargo(0), 1);
  // Nothing left, or nothing there.
  struct Case {
    int slot;
  };
  const Case refused[] = {{-1}, {0}, {1}, {5}, {-2}, {40}};
  for (const Case &c : refused) {
    EXPECT_EQ(bay.ReleaseCargo(c.slot), 0) << c.slot;
  }
  EXPECT_EQ(bay.cargoCount, 0);
}

TEST(CargoRelease, ACargoThatCannotBeCreatedStaysAboard) {
  CargoWorld w;
  w.addCargoType("Gone");
  w.start();
  CargoBay bay;
  w.setUpBay(bay);
  ASSERT_EQ(bay.AddCargoByName("Gone", 0), 1);
  w.tree.remove("Config/Vessels/UCGO/Cargos/Gone.cfg");
  w.clearEvents();
  EXPECT_EQ(bay.ReleaseCargo(0), 0);
  EXPECT_EQ(bay.slots[0].occupied, 1);
  EXPECT_EQ(bay.cargoMassTotal, 1000);
  EXPECT_EQ(w.emptyMass("Carrier"), 3000);
  EXPECT_TRUE(w.eventsOf("mesh", "Carrier", "deleted").empty());
  EXPECT_TRUE(w.eventsOf("created").empty());
}

TEST(CargoRelease, CargoOfNoWeightLeavesTheCountAlone) {
  CargoWorld w;
  CargoType weightless;
  weightless.mass = "0";
  w.addCargoType("Weightless", weightless);
  CargoType full;
  full.mass = "10000";
  w.addCargoType("Full", full);
  w.start();
  CargoBay bay;
  w.setUpBay(bay, 2);
  ASSERT_EQ(bay.AddCargoByName("Weightless", 0), 1);
  ASSERT_EQ(bay.AddCargoByName("Full", 1), 1);
  EXPECT_EQ(bay.cargoCount, 1);
  ASSERT_EQ(bay.ReleaseCargo(0), 1);
  EXPECT_EQ(bay.cargoCount, 1);
  EXPECT_EQ(bay.cargoMassTotal, 10000);
  ASSERT_EQ(bay.ReleaseCargo(1), 1);
  EXPECT_EQ(bay.cargoCount, 0);
  EXPECT_EQ(bay.cargoMassTotal, 0);
  EXPECT_EQ(w.emptyMass("Carrier"), 2000);
  EXPECT_EQ(w.emptyMass("CARG02"), 10000);
}

}  // namespace
