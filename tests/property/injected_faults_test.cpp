// Faults injected into the simulator: vessel creation that fails, meshes
// that cannot be loaded, files that vanish or cannot be opened, a crew table
// that is full or whose count is corrupted. The ships must keep their cargo,
// masses and totals consistent, refuse cleanly, and the simulator must
// report each fault it injected.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>

#include "crew_module.h"
#include "property_world.h"
#include "ship/property_ship_api.h"
#include "world/world.h"

namespace property_test {
namespace {

const char *const OreFile = "Config/Vessels/UCGO/Cargos/Ore_Box.cfg";

class InjectedFaults : public ::testing::Test {
protected:
  void SetUp() override {
    world.recordFaults = true;
    std::string error;
    ASSERT_TRUE(world.start(error)) << error;
  }
  void TearDown() override {
    if (world.sim) {
      world.sim->clearFaults();
      std::string ignored;
      simhost::crewTableRestore(*world.sim, ignored);
    }
  }

  // The slot's cargo mesh in the host's record of the ship.
  bool SlotMeshShown(int ship, int slot) {
    const simhost::VesselRecord *record = world.sim->world().find(ShipNames[ship]);
    const size_t index = static_cast<size_t>(CargoBay::FirstSlotMesh + slot);
    return record && index < record->meshes.size() && record->meshes[index].used;
  }
  std::string FaultsStruck() {
    std::string kinds;
    for (const nlohmann::json &e : world.faults) kinds += e.value("fault", "") + " ";
    return kinds;
  }
  int FreeCargo() { return world.census().free; }

