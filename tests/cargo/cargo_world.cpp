#include "cargo_world.h"

#include <gtest/gtest.h>

#include "test_platform.h"

namespace cargo_test {

namespace {

// The test vessel module, built beside the test executables.
const char *const CarrierModulePath = KVT_BIN_DIR "/CargoCarrier.dll";

const char *const BoxMesh =
    "MSHX1\n"
    "GROUPS 1\n"
    "MATERIAL 0\n"
    "TEXTURE 0\n"
    "GEOM 4 2\n"
    "-0.65 -0.65 0 0 0 -1\n"
    "-0.65 0.65 0 0 0 -1\n"
    "0.65 0.65 0 0 0 -1\n"
    "0.65 -0.65 0 0 0 -1\n"
    "0 1 2\n"
    "0 2 3\n";

// A passive vessel standing on three points 0.5 m below its centre.
const char *const CarrierClass =
    "ClassName = Carrier\n"
    "Size = 5\n"
    "Mass = 2000\n"
    "MeshName = UCGO\\TestBox\n"
    "TouchdownPoints = 0 -0.5 3  -3 -0.5 -3  3 -0.5 -3\n";

const char *const ScenarioHead =
    "BEGIN_DESC\nCargo test world.\nEND_DESC\n\n"
    "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 60000.5\nEND_ENVIRONMENT\n\n"
    "BEGIN_FOCUS\n  Ship Carrier\nEND_FOCUS\n\n"
    "BEGIN_SHIPS\n";

}  // namespace

std::string CargoType::text() const {
  std::string t = "; cargo type written by a test\n";
  if (!description.empty()) t += "UcDescription = " + description + "\n";
  if (!mass.empty()) t += "Mass = " + mass + "\n";
  t += "Size = 1.3\n";
  if (!mesh.empty()) t += "MeshName = " + mesh + "\n";
  if (!forceName.empty()) t += "ucForceName = " + forceName + "\n";
  if (attachment) t += "BEGIN_ATTACHMENT\nP 0 -0.65 0  0 -1 0  0 0 1  UCGOCG\nEND_ATTACHMENT\n";
  t += extraLines;
  return t;
}

CargoWorld::CargoWorld(bool addonInstalled) {
  if (addonInstalled) {
    tree.write("Meshes/UniversalCars/bin/ConfigDarkScreen.msh", BoxMesh);
  }
  tree.write("Meshes/UCGO/TestBox.msh", BoxMesh);
  tree.addBody();
  tree.write("Config/Vessels/Carrier.cfg", CarrierClass);
}

CargoWorld::~CargoWorld() = default;

void CargoWorld::addCargoType(const std::string &type, const CargoType &cargo) const {
  tree.write("Config/Vessels/UCGO/Cargos/" + type + ".cfg", cargo.text());
}

void CargoWorld::start(bool carrierFlying, const std::string &extraShips) {
  std::string scenario = ScenarioHead;
  scenario += "Carrier:Carrier\n";
  if (carrierFlying) {
    scenario += "  STATUS Orbiting Moon\n  RPOS 1742400 0 0\n  RVEL 0 0 0\n  AROT 10 20 30\n";
  } else {
    scenario += "  STATUS Landed Moon\n  POS 10.0 5.0\n  HEADING 30.0\n";
  }
  scenario += "END\n" + extraShips + "END_SHIPS\n";
  tree.write("Scenarios/Test.scn", scenario);
  load("Scenarios/Test.scn");
  ASSERT_NE(carrier(), nullptr);
}

void CargoWorld::load(const std::string &scenario) {
  sim.reset();
  events.clear();
  sim = std::make_unique<simhost::Simulation>(tree.root());
  sim->setObserver([this](const simhost::Event &e) { events.push_back(simhost::toJson(e)); });
  std::string error;
  ASSERT_TRUE(sim->loadScenario(tree.root() + "/" + scenario, error)) << error;
}

std::string CargoWorld::save(const std::string &scenario) {
  std::string error;
  EXPECT_TRUE(sim->saveScenario(tree.root() + "/" + scenario, error)) << error;
  return tree.read(scenario);
}

void CargoWorld::addCarrierModule() const {
  tree.write("Config/Vessels/CargoCarrier.cfg", "ClassName = CargoCarrier\nModule = CargoCarrier\n");
  tree.link("Modules/CargoCarrier.dll", CarrierModulePath);
}

CargoBay *CargoWorld::carrierBay(const std::string &name) const {
  // The module is loaded by the host already; this only finds it again.
  void *module = kvt_test::loadedModule(CarrierModulePath);
  if (!module) {
    ADD_FAILURE() << "the CargoCarrier module is not loaded: " << CarrierModulePath;
    return nullptr;
  }
  auto bayOf = reinterpret_cast<CargoBay *(*)(OBJHANDLE)>(kvt_test::moduleSymbol(module, "CargoCarrierBay"));
  return bayOf ? bayOf(vessel(name)) : nullptr;
}

void CargoWorld::placeCargo(const std::string &name, const std::string &type, Spot at) {
  std::string error;
  ASSERT_TRUE(sim->placeVessel(name, "UCGO\\Cargos\\" + type, "Carrier", at.x, at.z, 0, error)) << error;
}

OBJHANDLE CargoWorld::carrier() const { return vessel("Carrier"); }

OBJHANDLE CargoWorld::vessel(const std::string &name) const {
  std::string n = name;
  return oapiGetVesselByName(n.data());
}

VECTOR3 CargoWorld::inCarrierFrame(const std::string &name, const VECTOR3 &local) const {
  VECTOR3 global{}, result{};
  VESSEL *v = oapiGetVesselInterface(vessel(name));
  if (!v) {
    ADD_FAILURE() << "no vessel " << name;
    return result;
  }
  v->Local2Global(local, global);
  carrierVessel()->Global2Local(global, result);
  return result;
}

double CargoWorld::emptyMass(const std::string &name) const { return oapiGetEmptyMass(vessel(name)); }

void CargoWorld::setUpBay(CargoBay &bay, int slotCount) const {
  bay.Init(carrier());
  for (int slot = 0; slot < slotCount; ++slot) {
    bay.DeclareCargoSlot(slot, _V(-7, 0, 2.0 * slot), _V(0, 0, 0));
  }
}

std::vector<nlohmann::json> CargoWorld::eventsOf(const std::string &kind, const std::string &name,
                                                 const std::string &action) const {
  std::vector<nlohmann::json> found;
  for (const nlohmann::json &e : events) {
    if (e.value("kind", "") != kind) continue;
    if (!name.empty() && e.value("name", "") != name) continue;
    if (!action.empty() && e.value("action", "") != action) continue;
    found.push_back(e);
  }
  return found;
}

}  // namespace cargo_test
