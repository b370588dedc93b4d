#include "property_world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "ship/property_ship_api.h"
#include "world/world.h"

namespace property_test {

const CargoKind CargoKinds[2] = {{"Ore_Box", "Ore Box", 1000.0}, {"Lunar_Rock", "Lunar Rock", 2500.0}};
const char *const ShipNames[2] = {"Lander", "Flyer"};

namespace {

const char *const BoxMesh =
    "MSHX1\nGROUPS 1\nMATERIAL 0\nTEXTURE 0\nGEOM 4 2\n"
    "-0.65 -0.65 0 0 0 -1\n-0.65 0.65 0 0 0 -1\n0.65 0.65 0 0 0 -1\n0.65 -0.65 0 0 0 -1\n0 1 2\n0 2 3\n";

const char *const ScenarioText =
    "BEGIN_DESC\nProperty test world.\nEND_DESC\n\n"
    "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 60000.5\nEND_ENVIRONMENT\n\n"
    "BEGIN_FOCUS\n  Ship Lander\nEND_FOCUS\n\n"
    "BEGIN_SHIPS\n"
    "Lander:PropertyShip\n  STATUS Landed Moon\n  POS 10.0 5.0\n  HEADING 30.0\nEND\n"
    "Flyer:PropertyShip\n  STATUS Orbiting Moon\n  RPOS 1742400 0 0\n  RVEL 0 0 0\n  AROT 10 20 30\nEND\n"
    "END_SHIPS\n";

std::string cargoFile(const CargoKind &kind) {
  std::ostringstream t;
  t << "UcDescription = " << kind.description << "\nMass = " << kind.mass
    << "\nSize = 1.3\nMeshName = UCGO\\TestBox\n"
    << "BEGIN_ATTACHMENT\nP 0 -0.65 0  0 -1 0  0 0 1  UCGOCG\nEND_ATTACHMENT\n";
  return t.str();
}

bool isCargoClass(std::string_view className) { return className.rfind("UCGO\\Cargos\\", 0) == 0; }

// The lines of a ship's block: [first, end) indices into lines.
bool findBlock(const std::vector<std::string> &lines, const std::string &ship, size_t &first, size_t &end) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind(ship + ":", 0) != 0) continue;
    first = i + 1;
    for (end = first; end < lines.size() && lines[end] != "END"; ++end) {
    }
    return true;
  }
  return false;
}

std::vector<std::string> splitLines(const std::string &text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::string joinLines(const std::vector<std::string> &lines) {
  std::string text;
  for (const std::string &line : lines) text += line + "\n";
  return text;
}

bool isCrewLine(const std::string &line) { return line.find("UMMUCREW ") != std::string::npos; }

bool near(double a, double b) { return std::fabs(a - b) < 1e-6; }

}  // namespace

PropertyWorld::PropertyWorld() {
  tree.write("Meshes/UniversalCars/bin/ConfigDarkScreen.msh", BoxMesh);
  tree.write("Meshes/UCGO/TestBox.msh", BoxMesh);
  for (const CargoKind &kind : CargoKinds) tree.write(std::string("Config/Vessels/UCGO/Cargos/") + kind.type + ".cfg", cargoFile(kind));
  tree.addBody();
  tree.write("Config/Vessels/PropertyShip.cfg", "ClassName = PropertyShip\nModule = PropertyShip\n");
  tree.link("Modules/UMmu.dll", std::string(KVT_TREE_DIR) + "/Modules/UMmu.dll");
  tree.write("Meshes/UMmu/ver.dtf", "2.0\n");
  tree.link("Modules/PropertyShip.dll", std::string(KVT_BIN_DIR) + "/../test-modules/PropertyShip.dll");
}

PropertyWorld::~PropertyWorld() = default;

bool PropertyWorld::start(std::string &error) { return loadText(ScenarioText, error); }

bool PropertyWorld::loadText(const std::string &scenario, std::string &error) {
  tree.write("Scenarios/Property.scn", scenario);
  sim.reset();
  sim = std::make_unique<simhost::Simulation>(tree.root());
  faults.clear();
  if (recordFaults) {
    sim->setObserver([this](const simhost::Event &e) {
      if (e.kind == simhost::EventKind::Fault) faults.push_back(simhost::toJson(e));
    });
  }
  if (beforeLoad) beforeLoad(*sim);
  if (!sim->loadScenario(tree.path("Scenarios/Property.scn"), error)) return false;
  for (int i = 0; i < 2; ++i) {
    ledger[i].ownMass = ShipOwnMass;
    ledger[i].crewWeights = CrewWeightsInBlock(scenario, ShipNames[i]);
    if (ledger[i].crewWeights.size() > static_cast<size_t>(ShipSeats)) ledger[i].crewWeights.resize(ShipSeats);
  }
  const CargoCensus now = census();
  baselineMass = now.aboardMass + now.freeMass;
  loadedMass = consumedMass = 0;
  return true;
}

std::string PropertyWorld::saveText(std::string &error) {
  if (!sim->saveScenario(tree.path("Scenarios/Saved.scn"), error)) return "";
  return tree.read("Scenarios/Saved.scn");
}

