// Vessel classes: passive vessels defined by their files, module vessels
// made by their plugins in the host's order, and classes that cannot be
// made.
#include "Orbitersdk.h"
#include "sim_tree.h"
#include "world/vessel.h"
#include "world/world.h"

using simtest::SimTree;

namespace {

class Classes : public ::testing::Test {
protected:
  void SetUp() override {
    tree.addProbe();
    tree.write("Config/Vessels/UCGO/Cargos/Rock.cfg",
               "; mined rock\nUcDescription = Mined Rock (Lunar)\nSize = 1.5 ; metres\nMass = 2000\n"
               "MeshName = UCGO\\Rock\nTouchdownPoints = 0 -0.5 1  -1 -0.5 -1  1 -0.5 -1\n"
               "ucForceName = Rock\nBEGIN_ATTACHMENT\nP 0 -0.65 0  0 -1 0  0 0 1  UCGOCG\n"
               "C 0 1 0  0 1 0  1 0 0  A_VERY_LONG_IDENTIFIER_OF_40_CHARACTERS_X\nEND_ATTACHMENT\n");
    tree.write("Meshes/UCGO/Rock.msh", "MSHX1\nGROUPS 1\nGEOM 3 1\n0 0 0\n1 0 0\n0 0 1\n0 1 2\n");
    tree.write("Scenarios/base.scn", simtest::scenario(simtest::landedShip("Base", "Probe", 10, 10, 0)));
    std::string error;
    ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/base.scn"), error)) << error;
    base = oapiGetVesselInterface(oapiGetVesselByIndex(0));
  }
  OBJHANDLE create(const char *name, const char *cls) {
    VESSELSTATUS2 vs{};
    vs.version = 2;
    base->GetStatusEx(&vs);
    return oapiCreateVesselEx(name, cls, &vs);
  }
  SimTree tree;
  simhost::Simulation sim{tree.root()};
  VESSEL *base = nullptr;
};

TEST_F(Classes, PassiveClassComesFromItsFile) {
  OBJHANDLE h = create("Rock01", "UCGO\\Cargos\\Rock");
  ASSERT_NE(h, nullptr);
  VESSEL *v = oapiGetVesselInterface(h);
  EXPECT_STREQ(v->GetClassNameA(), "UCGO\\Cargos\\Rock");
  EXPECT_DOUBLE_EQ(v->GetSize(), 1.5);
  EXPECT_DOUBLE_EQ(v->GetEmptyMass(), 2000);
  EXPECT_DOUBLE_EQ(oapiGetEmptyMass(h), 2000);
  EXPECT_DOUBLE_EQ(v->GetCOG_elev(), 0.5);
  EXPECT_EQ(v->GetMeshCount(), 1u);
  ASSERT_EQ(v->AttachmentCount(true), 1u);
  ASSERT_EQ(v->AttachmentCount(false), 1u);
  EXPECT_STREQ(v->GetAttachmentId(v->GetAttachmentHandle(true, 0)), "UCGOCG");
  // Ids are kept up to 32 characters.
  EXPECT_STREQ(v->GetAttachmentId(v->GetAttachmentHandle(false, 0)), "A_VERY_LONG_IDENTIFIER_OF_40_CHA");
  EXPECT_EQ(v->GetAttachmentStatus(v->GetAttachmentHandle(true, 0)), nullptr);
  VECTOR3 pos, dir, rot;
  v->GetAttachmentParams(v->GetAttachmentHandle(true, 0), pos, dir, rot);
  EXPECT_DOUBLE_EQ(pos.y, -0.65);
  EXPECT_DOUBLE_EQ(dir.y, -1);
  EXPECT_DOUBLE_EQ(rot.z, 1);
  auto *record = static_cast<simhost::VesselRecord *>(h);
  ASSERT_NE(record->meshes[0].mesh, nullptr);
  EXPECT_EQ(record->meshes[0].name, "UCGO\\Rock");
}

TEST_F(Classes, ClassesThatCannotBeMadeAreRefused) {
  tree.write("Config/Vessels/NoModule.cfg", "Module = Nowhere\n");
  tree.write("Config/Vessels/BadSize.cfg", "Size = big\n");
  tree.write("Config/Vessels/BadAttach.cfg", "BEGIN_ATTACHMENT\nP 1 2 3\nEND_ATTACHMENT\n");
  tree.write("Config/Vessels/NoInit.cfg", "Module = NoInit\n");
  tree.write("Modules/NoInit.dll", "not a library");
  simtest::EventLog log;
  log.attach(sim);
  const char *refused[] = {"Missing", "NoModule", "BadSize", "BadAttach", "NoInit", ""};
  for (const char *cls : refused) {
    EXPECT_EQ(create("X", cls), nullptr) << cls;
    EXPECT_EQ(oapiGetVesselCount(), 1u) << cls;
  }
  // Taken names (ignoring case), empty names and a refused ovcInit.
  EXPECT_EQ(create("base", "Probe"), nullptr);
  EXPECT_EQ(create("", "Probe"), nullptr);
  EXPECT_EQ(create("NullVessel", "Probe"), nullptr);
  EXPECT_EQ(oapiGetVesselCount(), 1u);
  EXPECT_TRUE(log.of("created").empty());
  auto notes = log.of("note");
  ASSERT_FALSE(notes.empty());
  EXPECT_NE(notes[0]["text"].get<std::string>().find("unknown vessel class Missing"), std::string::npos);
  // A class file that appears or is put right later in the run is read at
  // the class's next use.
  for (const char *cls : {"Missing", "BadSize", "BadAttach"}) {
    tree.addPassiveClass(cls);
    EXPECT_NE(create(cls, cls), nullptr) << cls;
  }
}

TEST_F(Classes, ModuleVesselsGetTheirCallbacksInOrder) {
  simtest::clearProbeLog(tree);
  auto initCount = simtest::probeExport<int (*)()>(tree, "ProbeInitCount");
  ASSERT_NE(initCount, nullptr);
  EXPECT_EQ(initCount(), 1);  // once per process, however many vessels
  ASSERT_NE(create("Second", "probe"), nullptr);
  EXPECT_EQ(simtest::probeLog(tree),
            "init Second\nsetclasscaps Second\nsetstate Second\npostcreation Second\nvisual Second 1 set\n");
  EXPECT_EQ(initCount(), 1);
  VESSEL *v = oapiGetVesselInterface(oapiGetVesselByName(const_cast<char *>("Second")));
  EXPECT_DOUBLE_EQ(v->GetEmptyMass(), 500);
  EXPECT_DOUBLE_EQ(v->GetCOG_elev(), 1.5);
  EXPECT_NEAR(v->GetAltitude(), 1.5, 1e-6);
  simtest::clearProbeLog(tree);
  std::string error;
  ASSERT_TRUE(sim.deleteVessel("Second", error)) << error;
  EXPECT_EQ(simtest::probeLog(tree), "exit Second\n");
}

TEST_F(Classes, ScenarioVesselsLoadTheirBlock) {
  simtest::clearProbeLog(tree);
  tree.write("Scenarios/p.scn",
             simtest::scenario(simtest::landedShip("P1", "Probe", 1, 1, 0, "  PROBE first line\n")));
  std::string error;
  ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/p.scn"), error)) << error;
  EXPECT_EQ(simtest::probeLog(tree),
            "exit Base\ninit P1\nsetclasscaps P1\nloadstate P1\nline first line\npostcreation P1\nvisual P1 1 set\n");
}

TEST(RunEnd, EndsEveryModuleVesselInCreationOrder) {
  SimTree tree;
  tree.addProbe();
  tree.write("Scenarios/p.scn", simtest::scenario(simtest::landedShip("First", "Probe", 1, 1, 0) +
                                                  simtest::landedShip("Second", "Probe", 1.1, 1, 0)));
  {
    simhost::Simulation sim(tree.root());
    std::string error;
    ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/p.scn"), error)) << error;
    EXPECT_EQ(simhost::Simulation::current(), &sim);
    simtest::clearProbeLog(tree);
  }
  EXPECT_EQ(simhost::Simulation::current(), nullptr);
  EXPECT_EQ(simtest::probeLog(tree), "exit First\nexit Second\n");
  EXPECT_EQ(oapiGetVesselCount(), 0u);  // no run: the world is empty
}

}  // namespace
