// Setting the bay up: Init, slot declarations, setters, the release-point
// grid, slot mesh rotation, and the debug-line advisory.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "cargo_world.h"
#include "host_extras.h"

using cargo_test::CargoWorld;

namespace {

const char *const MillName = "KVT Duz Ovov MkI";

TEST(CargoSetUp, SettersKeepTheirRanges) {
  CargoWorld w;
  w.start();
  struct Case {
    double maxMass;
    double expectedMax;
    int grapple;
    double expectedGrapple;
  };
  const Case cases[] = {
      {0, 0, 3, 3},
      {10000000, 10000000, 10000, 10000},
      {-0.001, 1000000, 2, 50},
      {10000000.001, 1000000, 10001, 50},
      {NAN, 1000000, -5, 50},
  };
  for (const Case &c : cases) {
    CargoBay bay;
    w.setUpBay(bay);
    bay.SetMaxCargoMass(c.maxMass);
    bay.SetGrappleDistance(c.grapple);
    EXPECT_EQ(bay.maxCargoMass, c.expectedMax) << c.maxMass;
    EXPECT_EQ(bay.grappleDistance, c.expectedGrapple) << c.grapple;
  }
}

TEST(CargoSetUp, InitFindsTheAddonAndStartsAfresh) {
  CargoWorld w;
  w.start();
  CargoBay bay;
  // Before Init the bay is inert: declarations change nothing.
  bay.DeclareCargoSlot(0, _V(1, 2, 3), _V(0, 0, 0));
  EXPECT_EQ(bay.addonPresent, 0);
  EXPECT_EQ(bay.slots[0].declared, 0);
  EXPECT_FALSE(bay.advisoryUntil > 0);

  EXPECT_EQ(bay.Init(w.carrier()), 1);
  EXPECT_EQ(bay.setupState, CargoBay::SetupInitialised);
  EXPECT_EQ(bay.vessel, w.carrierVessel());
  EXPECT_EQ(bay.baseEmptyMass, -1);
  EXPECT_EQ(bay.releasePushFactor, 0.05);
  // Out-of-range declarations neither declare nor switch the bay off.
  bay.DeclareCargoSlot(40, _V(0, 0, 0), _V(0, 0, 0));
  bay.DeclareCargoSlot(-1, _V(0, 0, 0), _V(0, 0, 0));
  EXPECT_EQ(bay.addonPresent, 1);
  EXPECT_EQ(bay.setupState, CargoBay::SetupInitialised);

  bay.DeclareCargoSlot(5, _V(1, 2, 3), _V(4, 5, 6));
  EXPECT_EQ(bay.setupState, CargoBay::SetupReady);
  EXPECT_EQ(bay.slots[5].declared, 1);
  EXPECT_EQ(bay.slots[5].position.z, 3);
  EXPECT_EQ(bay.slots[5].rotation.y, 5);
  EXPECT_EQ(bay.slots[5].meshVisibilityMode, 1);

  // A second Init forgets every slot.
  EXPECT_EQ(bay.Init(w.carrier()), 1);
  EXPECT_EQ(bay.slots[5].declared, 0);
  EXPECT_EQ(bay.setupState, CargoBay::SetupInitialised);
}

TEST(CargoSetUp, DeclaringAfterAFailedInitSwitchesTheBayOff) {
  CargoWorld w;
  w.start();
  CargoBay bay;
  EXPECT_EQ(bay.Init(nullptr), 0);
  EXPECT_EQ(bay.addonPresent, 1);
  bay.UpdateAdvisory(MillName);
  EXPECT_STREQ(oapiDebugString(), "UCGO SDK ERROR: You forgot to call Init() in your code. See doc !");

  // Slots out of range are ignored before anything else: they switch nothing off.
  bay.DeclareCargoSlot(40, _V(-7, 0, 0), _V(0, 0, 0));
  bay.DeclareCargoSlot(-1, _V(-7, 0, 0), _V(0, 0, 0));
  EXPECT_EQ(bay.addonPresent, 1);
  oapiDebugString()[0] = '\0';
  bay.UpdateAdvisory(MillName);
  EXPECT_STREQ(oapiDebugString(), "UCGO SDK ERROR: You forgot to call Init() in your code. See doc !");

  bay.DeclareCargoSlot(0, _V(-7, 0, 0), _V(0, 0, 0));
  EXPECT_EQ(bay.addonPresent, 0);
  EXPECT_EQ(bay.slots[0].declared, 0);
  oapiDebugString()[0] = '\0';
  bay.UpdateAdvisory(MillName);
  EXPECT_STREQ(oapiDebugString(), "");
}

TEST(CargoSetUp, MissingDeclarationIsShownEveryStep) {
  CargoWorld w;
  w.start();
  CargoBay bay;
  bay.Init(w.carrier());
  for (int step = 0; step < 3; ++step) {
    oapiDebugString()[0] = '\0';
    bay.UpdateAdvisory(MillName);
    EXPECT_STREQ(oapiDebugString(),
                 "UCGO SDK ERROR: You forgot to call DeclareCargoSlot() in your code. See Doc!");
  }
  bay.DeclareCargoSlot(0, _V(-7, 0, 0), _V(0, 0, 0));
  oapiDebugString()[0] = '\0';
  bay.UpdateAdvisory(MillName);
  EXPECT_STREQ(oapiDebugString(), "");
}

TEST(CargoSetUp, ReleasePointsAreLaidOutInRowsOfFour) {
  CargoWorld w;
  w.start();
  CargoBay bay;
  w.setUpBay(bay);
  bay.SetReleasePosition(_V(-6.5, 0, 1.5));
  struct Case {
    int slot;
    double x, z;
  };
  const Case cases[] = {{0, -8.6, 1.5}, {3, -4.4, 1.5}, {4, -8.6, 0.1}, {39, -4.4, -11.1}};
  for (const Case &c : cases) {
    EXPECT_NEAR(bay.slots[c.slot].releasePosition.x, c.x, 1e-9) << c.slot;
    EXPECT_EQ(bay.slots[c.slot].releasePosition.y, 0) << c.slot;
    EXPECT_NEAR(bay.slots[c.slot].releasePosition.z, c.z, 1e-9) << c.slot;
  }
}

TEST(CargoSetUp, VisibilityModeReachesTheHostOnlyForCargoAboard) {
  CargoWorld w;
  w.addCargoType("Box");
  w.start();
  CargoBay bay;
  w.setUpBay(bay, 2);
  w.clearEvents();
  bay.SetSlotMeshVisibilityMode(0, 3);
  EXPECT_EQ(bay.slots[0].meshVisibilityMode, 3);
  EXPECT_TRUE(w.eventsOf("mesh", "Carrier", "visibility").empty());

  // Loading applies the stored mode; a later change goes to the host at once.
  ASSERT_EQ(bay.AddCargoByName("Box", 0), 1);
  ASSERT_EQ(bay.AddCargoByName("Box", 1), 1);
  w.clearEvents();
  bay.SetSlotMeshVisibilityMode(1, 0);
  const auto shown = w.eventsOf("mesh", "Carrier", "visibility");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].value("index", -1), 25);
  EXPECT_EQ(shown[0].value("mode", -1), 0);
  // Undeclared slots take no mode.
  bay.SetSlotMeshVisibilityMode(7, 3);
  EXPECT_EQ(bay.slots[7].meshVisibilityMode, 1);
}