OBJHANDLE PropertyWorld::ship(int index) const {
  std::string name = ShipNames[index];
  return oapiGetVesselByName(name.data());
}

namespace {
PropertyShipPartsFunc partsExport() {
  HMODULE module = LoadLibraryA("Modules\\PropertyShip.dll");
  FARPROC address = module ? GetProcAddress(module, "PropertyShipParts") : nullptr;
  return reinterpret_cast<PropertyShipPartsFunc>(reinterpret_cast<void (*)()>(address));
}
}  // namespace

CargoBay *PropertyWorld::bay(int index) const {
  CargoBay *b = nullptr;
  PropertyShipPartsFunc parts = partsExport();
  return parts && parts(ship(index), &b, nullptr) == 1 ? b : nullptr;
}

CrewRoster *PropertyWorld::roster(int index) const {
  CrewRoster *r = nullptr;
  PropertyShipPartsFunc parts = partsExport();
  return parts && parts(ship(index), nullptr, &r) == 1 ? r : nullptr;
}

CargoCensus PropertyWorld::census() const {
  CargoCensus c;
  for (int i = 0; i < 2; ++i) {
    CargoBay *b = bay(i);
    if (!b) continue;
    for (const CargoSlot &s : b->slots) {
      if (!s.occupied) continue;
      ++c.aboard;
      c.aboardMass += s.mass;
    }
  }
  for (const simhost::VesselRecord *v : sim->world().vessels()) {
    if (!isCargoClass(v->className)) continue;
    ++c.free;
    c.freeMass += v->emptyMass;
  }
  return c;
}

std::string PropertyWorld::checkInvariants() const {
  std::ostringstream broken;
  for (int i = 0; i < 2; ++i) {
    const std::string name = ShipNames[i];
    CargoBay *b = bay(i);
    CrewRoster *r = roster(i);
    if (!b || !r) {
      broken << name << " is lost; ";
      continue;
    }
    int count = 0;
    double total = 0;
    for (const CargoSlot &s : b->slots) {
      if (s.declared && s.occupied && s.mass > 0 && s.mass <= CargoBay::MaxItemMass) {
        ++count;
        total += s.mass;
      }
    }
    if (b->cargoCount != count || !near(b->cargoMassTotal, total))
      broken << name << ": cargoCount " << b->cargoCount << " cargoMassTotal " << b->cargoMassTotal
             << ", recounted " << count << " " << total << "; ";
    double crew = 0;
    for (int w : ledger[i].crewWeights) crew += w;
    if (r->MemberCount() != static_cast<int>(ledger[i].crewWeights.size()) || !near(r->CrewMass(), crew))
      broken << name << ": crew " << r->MemberCount() << " members, " << r->CrewMass() << " kg; expected "
             << ledger[i].crewWeights.size() << ", " << crew << " kg; ";
    const double expected = ledger[i].ownMass + total + crew;
    const double empty = oapiGetEmptyMass(ship(i));
    if (!near(empty, expected))
      broken << name << ": empty mass " << empty << ", expected own " << ledger[i].ownMass << " + cargo " << total
             << " + crew " << crew << " = " << expected << "; ";
  }
  const CargoCensus c = census();
  const double expectedMass = baselineMass + loadedMass;
  const double accounted = c.aboardMass + c.freeMass + consumedMass;
  if (std::fabs(accounted - expectedMass) > 1e-6)
    broken << "cargo mass: aboard " << c.aboardMass << " + free " << c.freeMass << " + consumed " << consumedMass
           << " = " << accounted << ", but " << expectedMass << " came into the world; ";
  return broken.str();
}

std::vector<int> CrewWeightsInBlock(const std::string &scenario, const std::string &ship) {
  std::vector<int> weights;
  const std::vector<std::string> lines = splitLines(scenario);
  size_t first = 0, end = 0;
  if (!findBlock(lines, ship, first, end)) return weights;
  for (size_t i = first; i < end; ++i) {
    if (!isCrewLine(lines[i])) continue;
    const size_t dash = lines[i].rfind('-');
    weights.push_back(std::atoi(lines[i].c_str() + dash + 1));
  }
  return weights;
}

std::string InsertIntoBlock(const std::string &scenario, const std::string &ship, size_t after,
                            const std::string &line) {
  std::vector<std::string> lines = splitLines(scenario);
  size_t first = 0, end = 0;
  if (!findBlock(lines, ship, first, end)) return scenario;
  const size_t at = first + after < end ? first + after : end;
  lines.insert(lines.begin() + static_cast<long>(at), line);
  return joinLines(lines);
}

std::string RemoveCrewLine(const std::string &scenario, const std::string &ship, size_t n) {
  std::vector<std::string> lines = splitLines(scenario);
  size_t first = 0, end = 0;
  if (!findBlock(lines, ship, first, end)) return scenario;
  for (size_t i = first; i < end; ++i) {
    if (!isCrewLine(lines[i])) continue;
    if (n-- == 0) {
      lines.erase(lines.begin() + static_cast<long>(i));
      break;
    }
  }
  return joinLines(lines);
}

}  // namespace property_test
