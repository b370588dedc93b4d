// The run as a module sees it: what the global oapi functions, the VESSEL
// methods, VESSEL2's defaults, the HUD's TextOutA and the host's file and
// module calls act on. They reach it through currentHost().
//
// The run (runtime.h) is the one ModuleHost of a process while it lives; it
// keeps the time, draws the HUD, injects faults (as the FileGate the readers
// ask) and does what a module asks of it that needs the whole run: making
// and ending vessels. Without a run the calls answer with nothing (null, 0)
// instead of failing.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "files/file_gate.h"
#include "files/mesh.h"
#include "plugin/event.h"
#include "plugin/hud_surface.h"
#include "world/world_at_time.h"
#include "host_extras.h"

namespace simhost {

struct ScenarioBlock;

class ModuleHost : public WorldAtTime, public FileGate {
public:
  // root: the simulator tree.
  explicit ModuleHost(std::string root);
  ModuleHost(const ModuleHost &) = delete;
  ModuleHost &operator=(const ModuleHost &) = delete;

  std::string root;
  MeshLibrary meshes;

  // ---- time besides the simulation time, as the run's frame set it
  double simStep = 0, sysT = 0, sysStep = 0;
  double warp = 1.0;

  // ---- display
  HudSurface hudSurface;
  char debugText[DEBUG_STRING_CAPACITY] = {};
  VesselRecord *focus = nullptr;

  std::mt19937 random{20240601u};

  // ---- events
  EventObserver observer;
  void report(Event event);
  // False when no one would see an event (no observer: held events would be
  // dropped too): callers skip building it.
  EventKinds observed = kAllEvents;  // what observer reads
  bool reporting() const { return static_cast<bool>(observer); }
  bool reporting(EventKind kind) const { return observer && (observed & eventBit(kind)) != 0; }
  // While a scenario loads, events wait here and are dropped if it fails.
  bool holdEvents = false;
  std::vector<Event> heldEvents;
  void releaseHeldEvents();

  // ---- vessels, made and ended by the run
  // block: the vessel's block of a scenario being loaded, or null to create
  // at run time from state (a VESSELSTATUS2, version 2). Null with the
  // reason in error when the vessel cannot be made.
  virtual VesselRecord *createVessel(const std::string &name, const std::string &className,
                                     const VESSELSTATUS2 *state, ScenarioBlock *block, std::string &error) = 0;
  // Removes the vessel from the world at once; the focus passes to
  // alternativeFocus, or another vessel, when the vessel had it.
  virtual void deleteVessel(VesselRecord *vessel, VesselRecord *alternativeFocus) = 0;
  // Destroys removed vessels once no host call into a module runs.
  virtual void collectRemoved() = 0;

protected:
  ~ModuleHost() = default;
};

// The run that is alive; inline, since every host call asks for it.
extern ModuleHost *g_currentHost;
inline ModuleHost *currentHost() { return g_currentHost; }
void setCurrentHost(ModuleHost *host);

// The VESSEL2 behind a vessel's interface, or null for a plain VESSEL (a
// module that implements none of the callbacks).
VESSEL2 *callbacksOf(VesselRecord *vessel);

}  // namespace simhost
