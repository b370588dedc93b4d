// The state of the one simulation run that is alive, shared by the parts of
// libsimhost: the global oapi functions and the VESSEL methods reach it
// through currentRuntime(). Simulation (simulation.h) is its public face.
//
// Vessel life cycle (vessel_factory.cpp): createVessel makes the record,
// binds the module's object (ovcInit, clbkSetClassCaps, the scenario block or
// the status record, clbkPostCreation, the visual) and reports "created";
// deleteVessel removes it from the world at once and destroys it (ovcExit)
// as soon as no host call into modules is running.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "faults.h"
#include "frame_clock.h"
#include "world/geometry.h"
#include "plugin/hud_surface.h"
#include "files/mesh.h"
#include "simulation.h"
#include "files/vessel_class.h"
#include "world/world.h"

namespace simhost {

// An unknown section of a scenario, written back as it was read.
struct KeptSection {
  std::vector<std::string> lines;  // from BEGIN_X to END_X, verbatim
  bool afterShips = false;
};

struct ScenarioMeta {
  std::vector<std::string> description;  // BEGIN_DESC lines, verbatim
  std::vector<std::string> environment;  // other BEGIN_ENVIRONMENT lines
  std::vector<KeptSection> sections;
};

class Runtime {
public:
  explicit Runtime(std::string root);
  ~Runtime();

  std::string root;
  World world;
  ClassLibrary classes;
  MeshLibrary meshes;
  EventObserver observer;
  ScenarioMeta scenario;
  FaultSet faults;  // injected by tests and scripts; none at start

  // ---- time: simt and sysT are the clocks' readings, kept at hand
  FrameClock simClock, sysClock;
  double simt = 0, simStep = 0, sysT = 0, sysStep = 0;
  double frameLength = 0.1, warp = 1.0;
  bool paused = false;
  double mjd0 = 51544.5;
  double phi0 = 0;  // the Moon's rotation angle at simulation time 0
  double mjd() const { return mjd0 + simt / 86400.0; }
  double moonAngle() const { return phi0 + moon::kAngularRate * simt; }
  // At the current time; computed once per change of the time.
  const MATRIX3 &moonMatrix() {
    const double phi = moonAngle();
    if (phi != matrixPhi_) turnMoonMatrix(phi);
    return matrix_;
  }
  // The rotation of a landed vessel into the global frame now: the Moon's
  // rotation times the vessel's surface frame (from its longitude, latitude
  // and heading). The last answer is kept: a module that brings every
  // vessel of a busy world into its own frame asks for its own rotation
  // once per vessel.
  const MATRIX3 &landedRotation(const VesselRecord &v) {
    const double phi = moonAngle();
    LandedFrame &f = landedFrame_;
    if (&v != f.vessel || v.serial != f.serial || phi != f.phi || v.lon != f.lon || v.lat != f.lat ||
        v.hdg != f.hdg)
      rememberLandedRotation(v, phi);
    return f.rot;
  }

  // ---- display
  bool hudVisible = true;
  int hudWidth = 1024, hudHeight = 768;
  HudSurface hudSurface;
  std::vector<Simulation::HudText> lastHud;
  char debugText[OAPI_DEBUGSTRING_CAPACITY] = {};
  std::string lastDebug;
  VesselRecord *focus = nullptr;

  std::mt19937 random{20240601u};

  // ---- events
  void report(Event event);
  // False when no one would see an event (no observer: held events would be
  // dropped too): callers skip building it.
  bool reporting() const { return static_cast<bool>(observer); }
  // While a scenario loads, events wait here and are dropped if it fails.
  bool holdEvents = false;
  std::vector<Event> heldEvents;
  void releaseHeldEvents();

  // ---- vessels (vessel_factory.cpp)
  // block: the vessel's block of a scenario being loaded, or null to create
  // at run time from state (a VESSELSTATUS2, version 2).
  VesselRecord *createVessel(const std::string &name, const std::string &className, const VESSELSTATUS2 *state,
                             ScenarioBlock *block, std::string &error);
  void deleteVessel(VesselRecord *vessel, VesselRecord *alternativeFocus);
  void deleteAllVessels();
  void announce(VesselRecord *vessel);
  void changeFocus(VesselRecord *vessel);
  // Destroys removed vessels once no host call into a module runs.
  void collectRemoved();
  int busy = 0;  // depth of host calls into modules
  std::vector<OwnedVessel> removed;

  // ---- physics (physics.cpp)
  void moveVessels(double dt);

private:
  struct LandedFrame {
    const VesselRecord *vessel = nullptr;
    uint64_t serial = 0;
    double phi = 0, lon = 0, lat = 0, hdg = 0;
    MATRIX3 rot{};
  };
  void turnMoonMatrix(double phi);
  void rememberLandedRotation(const VesselRecord &v, double phi);
  LandedFrame landedFrame_;
  double matrixPhi_ = -1;
  MATRIX3 matrix_{};
};

// Counts a host call into module code, so that vessels deleted meanwhile
// live on until it returns.
class BusyScope {
public:
  explicit BusyScope(Runtime &rt) : rt_(rt) { ++rt_.busy; }
  ~BusyScope() {
    if (--rt_.busy == 0) rt_.collectRemoved();
  }
  BusyScope(const BusyScope &) = delete;
  BusyScope &operator=(const BusyScope &) = delete;

private:
  Runtime &rt_;
};

// The run that is alive; inline, since every host call asks for it.
extern Runtime *g_currentRuntime;
inline Runtime *currentRuntime() { return g_currentRuntime; }
void setCurrentRuntime(Runtime *rt);

// The VESSEL2 behind a vessel's interface, or null for a plain VESSEL (a
// module that implements none of the callbacks).
VESSEL2 *callbacksOf(VesselRecord *vessel);

}  // namespace simhost