TEST(CargoSetUp, SlotRotationTurnsTheCargoMeshAboutEachAxisSet) {
  CargoWorld w;
  w.addCargoType("Box");
  w.start();
  CargoBay bay;
  bay.Init(w.carrier());
  bay.DeclareCargoSlot(0, _V(-7, 0, 0), _V(0, 0, 0));
  bay.DeclareCargoSlot(1, _V(-7, 0, 2), _V(0, 90, 0));
  bay.DeclareCargoSlot(2, _V(-7, 0, 4), _V(10, 0, -20));
  struct Turn {
    double axis[3];
    float angle;  // radians, single precision
  };
  struct Case {
    int slot;
    std::vector<Turn> turns;  // x first, then y, then z
  };
  const Case cases[] = {
      {0, {}},
      {1, {{{0, 1, 0}, static_cast<float>(90 * 3.14159265358979 / 180)}}},
      {2, {{{1, 0, 0}, static_cast<float>(10 * 3.14159265358979 / 180)},
           {{0, 0, 1}, static_cast<float>(-20 * 3.14159265358979 / 180)}}},
  };
  for (const Case &c : cases) {
    w.clearEvents();
    ASSERT_EQ(bay.AddCargoByName("Box", c.slot), 1);
    const auto turns = w.eventsOf("mesh", "Carrier", "transform");
    ASSERT_EQ(turns.size(), c.turns.size()) << c.slot;
    for (size_t i = 0; i < turns.size(); ++i) {
      EXPECT_EQ(turns[i].value("index", -1), 24 + c.slot);
      EXPECT_EQ(turns[i].value("transform", ""), "rotate");
      for (int k = 0; k < 3; ++k) EXPECT_EQ(turns[i].at("axis").at(k).get<double>(), c.turns[i].axis[k]) << c.slot;
      EXPECT_EQ(turns[i].value("angle", 0.0), static_cast<double>(c.turns[i].angle)) << c.slot;
    }
  }
  // A new visual gets the rotations again; a null visual nothing.
  w.clearEvents();
  bay.VisualCreated(nullptr);
  EXPECT_TRUE(w.eventsOf("mesh", "Carrier", "transform").empty());
  VISHANDLE *visual = oapiObjectVisualPtr(w.carrier());
  ASSERT_NE(visual, nullptr);
  bay.VisualCreated(*visual);
  EXPECT_EQ(w.eventsOf("mesh", "Carrier", "transform").size(), 3u);
}

