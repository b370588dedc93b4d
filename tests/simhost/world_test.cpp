// The vessel list: order, lookups by index, name and handle, deletion at
// once with the later vessels moving up, and the Moon as an object of its
// own.
#include "Orbitersdk.h"
#include "sim_tree.h"
#include "world/fixed_digits.h"
#include "world/world.h"

#include <cmath>
#include <cstdint>
#include <limits>

using simtest::SimTree;

namespace {

class Worlds : public ::testing::Test {
protected:
  void SetUp() override {
    tree.addPassiveClass("Crate");
    tree.addProbe();
    std::string ships;
    for (int i = 0; i < 6; ++i) ships += simtest::landedShip("V" + std::to_string(i), "Crate", i * 0.001, 0, 0);
    tree.write("Scenarios/a.scn", simtest::scenario(ships, "V2"));
    std::string error;
    ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/a.scn"), error)) << error;
    log.attach(sim);
  }
  std::vector<std::string> names() {
    std::vector<std::string> out;
    char buf[64];
    for (DWORD i = 0; i < oapiGetVesselCount(); ++i) {
      oapiGetObjectName(oapiGetVesselByIndex(i), buf, sizeof buf);
      out.push_back(buf);
    }
    return out;
  }
  SimTree tree;
  simhost::Simulation sim{tree.root()};
  simtest::EventLog log;
};

TEST_F(Worlds, DeletionKeepsTheOrderOfTheOthers) {
  OBJHANDLE v1 = oapiGetVesselByIndex(1);
  ASSERT_TRUE(oapiDeleteVessel(v1));
  EXPECT_EQ(names(), (std::vector<std::string>{"V0", "V2", "V3", "V4", "V5"}));
  EXPECT_FALSE(oapiDeleteVessel(v1));  // gone
  EXPECT_EQ(oapiGetVesselInterface(v1), nullptr);
  EXPECT_EQ(oapiGetVesselByName(const_cast<char *>("V1")), nullptr);
  EXPECT_FALSE(oapiDeleteVessel(oapiGetGbodyByName(const_cast<char *>("Moon"))));
  EXPECT_FALSE(oapiDeleteVessel(nullptr));
  // Deleting while walking the list, as a search that consumes cargo does.
  for (DWORD i = 0; i < oapiGetVesselCount(); ++i) {
    char buf[8];
    oapiGetObjectName(oapiGetVesselByIndex(i), buf, sizeof buf);
    if (buf[1] == '3' || buf[1] == '4') oapiDeleteVessel(oapiGetVesselByIndex(i--));
  }
  EXPECT_EQ(names(), (std::vector<std::string>{"V0", "V2", "V5"}));
  EXPECT_EQ(oapiGetVesselByIndex(3), nullptr);
  auto deleted = log.of("deleted");
  ASSERT_EQ(deleted.size(), 3u);
  EXPECT_EQ(deleted[0]["name"], "V1");
}

TEST_F(Worlds, DeletingTheFocusMovesIt) {
  char buf[16];
  oapiGetObjectName(oapiGetFocusObject(), buf, sizeof buf);
  EXPECT_STREQ(buf, "V2");
  ASSERT_TRUE(oapiDeleteVessel(oapiGetFocusObject(), oapiGetVesselByIndex(4)));
  oapiGetObjectName(oapiGetFocusObject(), buf, sizeof buf);
  EXPECT_STREQ(buf, "V4");
  ASSERT_TRUE(oapiDeleteVessel(oapiGetFocusObject()));
  oapiGetObjectName(oapiGetFocusObject(), buf, sizeof buf);
  EXPECT_STREQ(buf, "V0");
  auto focus = log.of("focus");
  ASSERT_EQ(focus.size(), 2u);
  EXPECT_EQ(focus[1]["name"], "V0");
}

TEST_F(Worlds, LookupsByNameIgnoreCaseAndFindTheMoon) {
  EXPECT_EQ(oapiGetVesselByName(const_cast<char *>("v3")), oapiGetVesselByIndex(3));
  EXPECT_EQ(oapiGetObjectByName(const_cast<char *>("V3")), oapiGetVesselByIndex(3));
  OBJHANDLE moon = oapiGetObjectByName(const_cast<char *>("MOON"));
  ASSERT_NE(moon, nullptr);
  EXPECT_EQ(moon, oapiGetGbodyByName(const_cast<char *>("Moon")));
  EXPECT_EQ(oapiGetVesselInterface(moon), nullptr);
  EXPECT_EQ(oapiGetObjectByName(const_cast<char *>("Earth")), nullptr);
  EXPECT_EQ(oapiGetObjectByName(const_cast<char *>("CARG01")), nullptr);
  char buf[3];
  oapiGetObjectName(moon, buf, sizeof buf);
  EXPECT_STREQ(buf, "Mo");  // cut to the buffer
  VESSEL *v = oapiGetVesselInterface(oapiGetVesselByIndex(0));
  EXPECT_EQ(v->GetSurfaceRef(), moon);
  EXPECT_EQ(v->GetGravityRef(), moon);
  // Names that differ only in the characters beside the letters are
  // others; a name over several words of eight is found in any case.
  VESSELSTATUS2 vs{};
  vs.version = 2;
  v->GetStatusEx(&vs);
  const char *kNames[] = {"@x", "`x", "[x", "{x", "Long-Mixed-Case-Name-Twelve"};
  for (const char *name : kNames) ASSERT_NE(oapiCreateVesselEx(name, "Crate", &vs), nullptr) << name;
  for (const char *name : kNames) {
    oapiGetObjectName(oapiGetVesselByName(const_cast<char *>(name)), buf, 2);
    EXPECT_EQ(buf[0], name[0]) << name;
  }
  EXPECT_EQ(oapiGetVesselByName(const_cast<char *>("lONG-mIXED-cASE-nAME-tWELVE")),
            oapiGetVesselByName(const_cast<char *>("Long-Mixed-Case-Name-Twelve")));
}

TEST_F(Worlds, MassChangesAreReported) {
  OBJHANDLE h = oapiGetVesselByIndex(0);
  oapiSetEmptyMass(h, 250);
  oapiSetEmptyMass(h, 250);  // no change
  oapiGetVesselInterface(h)->SetEmptyMass(-5);  // refused
  std::string error;
  EXPECT_TRUE(sim.setEmptyMass("V0", 300, error));
  EXPECT_FALSE(sim.setEmptyMass("Nobody", 300, error));
  auto mass = log.of("mass");
  ASSERT_EQ(mass.size(), 2u);
  EXPECT_EQ(mass[0]["name"], "V0");
  EXPECT_EQ(mass[0]["empty_mass"], 250.0);
  EXPECT_DOUBLE_EQ(oapiGetEmptyMass(h), 300);
  EXPECT_DOUBLE_EQ(oapiGetMass(h), 300);
}

TEST_F(Worlds, PlacedVesselsStandBesideTheirNeighbour) {
  std::string error;
  ASSERT_TRUE(sim.placeVessel("New", "Crate", "V2", -6.5, 1.5, 90, error)) << error;
  VESSEL *near = oapiGetVesselInterface(oapiGetVesselByName(const_cast<char *>("V2")));
  VESSEL *placed = oapiGetVesselInterface(oapiGetVesselByName(const_cast<char *>("New")));
  VECTOR3 g, local;
  placed->GetGlobalPos(g);
  near->Global2Local(g, local);
  EXPECT_NEAR(local.x, -6.5, 1e-3);
  EXPECT_NEAR(local.z, 1.5, 1e-3);
  EXPECT_NEAR(local.y, 0, 1e-3);  // same size, same height on a flat patch
  VESSELSTATUS2 vs{};
  vs.version = 2;
  placed->GetStatusEx(&vs);
  EXPECT_NEAR(vs.surf_hdg, 3.14159265358979323846 / 2, 1e-6);
  auto created = log.of("created");
  ASSERT_EQ(created.size(), 1u);
  EXPECT_NEAR(created[0]["local"][0].get<double>(), -6.5, 1e-3);
  EXPECT_FALSE(sim.placeVessel("New", "Crate", "V2", 0, 0, 0, error));
  EXPECT_FALSE(sim.placeVessel("Other", "Crate", "Nobody", 0, 0, 0, error));
  EXPECT_FALSE(sim.placeVessel("Other", "Nothing", "V2", 0, 0, 0, error));
  EXPECT_NE(error.find("unknown vessel class Nothing"), std::string::npos);
}

TEST(BigWorld, HundredThousandVessels) {
  SimTree tree;
  tree.addPassiveClass("Crate");
  tree.write("Scenarios/a.scn", simtest::scenario(simtest::landedShip("V0", "Crate", 0, 0, 0)));
  simhost::Simulation sim(tree.root());
  std::string error;
  ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/a.scn"), error)) << error;
  VESSELSTATUS2 vs{};
  vs.version = 2;
  oapiGetVesselInterface(oapiGetVesselByIndex(0))->GetStatusEx(&vs);
  char name[32];
  for (int i = 1; i < 100000; ++i) {
    snprintf(name, sizeof name, "V%d", i);
    ASSERT_NE(oapiCreateVesselEx(name, "Crate", &vs), nullptr);
  }
  EXPECT_EQ(oapiGetVesselCount(), 100000u);
  EXPECT_EQ(oapiGetVesselByName(const_cast<char *>("v99999")), oapiGetVesselByIndex(99999));
  ASSERT_TRUE(oapiDeleteVessel(oapiGetVesselByIndex(10)));
  EXPECT_EQ(oapiGetVesselByName(const_cast<char *>("V11")), oapiGetVesselByIndex(10));
  // One scan as a cargo search makes it.
  double mass = 0;
  for (DWORD i = 0; i < oapiGetVesselCount(); ++i) {
    VESSEL *v = oapiGetVesselInterface(oapiGetVesselByIndex(i));
    VECTOR3 p;
    oapiGetGlobalPos(oapiGetVesselByIndex(i), &p);
    mass += v->GetMass() + v->AttachmentCount(true);
  }
  EXPECT_DOUBLE_EQ(mass, 99999 * 100.0);
  sim.frame();
}

// Saved places and headings, and every number the commands show, are
// written in whole-number arithmetic where a double allows: digit for digit
// what printf writes, ties, signs, the smallest and largest values and the
// 32-bit build's general algorithm included.
TEST(FixedDigits, AsPrintfWritesThem) {
  const double kEdges[] = {0.0, -0.0, 0.5, 1.5, 2.5, -2.5, 0.05, 0.15, 0.125, 0.0000000005, 1e-300,
                           4.9e-324, 0x1p52, 0x1p53 - 1, 0x1p53, 1e17, 1e300, 359.99999999995,
                           -0.3016242650, 274.96, 9.9999999995, 0.999, 123456789012.5, 18446744.073709551615, -std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::infinity(), std::nan("")};
  std::uint64_t seed = 88172645463325252u;
  auto next = [&seed] { return seed ^= seed << 13, seed ^= seed >> 7, seed ^= seed << 17; };
  auto check = [](double value, int decimals) {
    char expected[512];
    std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
    std::string written;
    simhost::text::appendPrintfFixed(written, value, decimals);
    EXPECT_EQ(written, expected) << decimals << " decimals of " << value;
  };
  for (double value : kEdges)
    for (int decimals = 0; decimals <= 20; ++decimals) check(value, decimals);
  for (int i = 0; i < 200000; ++i) {
    const double value = std::ldexp(static_cast<double>(next() >> 11), static_cast<int>(next() % 90) - 100);
    check(i % 2 ? -value : value, static_cast<int>(next() % 19));
  }
}

}  // namespace