  PropertyWorld world;
};

// A release whose cargo vessel cannot be created keeps the cargo aboard,
// its mesh and its mass; once the fault is gone the release goes through.
TEST_F(InjectedFaults, FailedReleaseKeepsCargoMeshAndMass) {
  struct Case {
    int ship;
    const char *classPattern;
  } cases[] = {{0, "*"}, {1, "*"}, {0, "UCGO\\Cargos\\Ore_Box"}, {1, "ucgo\\cargos\\ore_box"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(ShipNames[c.ship]) + " " + c.classPattern);
    std::string error;
    ASSERT_TRUE(world.start(error)) << error;
    CargoBay *bay = world.bay(c.ship);
    ASSERT_EQ(bay->AddCargoByName("Ore_Box", 2), 1);
    world.loadedMass += 1000;
    const double emptyBefore = oapiGetEmptyMass(world.ship(c.ship));

    world.sim->failVesselCreation(c.classPattern, 1);
    EXPECT_NE(bay->ReleaseCargo(2), 1);
    EXPECT_EQ(bay->slots[2].occupied, 1);
    EXPECT_EQ(bay->slots[2].mass, 1000);
    EXPECT_TRUE(SlotMeshShown(c.ship, 2));
    EXPECT_EQ(oapiGetEmptyMass(world.ship(c.ship)), emptyBefore);
    EXPECT_EQ(FreeCargo(), 0);
    EXPECT_EQ(world.checkInvariants(), "");
    EXPECT_EQ(FaultsStruck(), "create-fails ");

    // The fault was for one creation only.
    EXPECT_EQ(bay->ReleaseCargo(2), 1);
    EXPECT_FALSE(SlotMeshShown(c.ship, 2));
    EXPECT_EQ(FreeCargo(), 1);
    EXPECT_EQ(world.checkInvariants(), "");
  }
}

// A load that cannot be done changes nothing: no slot, mass or total moves,
// and a file that was only unopenable is still there afterwards.
TEST_F(InjectedFaults, FailedCargoLoadChangesNothing) {
  struct Case {
    const char *fault;
    int expected;
    bool fileRemains;
  } cases[] = {{"mesh-fails", -2, true}, {"file-unopenable", 0, true}, {"file-vanishes", 0, false}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.fault);
    std::string error;
    world.tree.write(OreFile, "UcDescription = Ore Box\nMass = 1000\nSize = 1.3\nMeshName = UCGO\\TestBox\n"
                              "BEGIN_ATTACHMENT\nP 0 -0.65 0  0 -1 0  0 0 1  UCGOCG\nEND_ATTACHMENT\n");
    ASSERT_TRUE(world.start(error)) << error;
    CargoBay *bay = world.bay(0);
    ASSERT_EQ(bay->AddCargoByName("Lunar_Rock", 0), 1);
    world.loadedMass += 2500;
    const double emptyBefore = oapiGetEmptyMass(world.ship(0));

    const std::string fault = c.fault;
    if (fault == "mesh-fails") world.sim->failMesh("UCGO/TestBox");
    if (fault == "file-unopenable") {
      ASSERT_TRUE(world.sim->blockFile("config\\vessels\\UCGO\\Cargos\\Ore_Box.cfg", error)) << error;
    }
    if (fault == "file-vanishes") {
      ASSERT_TRUE(world.sim->vanishFile(OreFile, error)) << error;
    }

    EXPECT_EQ(bay->AddCargoByName("Ore_Box", -1), c.expected);
    EXPECT_EQ(bay->slots[1].occupied, 0);
    EXPECT_FALSE(SlotMeshShown(0, 1));
    EXPECT_EQ(bay->cargoCount, 1);
    EXPECT_EQ(bay->cargoMassTotal, 2500);
    EXPECT_EQ(oapiGetEmptyMass(world.ship(0)), emptyBefore);
    EXPECT_EQ(world.checkInvariants(), "");
    EXPECT_EQ(FaultsStruck(), std::string(c.fault) + " ");
    EXPECT_EQ(std::filesystem::exists(world.tree.path(OreFile)), c.fileRemains);
  }
}

// Cargo lines of a saved ship whose cargo can no longer be loaded leave
// those slots empty, and the masses still add up.
TEST_F(InjectedFaults, ScenarioCargoThatCannotLoadLeavesConsistentShips) {
  std::string error;
  world.tree.write("Meshes/UCGO/OreMesh.msh", world.tree.read("Meshes/UCGO/TestBox.msh"));
  ASSERT_EQ(world.bay(0)->AddCargoByName("Ore_Box", -1), 1);
  ASSERT_EQ(world.bay(0)->AddCargoByName("Lunar_Rock", -1), 1);
  const std::string saved = world.saveText(error);
  ASSERT_FALSE(saved.empty()) << error;

  // The ships' class mesh is loaded before their cargo lines are read, so
  // only the cargo's mesh is faulty: a mesh of its own.
  world.tree.write("Meshes/UCGO/OreMesh.msh", world.tree.read("Meshes/UCGO/TestBox.msh"));
  world.tree.write(OreFile, "UcDescription = Ore Box\nMass = 1000\nMeshName = UCGO\\OreMesh\n"
                            "BEGIN_ATTACHMENT\nP 0 -0.65 0  0 -1 0  0 0 1  UCGOCG\nEND_ATTACHMENT\n");
  world.beforeLoad = [](simhost::Simulation &sim) { sim.failMesh("UCGO\\OreMesh"); };
  ASSERT_TRUE(world.loadText(saved, error)) << error;
  world.beforeLoad = nullptr;
  CargoBay *bay = world.bay(0);
  ASSERT_NE(bay, nullptr);
  EXPECT_EQ(bay->slots[0].occupied, 0);
  EXPECT_EQ(bay->slots[1].occupied, 1);
  EXPECT_EQ(bay->cargoMassTotal, 2500);
  EXPECT_EQ(oapiGetEmptyMass(world.ship(0)), ShipOwnMass + 2500);
  EXPECT_EQ(world.checkInvariants(), "");
  EXPECT_EQ(FaultsStruck(), "mesh-fails ");

  ASSERT_TRUE(world.sim->blockFile(OreFile, error)) << error;
  EXPECT_EQ(bay->AddCargoByName("Ore_Box", 3), 0);
  EXPECT_EQ(world.checkInvariants(), "");
}

// Vessels that cannot be created are reported and the scenario that needed
// them is refused whole: no vessel of it is left.
TEST_F(InjectedFaults, ScenarioWhoseVesselCannotBeCreatedIsRefused) {
  std::string error;
  const std::string saved = world.saveText(error);
  ASSERT_FALSE(saved.empty()) << error;
  world.tree.write("Scenarios/Again.scn", saved);
  world.sim->failVesselCreation("PropertyShip", -1);
  EXPECT_FALSE(world.sim->loadScenario(world.tree.path("Scenarios/Again.scn"), error));
  EXPECT_NE(error.find("injected"), std::string::npos) << error;
  EXPECT_EQ(world.sim->world().count(), 0u);
}

// Placing a vessel while its class file or its mesh is faulty fails, and
// the fault is reported; a vanished class file is gone until it is made
// again, and then seen at the class's next use.
TEST_F(InjectedFaults, PlacedVesselsMeetFaultyClassFilesAndMeshes) {
  std::string error;
  world.tree.write("Config/Vessels/Crate.cfg", "ClassName = Crate\nMass = 100\nMeshName = UCGO\\TestBox\n");
  ASSERT_TRUE(world.sim->blockFile("Config\\Vessels\\Crate.cfg", error)) << error;
  EXPECT_FALSE(world.sim->placeVessel("C1", "Crate", "Lander", 20, 0, 0, error));
  world.sim->clearFaults();
  EXPECT_TRUE(world.sim->placeVessel("C2", "Crate", "Lander", 20, 0, 0, error)) << error;

  world.tree.write("Config/Vessels/Crate2.cfg", "ClassName = Crate2\nMass = 100\n");
  ASSERT_TRUE(world.sim->vanishFile("Config/Vessels/Crate2.cfg", error)) << error;
  EXPECT_FALSE(world.sim->placeVessel("C3", "Crate2", "Lander", 25, 0, 0, error));
  EXPECT_FALSE(world.sim->placeVessel("C4", "Crate2", "Lander", 25, 0, 0, error));
  EXPECT_FALSE(world.sim->vanishFile("Config/Vessels/Crate2.cfg", error));
  EXPECT_EQ(FaultsStruck(), "file-unopenable file-vanishes ");
  EXPECT_EQ(world.faults[0].value("file", ""), "Config/Vessels/Crate.cfg");
  world.sim->clearFaults();
  world.tree.write("Config/Vessels/Crate2.cfg", "ClassName = Crate2\nMass = 100\n");
  EXPECT_TRUE(world.sim->placeVessel("C5", "Crate2", "Lander", 25, 0, 0, error)) << error;
}

// With the crew table full or its count corrupted, declaring an action area
// fails cleanly or finds a free entry, and nothing reads outside the table.
// A count at or below zero hides the vessel's declared area from the calls
// that search the used entries only: they refuse it.
TEST_F(InjectedFaults, CrewTableFullOrMiscountedRefusesCleanly) {
  struct Case {
    const char *name;
    bool full;
    int count;
    int declared, found;
  } cases[] = {{"full", true, 0, 0, 0},
               {"count -1", false, -1, 1, 0},
               {"count INT_MIN", false, INT_MIN, 1, 0},
               {"count 2000", false, 2000, 1, 1},
               {"count 2001", false, 2001, 1, 1},
               {"count INT_MAX", false, INT_MAX, 1, 1},
               {"full, count INT_MAX", true, INT_MAX, 0, 0}};
  world.tree.write("Config/Vessels/Hut.cfg", "ClassName = Hut\nMass = 1000\n");
  int huts = 0;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    world.faults.clear();
    // A vessel of its own for each case, all alive at once, so that no
    // case's area is the rewritten area of an earlier one.
    const std::string hut = "Hut" + std::to_string(++huts);
    ASSERT_TRUE(world.sim->placeVessel(hut, "Hut", "Lander", 30.0 * huts, 0, 0, error)) << error;
    if (c.full) {
      ASSERT_TRUE(simhost::crewTableFull(*world.sim, error)) << error;
    }
    if (c.count != 0) {
      ASSERT_TRUE(simhost::crewTableCount(*world.sim, c.count, error)) << error;
    }
    {
      CrewRoster roster;
      std::string name = hut;
      ASSERT_EQ(roster.Init(oapiGetVesselByName(name.data())), 1);
      ASSERT_EQ(roster.DefineAirlock(0, -3, 3, 0, 4, -7, 7), 1);
      EXPECT_EQ(roster.DeclareActionArea(7, _V(5, 0, 2), 3, 1, "click.wav", "Work"), c.declared);
      EXPECT_EQ(roster.SetActionAreaEnabled(7, 0), c.found);
      EXPECT_EQ(roster.SetActionAreaText(7, "Rest"), c.found);
      EXPECT_EQ(roster.PollActionArea(), -1);
      EXPECT_EQ(roster.DeclaredAreaCount(), c.declared);
    }
    EXPECT_FALSE(world.faults.empty());
    EXPECT_EQ(world.faults.front().value("fault", ""), c.full ? "crew-table-full" : "crew-count");
    ASSERT_TRUE(simhost::crewTableRestore(*world.sim, error)) << error;
  }
}

}  // namespace
}  // namespace property_test
