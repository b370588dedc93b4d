// The 3-D replay of a run: one self-contained HTML page that opens from disk
// without a network and plays the run with three.js.
//
// The recorder builds the page's data from the run's events (the very
// objects the trace records) and a snapshot of the world at the start:
// every vessel's pose and meshes, and the geometry of each mesh file used.
// What events do not carry is added as the run goes: the pose and meshes of
// each vessel created later (taken as it is announced), the action areas of
// the crew module's table when they change, the set-down positions the run
// used (site.h) and the timeline's lines. The page (simhost/replay/) then
// applies the events in order, so the replay and the trace cannot disagree.
//
// The run calls start() once the scenario has loaded, event() for every
// event, afterFrame() after each frame and write() at its end.
#pragma once

#include <memory>
#include <string>

#include "simulation.h"
#include "pictures/site.h"

namespace simhost::command {

class ReplayRecorder {
public:
  ReplayRecorder(SiteDescriptions &descriptions, const SetDownHistory &history);
  ~ReplayRecorder();

  // Vessels farther from the focus vessel are counted, not drawn.
  double radius = kSiteRadius;

  void start(Simulation &sim, const std::string &title);
  void event(Simulation &sim, const Event &event);
  void afterFrame(Simulation &sim);
  // Writes the page, inlining the page's scripts and three.js from
  // assetsDir; false with the reason in error.
  bool write(const std::string &path, const std::string &assetsDir, std::string &error);

private:
  struct Data;
  std::unique_ptr<Data> data_;
  SiteDescriptions &descriptions_;
  const SetDownHistory &history_;
};

}  // namespace simhost::command