TEST(CargoSetUp, MissingAddonLeavesTheBayInertWithA30SecondAdvisory) {
  CargoWorld w(false);
  w.addCargoType("Box");
  w.start();
  // System time 1000 when the vessel starts.
  w.sim->setFrameLength(1000 - w.sim->sysTime());
  w.sim->frame();
  ASSERT_DOUBLE_EQ(oapiGetSysTime(), 1000);
  CargoBay bay;
  EXPECT_EQ(bay.Init(w.carrier()), 0);
  EXPECT_EQ(bay.advisoryUntil, 1030);
  bay.DeclareCargoSlot(0, _V(-7, 0, 0), _V(0, 0, 0));
  EXPECT_EQ(bay.slots[0].declared, 0);
  EXPECT_EQ(bay.AddCargoByName("Box", -1), 0);
  EXPECT_EQ(bay.ConsumeCargo("Box", 1000), -1);
  EXPECT_EQ(bay.ReleaseCargo(-1), 0);
  char line[] = "UCGO @@0,1,1,1000,Box,";
  EXPECT_EQ(bay.LoadStateLine(line), 0);

  struct Case {
    double step;  // system time advanced before this update
    std::string text;
  };
  const std::string compatible = std::string(MillName) +
                                 " is compatible with \"Universal Cars & Cargo\" (UCGO) addon. Download at "
                                 "your Orbiter add-on repository (25)";
  const Case cases[] = {
      {1, "UCGO will push this addon one step further. (29)"},  // 1001 mod 15 = 11
      {4, compatible},                                          // 1005
      {21, "Don't Miss universal Cars & Cargo for Orbiter (UCGO) (4)"},  // 1026
      {0.8, ""},                                                          // 1026.8: blinking off
      {3.3, ""},                                                          // 1030.1: over
  };
  for (const Case &c : cases) {
    w.sim->setFrameLength(c.step);
    w.sim->frame();
    bay.UpdateAdvisory(MillName);
    EXPECT_EQ(std::string(oapiDebugString()), c.text) << oapiGetSysTime();
  }
  EXPECT_EQ(bay.advisoryUntil, -1);
  // Ended for good.
  std::snprintf(oapiDebugString(), DEBUG_STRING_CAPACITY, "other");
  bay.UpdateAdvisory(MillName);
  EXPECT_STREQ(oapiDebugString(), "other");
}

TEST(CargoSetUp, AdvisoryKeepsALongVesselNameWithinTheDebugLine) {
  CargoWorld w(false);
  w.start();
  CargoBay bay;
  bay.Init(w.carrier());
  const std::string longName(600, 'N');
  bay.UpdateAdvisory(longName.c_str());
  EXPECT_EQ(std::string(oapiDebugString()).size(), static_cast<size_t>(DEBUG_STRING_CAPACITY - 1));
}

}  // namespace
