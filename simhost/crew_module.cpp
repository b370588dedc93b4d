// The walking crew in simhost, through the stand-in crew module's exports.
#include "crew_module.h"

#include <cstring>
#include <map>
#include <vector>

#include "plugin/crew_bridge.h"

namespace simhost {

namespace {

bool isCurrent(Simulation &sim, std::string &error) {
  if (Simulation::current() == &sim) return true;
  error = "the simulation is not the one running";
  return false;
}

OBJHANDLE vesselNamed(const std::string &name, std::string &error) {
  std::vector<char> buffer(name.begin(), name.end());
  buffer.push_back('\0');
  OBJHANDLE handle = oapiGetVesselByName(buffer.data());
  if (!handle) error = "no vessel named " + name;
  return handle;
}

void reportAirlock(Simulation &sim, const std::string &vessel, const PublishedAirlock &airlock) {
  Event e = Event::of(EventKind::Airlock, vessel);
  e.box = airlock.box;
  e.door = airlock.door;
  e.aux = airlock.aux;
  e.freeSeats = airlock.freeSeats;
  sim.report(std::move(e));
}

std::string vesselName(OBJHANDLE vessel) {
  char name[256] = {};
  oapiGetObjectName(vessel, name, sizeof name);
  return name;
}

}  // namespace

bool crewEva(Simulation &sim, const std::string &vessel, double x, double y, double z, std::string &error) {
  CrewModule crew;
  if (!isCurrent(sim, error) || !bindCrewModule(crew, error)) return false;
  OBJHANDLE handle = vesselNamed(vessel, error);
  if (!handle) return false;
  if (crew.eva(handle, x, y, z) != 1) {
    error = "no crew member can step out at that point";
    return false;
  }
  Event e = Event::of(EventKind::Eva, vessel);
  e.pos = {x, y, z};
  sim.report(std::move(e));
  return true;
}

bool crewActivate(Simulation &sim, const std::string &vessel, std::string &error) {
  CrewModule crew;
  if (!isCurrent(sim, error) || !bindCrewModule(crew, error)) return false;
  OBJHANDLE handle = vesselNamed(vessel, error);
  if (!handle) return false;
  const int id = crew.activate(handle);
  // -1: nothing in reach.
  Event e = Event::of(EventKind::Activate, vessel);
  e.id = id;
  sim.report(std::move(e));
  return true;
}

namespace {

bool faultCrewTable(Simulation &sim, int mode, int count, const char *fault, std::string &error) {
  if (!isCurrent(sim, error)) return false;
  HMODULE module = loadCrewModule(error);
  if (!module) return false;
  UMmuFaultTableFunc faultTable = nullptr;
  if (!bindExport(module, "UMmuFaultTable", faultTable, error)) return false;
  if (faultTable(mode, count) != 1) {
    error = "the crew module refused the fault";
    return false;
  }
  Event event = Event::of(EventKind::Fault);
  event.fault = fault;
  event.count = count;
  sim.report(std::move(event));
  return true;
}

}  // namespace

bool crewTableFull(Simulation &sim, std::string &error) {
  return faultCrewTable(sim, 1, 0, "crew-table-full", error);
}

bool crewTableCount(Simulation &sim, int count, std::string &error) {
  return faultCrewTable(sim, 2, count, "crew-count", error);
}

bool crewTableRestore(Simulation &sim, std::string &error) {
  return faultCrewTable(sim, 0, 0, "crew-table-restored", error);
}

bool crewAirlock(Simulation &sim, const std::string &vessel, std::string &error) {
  CrewModule crew;
  if (!isCurrent(sim, error) || !bindCrewModule(crew, error)) return false;
  OBJHANDLE handle = vesselNamed(vessel, error);
  if (!handle) return false;
  PublishedAirlock airlock;
  if (!readAirlock(crew, handle, airlock)) {
    error = "vessel " + vessel + " publishes no airlock";
    return false;
  }
  reportAirlock(sim, vessel, airlock);
  return true;
}

bool crewActionAreas(Simulation &sim, const std::string &vessel, std::vector<CrewActionArea> &areas) {
  std::string error;
  if (!isCurrent(sim, error)) return false;
  HMODULE module = loadCrewModule(error);
  GetActionStructureAdressFunc table = nullptr;
  if (!module || !bindExport(module, "GetActionStructureAdress", table, error)) return false;
  OBJHANDLE handle = vesselNamed(vessel, error);
  const ActionStructure *actions = table();
  if (!handle || !actions) return false;
  areas.clear();
  for (const ActionAreaEntry &entry : actions->entries) {
    if (entry.inUse != 1 || entry.vessel != handle) continue;
    areas.push_back({entry.position, entry.radius, entry.id, entry.enabled != 0,
                     std::string(entry.label, strnlen(entry.label, sizeof entry.label))});
  }
  return !areas.empty();
}

bool crewOutside(Simulation &sim, const std::string &vessel, VECTOR3 &pos) {
  std::string error;
  if (!isCurrent(sim, error)) return false;
  HMODULE module = loadCrewModule(error);
  UMmuCrewOutsideFunc outside = nullptr;
  if (!module || !bindExport(module, "UMmuCrewOutside", outside, error)) return false;
  OBJHANDLE handle = vesselNamed(vessel, error);
  double at[3] = {};
  if (!handle || outside(handle, at) != 1) return false;
  pos = _V(at[0], at[1], at[2]);
  return true;
}

bool crewAirlockBox(Simulation &sim, const std::string &vessel, double box[6], int &door) {
  CrewModule crew;
  std::string error;
  if (!isCurrent(sim, error) || !bindCrewModule(crew, error)) return false;
  OBJHANDLE handle = vesselNamed(vessel, error);
  PublishedAirlock airlock;
  if (!handle || !readAirlock(crew, handle, airlock)) return false;
  for (int i = 0; i < 6; ++i) box[i] = airlock.box[static_cast<size_t>(i)];
  door = airlock.door;
  return true;
}

struct CrewAirlockWatch::Published {
  std::map<std::string, PublishedAirlock> byVessel;
};

CrewAirlockWatch::CrewAirlockWatch() : published_(std::make_unique<Published>()) {}

CrewAirlockWatch::~CrewAirlockWatch() = default;

void CrewAirlockWatch::reportChanges(Simulation &sim) {
  CrewModule crew;
  std::string error;
  if (Simulation::current() != &sim || !bindCrewModule(crew, error)) return;
  std::map<std::string, PublishedAirlock> now;
  const DWORD count = oapiGetVesselCount();
  for (DWORD i = 0; i < count; ++i) {
    OBJHANDLE handle = oapiGetVesselByIndex(i);
    PublishedAirlock airlock;
    if (!handle || !readAirlock(crew, handle, airlock)) continue;
    const std::string name = vesselName(handle);
    auto before = published_->byVessel.find(name);
    if (before == published_->byVessel.end() || !(before->second == airlock)) reportAirlock(sim, name, airlock);
    now.emplace(name, airlock);
  }
  published_->byVessel.swap(now);
}

}  // namespace simhost
