// Faults injected into a run of the stand-in, so that reliability tests and
// scripts can see how vessel modules cope with a simulator that lets them
// down: vessel creation that fails, meshes that cannot be loaded, files that
// vanish or cannot be opened. The crew module's table faults live in the
// crew module itself (crew_module.h).
//
// The run's Runtime holds one FaultSet. The host asks it before it acts:
// createVessel directly, the mesh and class libraries and hostOpenFile
// through the Runtime as their FileGate (files/file_gate.h); a fault that
// strikes is reported as a "fault" event with "fault" naming it and the
// vessel, class, mesh or file it struck.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace simhost {

class Runtime;

class FaultSet {
public:
  // Creation of vessels of the class fails (ignoring case; "*" for every
  // class), the next `times` times, or always when times < 0.
  void failCreation(const std::string &classPattern, int times);
  // The named mesh ("UCGO\Box", as oapiLoadMesh is given it) cannot be loaded.
  void failMesh(const std::string &meshName);
  // The next time anything opens the file (a resolved path) it is deleted
  // from the tree, and that open fails. Where simhost does not see every
  // open (Windows, platform/platform.h) the file goes at once.
  void vanishFile(const std::string &resolvedPath);
  // Every open of the file (a resolved path) fails; the file stays. On
  // Windows the file is held open without sharing until the faults clear.
  void blockFile(const std::string &resolvedPath);
  void clear();

  // The checks; each reports the fault it strikes.
  bool creationFails(Runtime &rt, const std::string &name, const std::string &className);
  bool meshFails(Runtime &rt, const std::string &meshName);
  bool openFails(Runtime &rt, const std::string &resolvedPath);
  // True while some file fault waits to strike.
  bool anyFileFault() const { return !vanishing_.empty() || !blocked_.empty(); }

private:
  std::string creationClass_;
  int creationTimes_ = 0;
  std::vector<std::string> meshes_;
  std::vector<std::string> vanishing_;
  std::vector<std::string> blocked_;
  std::vector<std::shared_ptr<platform::FileHold>> holds_;
};

}  // namespace simhost
