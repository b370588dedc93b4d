// Loading cargo by type name: the results and the file rules, type names and
// where they may lead, slot choice, and the vessel's mass bookkeeping.
#include <gtest/gtest.h>

#include <string>

#include "cargo_world.h"

using cargo_test::CargoType;
using cargo_test::CargoWorld;

namespace {

CargoType WithMass(const std::string &mass) {
  CargoType t;
  t.mass = mass;
  return t;
}

// The bookkeeping invariant: totals as a recount gives them, and the
// vessel's empty mass as base plus cargo.
void ExpectBooksBalanced(CargoBay &bay, const CargoWorld &w) {
  const int count = bay.cargoCount;
  const double total = bay.cargoMassTotal;
  bay.RecountCargo();
  EXPECT_EQ(bay.cargoCount, count);
  EXPECT_DOUBLE_EQ(bay.cargoMassTotal, total);
  EXPECT_GE(bay.cargoCount, 0);
  EXPECT_GE(bay.cargoMassTotal, 0);
  EXPECT_DOUBLE_EQ(w.emptyMass("Carrier"), bay.baseEmptyMass + bay.cargoMassTotal);
}

TEST(CargoLoading, ResultsFollowTheCargoFile) {
  CargoWorld w;
  struct Case {
    const char *type;
    CargoType file;
    int expected;
  };
  CargoType noAttachment, noMesh, noDescription, noMass, badMesh, keyWithoutEq, wrongId, indentedP, nanMass;
  noAttachment.attachment = false;
  noMesh.mesh.clear();
  noDescription.description.clear();
  noMass.mass.clear();
  badMesh.mesh = "UCGO\\NoSuchMesh";
  keyWithoutEq.mesh.clear();
  keyWithoutEq.extraLines = "MeshName UCGO\\TestBox\n";
  wrongId.attachment = false;
  wrongId.extraLines = "P 0 -0.65 0  0 -1 0  0 0 1  UCGOCX\n";
  indentedP.attachment = false;
  indentedP.extraLines = " P 0 -0.65 0  0 -1 0  0 0 1  UCGOCG\n";
  nanMass.mass = "nan";
  CargoType commentedMesh;
  commentedMesh.mesh.clear();
  commentedMesh.extraLines = ";MeshName = UCGO\\TestBox\n";
  CargoType emptyMassValue = WithMass("");
  emptyMassValue.extraLines = "Mass =\n";
  const Case cases[] = {
      {"Good", CargoType{}, 1},
      {"NoAttachment", noAttachment, -2},
      {"NoMesh", noMesh, -2},
      {"NoDescription", noDescription, -2},
      {"NoMass", noMass, -2},
      {"BadMesh", badMesh, -2},
      {"KeyWithoutEq", keyWithoutEq, -2},
      {"CommentedMesh", commentedMesh, -2},
      {"WrongId", wrongId, -2},
      {"IndentedP", indentedP, -2},
      {"ZeroMass", WithMass("0"), 1},
      {"FullMass", WithMass("10000"), 1},
      {"NegativeMass", WithMass("-0.001"), -1},
      {"OverMass", WithMass("10000.0001"), -1},
      {"NanMass", nanMass, -1},
      // A key with '=' but no number counts; the mass stays 0.
      {"EmptyMassValue", emptyMassValue, 1},
  };
  for (const Case &c : cases) {
    w.addCargoType(c.type, c.file);
  }
  w.start();
  for (const Case &c : cases) {
    CargoBay bay;
    w.setUpBay(bay);
    EXPECT_EQ(bay.AddCargoByName(c.type, 0), c.expected) << c.type;
    EXPECT_EQ(bay.slots[0].occupied, c.expected == 1 ? 1 : 0) << c.type;
  }
}

TEST(CargoLoading, RefusedBeforeReadingAnything) {
  CargoWorld w;
  w.addCargoType("none");
  w.addCargoType("Box");
  w.start();
  CargoBay bay;
  w.setUpBay(bay, 2);
  EXPECT_EQ(bay.AddCargoByName("none", -1), 0);
  EXPECT_EQ(bay.AddCargoByName("Missing", -1), 0);
  EXPECT_EQ(bay.AddCargoByName(nullptr, -1), 0);
  EXPECT_EQ(bay.AddCargoByName("Box", -2), 0);
  EXPECT_EQ(bay.AddCargoByName("Box", 40), 0);
  EXPECT_EQ(bay.AddCargoByName("Box", 5), 0);  // not declared
  EXPECT_EQ(bay.PutCargoInSlot("Box", -1), 0);
  EXPECT_EQ(bay.cargoCount, 0);

  // Slot -1 takes the lowest free declared slot, and fails when all are full.
  EXPECT_EQ(bay.AddCargoByName("Box", -1), 1);
  EXPECT_EQ(bay.slots[0].occupied, 1);
  EXPECT_EQ(bay.AddCargoByName("Box", -1), 1);
  EXPECT_EQ(bay.slots[1].occupied, 1);
  EXPECT_EQ(bay.AddCargoByName("Box", -1), 0);

  CargoBay undeclared;
  undeclared.Init(w.carrier());
  EXPECT_EQ(undeclared.AddCargoByName("Box", -1), 0);
}

TEST(CargoLoading, TypeNamesWithPrefixOrExtensionOpenTheSameFile) {
  CargoWorld w;
  CargoType described;
  described.description = "Box file";
  w.addCargoType("Box", described);
  CargoType fine;
  fine.description = "Fine ore";
  w.addCargoType("Ore.fine", fine);
  w.start();
  struct Case {
    const char *given;
    const char *cargoName;
    const char *description;
  };
  const Case cases[] = {
      {"UCGO\\Cargos\\Box", "Box", "Box file"},
      {"ucgo\\cargos\\Box", "Box", "Box file"},
      {"Box", "Box", "Box file"},
      {"Box.cfg", "Box", "Box file"},
      {"Box.CFG", "Box", "Box file"},
      // Only a final extension is dropped: the name kept leads back to the
      // same file when saved and loaded, and names the class released.
      {"Ore.fine", "Ore.fine", "Fine ore"},
      {"Ore.fine.cfg", "Ore.fine", "Fine ore"},
      {"UCGO\\Cargos\\Ore.fine.Cfg", "Ore.fine", "Fine ore"},
  };
  for (const Case &c : cases) {
    CargoBay bay;
    w.setUpBay(bay);
    ASSERT_EQ(bay.AddCargoByName(c.given, 0), 1) << c.given;
    EXPECT_STREQ(bay.slots[0].cargoName, c.cargoName) << c.given;
    EXPECT_STREQ(bay.slots[0].description, c.description) << c.given;
    w.clearEvents();
    ASSERT_EQ(bay.ReleaseCargo(0), 1) << c.given;
    const auto created = w.eventsOf("created");
    ASSERT_EQ(created.size(), 1u) << c.given;
    EXPECT_EQ(created[0].value("class", ""), std::string("UCGO\\Cargos\\") + c.cargoName) << c.given;
  }
}

TEST(CargoLoading, TypeNamesStayInsideTheCargoFolderAndTheirBuffer) {
  CargoWorld w;
  // Real cargo files that a crafted name could reach.
  w.tree.write("Config/Vessels/UCGO/Outside.cfg", CargoType{}.text());
  w.tree.write("Config/Vessels/Outside.cfg", CargoType{}.text());
  w.addCargoType("Sub/Box");
  const std::string longest(68, 'a');  // 27 + 68 + 4 characters: the path just fits
  const std::string tooLong(69, 'b');
  const std::string longestWithExt = std::string(68, 'c') + ".cfg";
  const std::string tooLongWithExt = std::string(69, 'd') + ".cfg";
  w.addCargoType(longest);
  w.addCargoType(tooLong);
  w.tree.write("Config/Vessels/UCGO/Cargos/" + longestWithExt, CargoType{}.text());
  w.tree.write("Config/Vessels/UCGO/Cargos/" + tooLongWithExt, CargoType{}.text());
  w.start();
  const std::string hundred(150, 'e');
  struct Case {
    std::string given;
    int expected;
  };
  const Case cases[] = {
      {"..\\Outside", 0},
      {"../Outside", 0},
      {"UCGO\\Cargos\\..\\Outside", 0},
      {"Sub\\..\\..\\Outside", 0},
      {"..\\..\\Outside", 0},
      {".. \\Outside", 0},
      {"\\Outside", 0},
      {"/Outside", 0},
      {"C:\\Outside", 0},
      {"C:Outside", 0},
      {hundred, 0},
      {tooLong, 0},
      {tooLongWithExt, 0},
      {longest, 1},
      {longestWithExt, 1},
      {"Sub\\Box", 1},
      {"Sub\\.\\Box", 1},
  };
  for (const Case &c : cases) {
    CargoBay bay;
    w.setUpBay(bay);
    EXPECT_EQ(bay.AddCargoByName(c.given.c_str(), 0), c.expected) << c.given;
  }
}

TEST(CargoLoading, LongLinesAndValuesAreCutNotOverrun) {
  CargoWorld w;
  CargoType t;
  t.description = std::string(300, 'D');
  t.forceName = std::string(300, 'F');
  t.extraLines = "; " + std::string(1000, ';') + "\n" + std::string(600, 'P') + "\n";
  w.addCargoType("Long", t);
  CargoType named;
  named.description = "A description longer than twenty-nine characters";
  named.forceName = "Orebox12345";
  w.addCargoType("Named", named);
  CargoType longMesh;
  longMesh.mesh = std::string(400, 'M');
  w.addCargoType("LongMesh", longMesh);
  w.start();
  CargoBay bay;
  w.setUpBay(bay, 3);
  EXPECT_EQ(bay.AddCargoByName("Long", 0), 1);
  EXPECT_EQ(std::string(bay.slots[0].description), std::string(29, 'D'));
  EXPECT_EQ(std::string(bay.slots[0].forceName), std::string(7, 'F'));
  EXPECT_EQ(bay.AddCargoByName("Named", 1), 1);
  EXPECT_STREQ(bay.slots[1].description, "A description longer than twe");
  EXPECT_STREQ(bay.slots[1].forceName, "Orebox1");
  EXPECT_EQ(bay.AddCargoByName("LongMesh", 2), -2);
}

TEST(CargoLoading, MassLimitsAndTheVesselsEmptyMass) {
  CargoWorld w;
  w.addCargoType("Six", WithMass("600"));
  w.addCargoType("Four", WithMass("400"));
  w.addCargoType("FourPlus", WithMass("401"));
  w.addCargoType("Zero", WithMass("0"));
  w.start();
  CargoBay bay;
  w.setUpBay(bay, 4);
  bay.SetMaxCargoMass(1000);
  ASSERT_EQ(bay.AddCargoByName("Six", -1), 1);
  EXPECT_EQ(bay.baseEmptyMass, 2000);
  EXPECT_EQ(bay.cargoMassTotal, 600);
  EXPECT_EQ(w.emptyMass("Carrier"), 2600);
  EXPECT_EQ(bay.AddCargoByName("FourPlus", -1), -1);
  EXPECT_EQ(bay.cargoMassTotal, 600);
  EXPECT_EQ(bay.AddCargoByName("Four", -1), 1);
  EXPECT_EQ(bay.cargoMassTotal, 1000);
  EXPECT_EQ(bay.cargoCount, 2);
  // Cargo of 0 kg sits in its slot but weighs nothing and counts nothing.
  EXPECT_EQ(bay.AddCargoByName("Zero", -1), 1);
  EXPECT_EQ(bay.slots[2].occupied, 1);
  EXPECT_EQ(bay.cargoCount, 2);
  EXPECT_EQ(w.emptyMass("Carrier"), 3000);
  ExpectBooksBalanced(bay, w);
}

TEST(CargoLoading, TheVesselsOwnMassChangeGoesIntoTheBase) {
  CargoWorld w;
  w.addCargoType("Three", WithMass("300"));
  w.start();
  CargoBay bay;
  w.setUpBay(bay, 2);
  ASSERT_EQ(bay.AddCargoByName("Three", 0), 1);
  EXPECT_EQ(bay.baseEmptyMass, 2000);
  std::string error;
  ASSERT_TRUE(w.sim->setEmptyMass("Carrier", 2500, error)) << error;
  ASSERT_EQ(bay.AddCargoByName("Three", 1), 1);
  EXPECT_EQ(bay.baseEmptyMass, 2200);
  EXPECT_EQ(w.emptyMass("Carrier"), 2800);
  ExpectBooksBalanced(bay, w);
}

TEST(CargoLoading, CargoOfTheFullTenTonnesIsCountedLikeAnyOther) {
  CargoWorld w;
  w.addCargoType("Full", WithMass("10000"));
  w.start();
  CargoBay bay;
  w.setUpBay(bay, 2);
  ASSERT_EQ(bay.AddCargoByName("Full", 0), 1);
  EXPECT_EQ(bay.cargoCount, 1);
  EXPECT_EQ(bay.cargoMassTotal, 10000);
  EXPECT_EQ(w.emptyMass("Carrier"), 12000);
  ExpectBooksBalanced(bay, w);
  // Taken from aboard in part, then wholly: the totals follow each step.
  EXPECT_EQ(bay.ConsumeCargo("Test Box", 4000), 4000);
  EXPECT_EQ(bay.cargoMassTotal, 6000);
  ExpectBooksBalanced(bay, w);
  EXPECT_EQ(bay.ConsumeCargo("Test Box", 6000), 6000);
  EXPECT_EQ(bay.cargoCount, 0);
  EXPECT_EQ(bay.cargoMassTotal, 0);
  ExpectBooksBalanced(bay, w);
  EXPECT_EQ(w.emptyMass("Carrier"), 2000);
}

TEST(CargoLoading, ReplacingCargoInASlotKeepsTheBooks) {
  CargoWorld w;
  w.addCargoType("Six", WithMass("600"));
  w.addCargoType("Nine", WithMass("900"));
  w.start();
  CargoBay bay;
  w.setUpBay(bay);
  bay.SetMaxCargoMass(1000);
  ASSERT_EQ(bay.AddCargoByName("Six", 0), 1);
  ASSERT_EQ(bay.AddCargoByName("Nine", 0), 1);
  EXPECT_EQ(bay.cargoMassTotal, 900);
  EXPECT_EQ(bay.cargoCount, 1);
  // Refused over the limit: the cargo already there still counts.
  bay.SetMaxCargoMass(800);
  EXPECT_EQ(bay.AddCargoByName("Nine", 0), -1);
  EXPECT_STREQ(bay.slots[0].cargoName, "Nine");
  EXPECT_EQ(bay.cargoMassTotal, 900);
  ExpectBooksBalanced(bay, w);
}

TEST(CargoLoading, SlotStatusAndTheSlotsMesh) {
  CargoWorld w;
  w.addCargoType("Box");
  w.start();
  CargoBay bay;
  w.setUpBay(bay, 2);
  bay.SetSlotMeshVisibilityMode(1, 3);
  w.clearEvents();
  ASSERT_EQ(bay.AddCargoByName("Box", 1), 1);
  struct Case {
    int slot;
    int status;
  };
  const Case cases[] = {{-1, 0}, {40, 0}, {0, 0}, {1, 1}, {2, 0}};
  for (const Case &c : cases) {
    EXPECT_EQ(bay.GetSlotStatus(c.slot), c.status) << c.slot;
  }
  const auto inserted = w.eventsOf("mesh", "Carrier", "inserted");
  ASSERT_EQ(inserted.size(), 1u);
  EXPECT_EQ(inserted[0].value("index", -1), 25);
  const auto shown = w.eventsOf("mesh", "Carrier", "visibility");
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().value("mode", -1), 3);
}

}  // namespace
