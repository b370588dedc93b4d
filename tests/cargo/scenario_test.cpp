// The cargo block of the scenario: reading "UCGO" lines into the slots, and
// writing them through the host's scenario files and back.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cargo_world.h"

using cargo_test::CargoType;
using cargo_test::CargoWorld;

namespace {

struct SlotState {
  int occupied;
  double mass;
  int releasable;
  const char *cargoName;
};

const SlotState Empty = {0, 0, 1, ""};

TEST(CargoScenario, ReadingLinesItemByItem) {
  const std::string name40(40, 'N');
  const std::string name300(300, 'L');
  struct Case {
    std::string line;
    int result;
    SlotState slot0, slot1;
  };
  const Case cases[] = {
      {"UCGO @@0,1,1,600,Box,@@45,1,0,0,@@1,1,1,600,Box,", 1, {1, 600, 1, "Box"}, {0, 0, 0, ""}},
      {"UCGO @@0,1,1,1250,Box,@@1,1,1,1250,Box,@@2,1,0,0,", 1, {1, 1250, 1, "Box"}, {1, 1250, 1, "Box"}},
      {"  UCGO @@1,1,1,700,Box,", 1, Empty, {1, 700, 1, "Box"}},
      {"OreTankLevel 0", 0, Empty, {0, 0, 0, ""}},
      {"UCGO @@0,1,2,600,Box,@@1,1,1,600,Box,", 1, Empty, {0, 0, 0, ""}},
      {"UCGO @@0,3,1,600,Box,@@1,1,1,600,Box,", 1, {0, 0, 3, ""}, {0, 0, 0, ""}},
      {"UCGO @@0,1,0,abc,@@1,1,1,600,Box,", 1, Empty, {1, 600, 1, "Box"}},
      // A whole item whose type cannot be loaded leaves its slot empty; the
      // cargo after it is still read, not lost with the next save.
      {"UCGO @@0,1,1,600,Missing,@@1,1,1,600,Box,", 1, Empty, {1, 600, 1, "Box"}},
      {"UCGO @@0,1,1,10001,Box,", 1, Empty, {0, 0, 0, ""}},
      {"UCGO @@0,1,1,-1,Box,", 1, Empty, {0, 0, 0, ""}},
      {"UCGO @@0,1,1,10000,Box,", 1, {1, 10000, 1, "Box"}, {0, 0, 0, ""}},
      {"UCGO @@-1,1,1,600,Box,", 1, Empty, {0, 0, 0, ""}},
      {"UCGO @@99999999999999999999,1,1,600,Box,", 1, Empty, {0, 0, 0, ""}},
      {"UCGO @@0,1,99999999999999999999,600,Box,", 1, Empty, {0, 0, 0, ""}},
      {"UCGO @@0,1,1,99999999999999999999,Box,", 1, Empty, {0, 0, 0, ""}},
      {"UCGO @@", 1, Empty, {0, 0, 0, ""}},
      {"UCGO @@0", 1, Empty, {0, 0, 0, ""}},
      {"UCGO @@0,1", 1, Empty, {0, 0, 0, ""}},
      {"UCGO @@0,1,1", 1, Empty, {0, 0, 0, ""}},
      {"UCGO @@0,1,1,600", 1, Empty, {0, 0, 0, ""}},
      {"UCGO @@0,1,1,600,Box", 1, Empty, {0, 0, 0, ""}},
      {"UCGO @@0,1,1,600,,", 1, Empty, {0, 0, 0, ""}},
      {"UCGO @@0,1,1,600,UCGO\\Cargos\\Box,", 1, {1, 600, 1, "Box"}, {0, 0, 0, ""}},
      {"UCGO @@0,1,1,600,Ore.fine,", 1, {1, 600, 1, "Ore.fine"}, {0, 0, 0, ""}},
      // Every name that loading takes comes back, however long.
      {"UCGO @@0,1,1,1000," + name40 + ",", 1, {1, 1000, 1, name40.c_str()}, {0, 0, 0, ""}},
      {"UCGO @@0,1,1,1000," + name300 + ",@@1,1,1,600,Box,", 1, Empty, {0, 0, 0, ""}},
      {"UCGO @@0,1,1,1000,..\\Outside,", 1, Empty, {0, 0, 0, ""}},
  };
  CargoWorld w;
  w.addCargoType("Box");
  w.addCargoType(name40);
  w.addCargoType("Ore.fine");
  w.tree.write("Config/Vessels/UCGO/Outside.cfg", CargoType{}.text());
  w.start();
  for (const Case &c : cases) {
    CargoBay bay;
    w.setUpBay(bay, 3);
    bay.slots[1].releasable = 0;  // shows whether the line reached slot 1
    std::vector<char> line(c.line.begin(), c.line.end());
    line.push_back('\0');
    EXPECT_EQ(bay.LoadStateLine(line.data()), c.result) << c.line;
    if (c.result == 0) {
      EXPECT_EQ(std::string(line.data()), c.line);
    }
    const SlotState *expected[] = {&c.slot0, &c.slot1};
    for (int slot = 0; slot < 2; ++slot) {
      const CargoSlot &s = bay.slots[slot];
      EXPECT_EQ(s.occupied, expected[slot]->occupied) << c.line << " slot " << slot;
      EXPECT_EQ(s.releasable, expected[slot]->releasable) << c.line << " slot " << slot;
      if (expected[slot]->occupied) {
        EXPECT_EQ(s.mass, expected[slot]->mass) << c.line << " slot " << slot;
        EXPECT_STREQ(s.cargoName, expected[slot]->cargoName) << c.line << " slot " << slot;
      }
    }
    const int count = bay.cargoCount;
    const double total = bay.cargoMassTotal;
    bay.RecountCargo();
    EXPECT_EQ(bay.cargoCount, count) << c.line;
    EXPECT_EQ(bay.cargoMassTotal, total) << c.line;
    if (bay.baseEmptyMass >= 0) {
      EXPECT_EQ(w.emptyMass("Carrier"), bay.baseEmptyMass + bay.cargoMassTotal) << c.line;
    }
    // Each case starts from a clean carrier.
    w.carrierVessel()->SetEmptyMass(2000);
  }
}

TEST(CargoScenario, TheSavedMassReplacesTheFilesOnlyWhenItDiffers) {
  CargoWorld w;
  CargoType odd;
  odd.mass = "1250.7";
  w.addCargoType("Odd", odd);
  w.addCargoType("Box");
  w.start();
  struct Case {
    const char *line;
    double mass;
    size_t massEvents;  // changes of the carrier's empty mass
  };
  const Case cases[] = {
      {"UCGO @@0,1,1,1250,Odd,", 1250, 2},
      {"UCGO @@0,1,1,1000,Box,", 1000, 1},
      {"UCGO @@0,1,1,600,Box,", 600, 2},
  };
  for (const Case &c : cases) {
    w.carrierVessel()->SetEmptyMass(2000);
    CargoBay bay;
    w.setUpBay(bay);
    w.clearEvents();
    std::string line = c.line;
    ASSERT_EQ(bay.LoadStateLine(line.data()), 1);
    EXPECT_EQ(bay.slots[0].mass, c.mass) << c.line;
    EXPECT_EQ(bay.cargoMassTotal, c.mass) << c.line;
    EXPECT_EQ(w.emptyMass("Carrier"), 2000 + c.mass) << c.line;
    EXPECT_EQ(w.eventsOf("mass", "Carrier").size(), c.massEvents) << c.line;
  }
}

TEST(CargoScenario, AnItemThatEmptiesALoadedSlotTakesItsCargoAway) {
  struct Case {
    const char *line;
    double ownChange;  // kg the carrier added to its own empty mass before the line (crew come aboard)
    int boxesLeft;     // slot 1's box, when the line leaves it
  };
  const Case cases[] = {
      {"UCGO @@0,1,0,0,@@1,1,7,", 0, 0},
      // The carrier's own change stays: it goes into the base first.
      {"UCGO @@0,1,0,0,@@1,1,7,", 72, 0},
      {"UCGO @@0,1,0,0,", 72, 1},
      {"UCGO @@0,1,1,", 72, 1},
      // A second item for slot 0 whose type's mesh cannot be loaded: the box
      // goes, and the refused item's mass counts nowhere, nor in the base.
      {"UCGO @@0,1,1,3000,NoMesh,", 0, 1},
      {"UCGO @@0,1,1,3000,NoMesh,", 72, 1},
  };
  CargoWorld w;
  w.addCargoType("Box");
  CargoType noMesh;
  noMesh.mass = "3000";
  noMesh.mesh = "UCGO\\NoSuchMesh";
  w.addCargoType("NoMesh", noMesh);
  w.start();
  for (const Case &c : cases) {
    w.carrierVessel()->SetEmptyMass(2000);
    CargoBay bay;
    w.setUpBay(bay, 2);
    ASSERT_EQ(bay.AddCargoByName("Box", 0), 1);
    ASSERT_EQ(bay.AddCargoByName("Box", 1), 1);
    ASSERT_EQ(w.emptyMass("Carrier"), 4000);
    w.carrierVessel()->SetEmptyMass(4000 + c.ownChange);
    w.clearEvents();
    std::string line = c.line;
    EXPECT_EQ(bay.LoadStateLine(line.data()), 1) << c.line;
    EXPECT_EQ(bay.slots[0].occupied, 0) << c.line;
    EXPECT_EQ(bay.slots[1].occupied, c.boxesLeft) << c.line;
    EXPECT_EQ(bay.cargoCount, c.boxesLeft) << c.line;
    EXPECT_EQ(bay.cargoMassTotal, 1000 * c.boxesLeft) << c.line;
    EXPECT_EQ(w.emptyMass("Carrier"), 2000 + c.ownChange + 1000 * c.boxesLeft) << c.line;
    EXPECT_EQ(w.eventsOf("mesh", "Carrier", "deleted").size(), static_cast<size_t>(2 - c.boxesLeft)) << c.line;
  }
}

TEST(CargoScenario, AnInactiveOrUnreadyBayLeavesTheLinesToOthers) {
  CargoWorld w;
  w.addCargoType("Box");
  w.start();
  char line[] = "UCGO @@0,1,1,600,Box,";
  CargoBay constructed;
  EXPECT_EQ(constructed.LoadStateLine(line), 0);
  CargoBay undeclared;
  undeclared.Init(w.carrier());
  EXPECT_EQ(undeclared.LoadStateLine(line), 0);
  EXPECT_STREQ(line, "UCGO @@0,1,1,600,Box,");
  CargoBay ready;
  w.setUpBay(ready);
  EXPECT_EQ(ready.LoadStateLine(nullptr), 0);
}

TEST(CargoScenario, AppendItemWritesTheNameAndAComma) {
  char buffer[16] = "@@0,1,1,5,";
  CargoBay::AppendItem(buffer, sizeof buffer, "Box");
  EXPECT_STREQ(buffer, "@@0,1,1,5,Box,");
  char lone[16] = "@@0,1,1,5,";
  CargoBay::AppendItem(lone, sizeof lone, "");
  EXPECT_STREQ(lone, "@@0,1,1,5,,");
  char full[8] = "1234567";
  CargoBay::AppendItem(full, sizeof full, "Box");
  EXPECT_STREQ(full, "1234567");
  char tight[8] = "12345";
  CargoBay::AppendItem(tight, sizeof tight, "Box");
  EXPECT_STREQ(tight, "12345Bo");
}

// ---- through the host's scenario files, on the CargoCarrier module vessel

std::vector<std::string> CargoLines(const std::string &scenario) {
  std::vector<std::string> lines;
  std::istringstream in(scenario);
  std::string line;
  while (std::getline(in, line)) {
    const size_t start = line.find_first_not_of(" \t");
    if (start != std::string::npos && line.compare(start, 5, "UCGO ") == 0) {
      lines.push_back(line.substr(start));
    }
  }
  return lines;
}

const char *const HaulerBlock =
    "Hauler:CargoCarrier\n"
    "  STATUS Landed Moon\n"
    "  POS 10.0002 5.0\n"
    "  HEADING 30.0\n"
    "  UCGO @@0,1,1,1250,KVT_Ore_Cargo,@@1,1,1,1250,KVT_Ore_Cargo,@@2,1,0,0,\n"
    "  UCGO @@3,1,1,1250,KVT_Ore_Cargo,\n"
    "END\n";

TEST(CargoScenario, CargoAboardSurvivesSaveAndLoad) {
  CargoWorld w;
  w.addCarrierModule();
  CargoType ore;
  ore.description = "KVT Ore";
  ore.mass = "1250.7";
  w.addCargoType("KVT_Ore_Cargo", ore);
  w.start(false, HaulerBlock);
  CargoBay *bay = w.carrierBay("Hauler");
  ASSERT_NE(bay, nullptr);
  EXPECT_EQ(bay->cargoCount, 3);
  EXPECT_EQ(bay->slots[3].mass, 1250);
  EXPECT_EQ(w.emptyMass("Hauler"), 2000 + 3 * 1250);

  // Four items make 91 characters, still one line; the fifth starts the next.
  const std::vector<std::string> expected = {
      "UCGO @@0,1,1,1250,KVT_Ore_Cargo,@@1,1,1,1250,KVT_Ore_Cargo,@@2,1,0,0,@@3,1,1,1250,KVT_Ore_Cargo,",
      "UCGO @@4,1,0,0,"};
  bay->slots[2].mass = 77;  // an empty slot writes 0 whatever it held
  EXPECT_EQ(CargoLines(w.save("Scenarios/Saved1.scn")), expected);

  // A box partly consumed, and one loaded from its file (1250.7 kg, saved
  // as 1250): both come back with the mass written.
  ASSERT_EQ(bay->ConsumeCargo("kvt ore", 400), 400);
  ASSERT_EQ(bay->AddCargoByName("KVT_Ore_Cargo", 4), 1);
  EXPECT_EQ(bay->slots[4].mass, 1250.7);
  const std::string saved = w.save("Scenarios/Saved2.scn");
  EXPECT_EQ(CargoLines(saved),
            (std::vector<std::string>{
                "UCGO @@0,1,1,850,KVT_Ore_Cargo,@@1,1,1,1250,KVT_Ore_Cargo,@@2,1,0,0,@@3,1,1,1250,KVT_Ore_Cargo,",
                "UCGO @@4,1,1,1250,KVT_Ore_Cargo,"}));

  w.load("Scenarios/Saved2.scn");
  bay = w.carrierBay("Hauler");
  ASSERT_NE(bay, nullptr);
  EXPECT_EQ(bay->slots[0].mass, 850);
  EXPECT_STREQ(bay->slots[0].description, "KVT Ore");
  EXPECT_EQ(bay->slots[4].mass, 1250);
  EXPECT_EQ(bay->cargoCount, 4);
  EXPECT_EQ(bay->cargoMassTotal, 850 + 3 * 1250);
  EXPECT_EQ(w.emptyMass("Hauler"), 2000 + 850 + 3 * 1250);
  // Loading and saving again changes nothing.
  EXPECT_EQ(w.save("Scenarios/Saved3.scn"), saved);
  // The box is aboard as a mesh again: releasing it takes mesh 28 away.
  ASSERT_EQ(bay->ReleaseCargo(4), 1);
  const auto removed = w.eventsOf("mesh", "Hauler", "deleted");
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_EQ(removed[0].value("index", -1), 28);
}

TEST(CargoScenario, LongTypeNamesComeBack) {
  CargoWorld w;
  w.addCarrierModule();
  const std::string longType = "KVT_Refined_Regolith_Cargo_Type_Fifty_Characters";
  w.addCargoType(longType);
  w.start(false, "Hauler:CargoCarrier\n  STATUS Landed Moon\n  POS 10.0002 5.0\n  HEADING 30.0\nEND\n");
  CargoBay *bay = w.carrierBay("Hauler");
  ASSERT_NE(bay, nullptr);
  ASSERT_EQ(bay->AddCargoByName(longType.c_str(), 1), 1);
  w.save("Scenarios/Long.scn");
  w.load("Scenarios/Long.scn");
  bay = w.carrierBay("Hauler");
  ASSERT_NE(bay, nullptr);
  EXPECT_EQ(bay->slots[1].occupied, 1);
  EXPECT_EQ(std::string(bay->slots[1].cargoName), longType);
  EXPECT_EQ(w.emptyMass("Hauler"), 3000);
}

// A bay without its add-on reads no cargo and writes no block of its own,
// but the cargo lines it was offered go back into the save as they came, so
// that the cargo is there again once the add-on is.
TEST(CargoScenario, WithoutTheAddonTheCargoLinesAreWrittenBackAsRead) {
  const std::string item = "@@0,1,1,1250,KVT_Ore_Cargo,";
  const std::string longest = "UCGO @@0,1,1,1000," + std::string(CargoBay::KeptLineChars - 19, 'N') + ",";
  const std::string tooLong = "UCGO @@0,1,1,1000," + std::string(CargoBay::KeptLineChars - 18, 'N') + ",";
  std::vector<std::string> fortyOne;
  for (int i = 0; i < 41; ++i) fortyOne.push_back("UCGO @@" + std::to_string(i % 5) + ",1,0,0," + std::string(i, 'x'));
  struct Case {
    const char *what;
    std::vector<std::string> lines;
    std::vector<std::string> saved;
  };
  const Case cases[] = {
      {"no cargo lines", {}, {}},
      {"two lines",
       {"UCGO " + item + "@@1,1,1,1250,KVT_Ore_Cargo,@@2,1,0,0,", "UCGO " + item},
       {"UCGO " + item + "@@1,1,1,1250,KVT_Ore_Cargo,@@2,1,0,0,", "UCGO " + item}},
      {"the longest line kept, a longer one left to the host", {tooLong, longest, tooLong}, {longest}},
      {"forty lines kept, the forty-first left", fortyOne,
       std::vector<std::string>(fortyOne.begin(), fortyOne.begin() + CargoBay::KeptLineCount)},
  };
  ASSERT_EQ(longest.size(), static_cast<size_t>(CargoBay::KeptLineChars));
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    CargoWorld w(false);
    w.addCarrierModule();
    w.addCargoType("KVT_Ore_Cargo");
    std::string block = "Hauler:CargoCarrier\n  STATUS Landed Moon\n  POS 10.0002 5.0\n  HEADING 30.0\n";
    for (const std::string &line : c.lines) block += "  " + line + "\n";
    w.start(false, block + "END\n");
    CargoBay *bay = w.carrierBay("Hauler");
    ASSERT_NE(bay, nullptr);
    EXPECT_EQ(bay->addonPresent, 0);
    EXPECT_EQ(bay->slots[0].occupied, 0);
    EXPECT_EQ(w.emptyMass("Hauler"), 2000);
    EXPECT_EQ(CargoLines(w.save("Scenarios/Saved.scn")), c.saved);
  }
}

}  // namespace
