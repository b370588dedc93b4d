// The timeline of the simhost command: the readable account of a run on
// stdout, one line for each thing that happens (the HUD: one line per text), made from the same event
// objects that the trace file records (see simulation.h for the events of
// the simulation, crew_module.h for those of the walking crew; the command
// adds its own, below).
//
//   [   12.3 s] created  CARG01 (UCGO\Cargos\KVT_Ore_Cargo) landed at ...
//   [   12.3 s] hud      y=216 "Ore cargo produced."
//
// Events of the command itself, all with "kind":
//   run     phase "start": scenario, root, script (or null), script_from
//           ("option"|"beside"), events, until, dt, warp
//           phase "end": status ("ok"|"failed"), frames, vessels [names]
//   script  line, action                 (a script event fires)
//   error   text, and line, action when a script event failed
//
// The run loop (run.h) hands every event to format() in the order they
// happen; the Timeline remembers which vessel has the focus, since new
// vessels are placed relative to it.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace simhost::command {

class Timeline {
public:
  // The text for one event: one or more lines, each ending in '\n'; empty
  // for events that show nothing.
  std::string format(const nlohmann::json &event);

  // The vessel whose frame "created" positions are given in, for a run
  // whose focus was set without a "focus" event.
  void setFocusName(const std::string &name) { focusName = name; }

private:
  std::string focusName;
};

// "[   12.3 s] " for a simulation time.
std::string timelineStamp(double simTime);

}  // namespace simhost::command
