// The crew module's bridge: binds the exports of the stand-in crew module
// (Modules\UMmu.dll of the running tree, simhost/ummu/) through the calls a
// vessel module would make (LoadLibraryA, GetProcAddress), and reads what
// the module publishes of a vessel. The simulator loads the module once per
// process, so binding again is cheap. What the crew does is told by the run
// (crew_module.h).
#pragma once

#include <array>
#include <string>

#include "Orbitersdk.h"
#include "ummu/ummu_exports.h"

namespace simhost {

extern const char kCrewModulePath[];

// The crew module of the running tree; null with "no crew module ..." in
// error when there is none.
HMODULE loadCrewModule(std::string &error);

// The module's export name as func; false with the reason in error.
template <typename Func>
bool bindExport(HMODULE module, const char *name, Func &func, std::string &error) {
  FARPROC address = GetProcAddress(module, name);
  if (!address) {
    error = std::string("the crew module ") + kCrewModulePath + " has no export " + name;
    return false;
  }
  func = reinterpret_cast<Func>(reinterpret_cast<void (*)()>(address));
  return true;
}

// The exports that walk the crew and read the airlocks.
struct CrewModule {
  UMmuEvaFunc eva = nullptr;
  UMmuActivateFunc activate = nullptr;
  UMmuReadAirlockFunc readAirlock = nullptr;
};
bool bindCrewModule(CrewModule &crew, std::string &error);

// A vessel's airlock as the crew module publishes it.
struct PublishedAirlock {
  std::array<double, 6> box{};  // xMin, xMax, yMin, yMax, zMin, zMax of the vessel's frame
  int door = 0, aux = 0, freeSeats = 0;
  bool operator==(const PublishedAirlock &) const = default;
};
// False when the vessel publishes none.
bool readAirlock(const CrewModule &crew, OBJHANDLE vessel, PublishedAirlock &airlock);

}  // namespace simhost
