// The state of the one simulation run that is alive, shared by the parts of
// libsimhost. The global oapi functions and the VESSEL methods reach it as
// the ModuleHost of plugin/module_host.h (through currentHost()); the run's
// own parts as a Runtime (through currentRuntime()). Simulation
// (simulation.h) is its public face.
//
// Vessel life cycle (vessel_factory.cpp): createVessel makes the record,
// binds the module's object (ovcInit, clbkSetClassCaps, the scenario block or
// the status record, clbkPostCreation, the visual) and reports "created";
// deleteVessel removes it from the world at once and destroys it (ovcExit)
// as soon as no host call into modules is running.
#pragma once

#include <string>
#include <vector>

#include "faults.h"
#include "files/scenario_file.h"
#include "files/vessel_class.h"
#include "frame_clock.h"
#include "plugin/module_host.h"

namespace simhost {

class Runtime final : public ModuleHost {
public:
  explicit Runtime(std::string root);
  ~Runtime();

  ClassLibrary classes;
  ScenarioMeta scenario;
  // The room one vessel's block is written in (blockText), kept for the
  // next: an account of every vessel of a big world asks for a hundred
  // thousand blocks.
  std::string spareBlockText;
  FaultSet faults;  // injected by tests and scripts; none at start

  // ---- time: simt and sysT are the clocks' readings, kept at hand
  FrameClock simClock, sysClock;
  double frameLength = 0.1;
  bool paused = false;

  // ---- display
  bool hudVisible = true;
  int hudWidth = 1024, hudHeight = 768;
  std::vector<HudText> lastHud;
  std::string lastDebug;

  // ---- the readers' gate: the injected faults
  bool meshFails(const std::string &meshName) override { return faults.meshFails(*this, meshName); }
  bool openFails(const std::string &resolvedPath) override { return faults.openFails(*this, resolvedPath); }
  bool anyFileFault() const override { return faults.anyFileFault(); }

  // ---- vessels (vessel_factory.cpp)
  VesselRecord *createVessel(const std::string &name, const std::string &className, const VESSELSTATUS2 *state,
                             ScenarioBlock *block, std::string &error) override;
  // A stand-in for a ship of a class the tree lacks, placed by its block's
  // lines (stand_in.cpp).
  VesselRecord *createStandIn(const std::string &name, const std::string &className, ScenarioBlock &block,
                              std::string &error);
  void deleteVessel(VesselRecord *vessel, VesselRecord *alternativeFocus) override;
  void deleteAllVessels();
  void announce(VesselRecord *vessel);
  void changeFocus(VesselRecord *vessel);
  void collectRemoved() override;
  int busy = 0;  // depth of host calls into modules
  std::vector<OwnedVessel> removed;

  // ---- bodies: each read from the tree's Config/<Name>.cfg at its first use
  // The body of that name; null with the reason when the tree has no file
  // for it (missing set) or its file is faulty.
  const CelestialBody *loadBody(const std::string &name, std::string &error, bool &missing);
  // The first body the run read; null before any.
  const CelestialBody *firstBody() const {
    return world.bodies().empty() ? nullptr : world.bodies().front().get();
  }

  // ---- physics
  void moveVessels(double dt);
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

// The run that is alive: the one module host, which is always a Runtime.
inline Runtime *currentRuntime() { return static_cast<Runtime *>(currentHost()); }
inline void setCurrentRuntime(Runtime *rt) { setCurrentHost(rt); }

}  // namespace simhost
