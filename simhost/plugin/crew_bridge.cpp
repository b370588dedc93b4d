#include "plugin/crew_bridge.h"

namespace simhost {

const char kCrewModulePath[] = "Modules\\UMmu.dll";

HMODULE loadCrewModule(std::string &error) {
  HMODULE module = LoadLibraryA(kCrewModulePath);
  if (!module) error = std::string("no crew module ") + kCrewModulePath + " in the tree";
  return module;
}

bool bindCrewModule(CrewModule &crew, std::string &error) {
  HMODULE module = loadCrewModule(error);
  if (!module) return false;
  return bindExport(module, "UMmuEva", crew.eva, error) &&
         bindExport(module, "UMmuActivate", crew.activate, error) &&
         bindExport(module, "UMmuReadAirlock", crew.readAirlock, error);
}

bool readAirlock(const CrewModule &crew, OBJHANDLE vessel, PublishedAirlock &airlock) {
  return crew.readAirlock(vessel, airlock.box.data(), &airlock.door, &airlock.aux, &airlock.freeSeats) == 1;
}

}  // namespace simhost
