#include "crew_world.h"

#include "files/scenario.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "test_platform.h"

namespace crew_test {

namespace {

const char FRESH_PROCESS_VARIABLE[] = "KVT_CREW_FRESH_PROCESS";

// A passive vessel standing on three points 0.5 m below its centre.
const char *const HutClass =
    "ClassName = Hut\n"
    "Size = 4\n"
    "Mass = 1000\n"
    "TouchdownPoints = 0 -0.5 3  -3 -0.5 -3  3 -0.5 -3\n";

const char *const ProbeClass =
    "ClassName = CrewProbe\n"
    "Module = CrewProbe\n";

const char *const ScenarioHead =
    "BEGIN_DESC\nCrew test world.\nEND_DESC\n\n"
    "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 60000.5\nEND_ENVIRONMENT\n\n"
    "BEGIN_FOCUS\n  Ship Base\nEND_FOCUS\n\n"
    "BEGIN_SHIPS\n"
    "Base:Hut\n  STATUS Landed Moon\n  POS 10.0 5.0\n  HEADING 30.0\nEND\n";

std::string builtCrewModule() { return std::string(KVT_TREE_DIR) + "/Modules/UMmu.dll"; }
std::string builtCrewProbe() { return std::string(KVT_BIN_DIR) + "/../test-modules/CrewProbe.dll"; }

}  // namespace

CrewWorld::CrewWorld(const TreeOptions &options) {
  if (options.brokenCrewModule)
    tree.write("Modules/UMmu.dll", "not a module\n");
  else if (options.crewModule)
    tree.link("Modules/UMmu.dll", builtCrewModule());
  if (options.versionFile) tree.write("Meshes/UMmu/ver.dtf", options.version);
  tree.link("Modules/CrewProbe.dll", builtCrewProbe());
  tree.addBody();
  tree.write("Config/Vessels/Hut.cfg", HutClass);
  tree.write("Config/Vessels/CrewProbe.cfg", ProbeClass);
}

CrewWorld::~CrewWorld() = default;

void CrewWorld::start(const std::string &extraShips) {
  tree.write("Scenarios/Test.scn", ScenarioHead + extraShips + "END_SHIPS\n");
  sim = std::make_unique<simhost::Simulation>(tree.root());
  sim->setObserver([this](const simhost::Event &e) { events.push_back(simhost::toJson(e)); });
  std::string error;
  ASSERT_TRUE(sim->loadScenario(tree.root() + "/Scenarios/Test.scn", error)) << error;
  ASSERT_NE(vessel("Base"), nullptr);
}

OBJHANDLE CrewWorld::place(const std::string &name, const std::string &className, double x, double z) {
  std::string error;
  EXPECT_TRUE(sim->placeVessel(name, className, "Base", x, z, 0, error)) << error;
  return vessel(name);
}

bool CrewWorld::remove(const std::string &name) {
  std::string error;
  const bool done = sim->deleteVessel(name, error);
  EXPECT_TRUE(done) << error;
  return done;
}

OBJHANDLE CrewWorld::vessel(const std::string &name) const {
  std::string n = name;
  return oapiGetVesselByName(n.data());
}

ActionStructure *CrewWorld::actionTable() const {
  HMODULE module = LoadLibraryA("Modules\\UMmu.dll");
  if (!module) return nullptr;
  FARPROC address = GetProcAddress(module, "GetActionStructureAdress");
  if (!address) return nullptr;
  return reinterpret_cast<GetActionStructureAdressFunc>(reinterpret_cast<void (*)()>(address))();
}

CrewProbeState CrewWorld::probeState(OBJHANDLE vessel) const {
  CrewProbeState state{};
  HMODULE module = LoadLibraryA("Modules\\CrewProbe.dll");
  FARPROC address = module ? GetProcAddress(module, "CrewProbeGetState") : nullptr;
  if (!address) {
    ADD_FAILURE() << "the crew probe module cannot be bound";
    return state;
  }
  auto getState = reinterpret_cast<CrewProbeGetStateFunc>(reinterpret_cast<void (*)()>(address));
  if (getState(vessel, &state) != 1) ADD_FAILURE() << "the vessel is no crew probe";
  return state;
}

std::vector<nlohmann::json> CrewWorld::eventsOf(const std::string &kind) const {
  std::vector<nlohmann::json> found;
  for (const nlohmann::json &e : events)
    if (e.value("kind", "") == kind) found.push_back(e);
  return found;
}

PublishedAirlock readPublishedAirlock(OBJHANDLE vessel) {
  PublishedAirlock airlock;
  VESSEL *v = vessel ? oapiGetVesselInterface(vessel) : nullptr;
  if (!v) return airlock;
  const DWORD count = v->AttachmentCount(false);
  for (DWORD i = 0; i < count; ++i) {
    ATTACHMENTHANDLE point = v->GetAttachmentHandle(false, i);
    const char *id = v->GetAttachmentId(point);
    if (!id || std::strcmp(id, "UMmu") != 0) continue;
    if (++airlock.points > 1) continue;
    VECTOR3 pos, dir, rot;
    v->GetAttachmentParams(point, pos, dir, rot);
    const double box[6] = {pos.x, pos.y, pos.z, dir.x, dir.y, dir.z};
    std::memcpy(airlock.box, box, sizeof box);
    airlock.door = static_cast<int>(rot.x);
    airlock.aux = static_cast<int>(rot.y);
    airlock.freeSeats = static_cast<int>(rot.z);
  }
  return airlock;
}

std::string savedBy(CrewRoster &roster, int *result) {
  simhost::ScenarioWriter writer;
  simhost::setActiveWriter(&writer);
  const int written = roster.SaveState(&writer);
  simhost::setActiveWriter(nullptr);
  if (result) *result = written;
  return writer.out;
}

void setUpLikeMill(CrewRoster &roster, OBJHANDLE vessel, int seats) {
  ASSERT_EQ(roster.Init(vessel), 1);
  ASSERT_EQ(roster.DefineAirlock(0, -3, 3, 0, 4, -7, 7), 1);
  ASSERT_EQ(roster.SetMaxSeats(seats), 1);
}

bool InFreshProcess() {
  if (std::getenv(FRESH_PROCESS_VARIABLE)) return true;
  const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
  const std::string filter = std::string(test->test_suite_name()) + "." + test->name();
  const std::string command =
      kvt_test::shellQuoted(kvt_test::thisExecutable()) + " --gtest_filter=" + kvt_test::shellQuoted(filter);
  kvt_test::setEnvironment(FRESH_PROCESS_VARIABLE, "1");
  const kvt_test::CommandResult child = kvt_test::runCommand(command);
  kvt_test::setEnvironment(FRESH_PROCESS_VARIABLE, "");
  const std::string &output = child.output;
  EXPECT_EQ(child.status, 0) << "in a process of its own:\n" << output;
  EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << "in a process of its own:\n" << output;
  return false;
}

}  // namespace crew_test
