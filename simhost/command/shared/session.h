// shared/: what the commands share, below them and pictures/: the plan of a
// run, the script, key chords, the timeline, numbers and names as shown,
// exit statuses, the replay page's parts, and this file.
//
// What `simhost run` and `simhost play` do alike, so that a session played
// live and its recording replayed by `run` act, and trace, the same:
//
// - ScriptActions does the script verbs on the simulation (a script's
//   events as their time comes in `run`, the operator's keys and command
//   lines in `play`) and keeps the clock the script's times are read on;
// - the events of a run are named in the trace as the run names its files,
//   and a run ends with the same closing event.
//
// The clock: simulation time, going on with system time while paused, so
// that a script (and --until) go on while the simulation stands still, as
// an operator's actions would.
#pragma once

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "shared/plan.h"
#include "shared/script.h"
#include "simulation.h"
#include "shared/timeline.h"

namespace simhost::command {

class ScriptActions {
public:
  // timeline learns which vessel has the focus when the focus verb gives it.
  ScriptActions(Simulation &sim, Timeline &timeline) : sim(sim), timeline(timeline) {}

  // After the scenario is loaded: a scenario saved while paused starts the
  // clock's pause here.
  void start();

  // Simulation time, going on with system time while paused.
  double clock() const;

  // Does the event: reports its story and the "script" event, then its
  // verb; when the verb cannot be done, reports an "error" event and
  // returns false with what went wrong in error. "stop" only marks
  // stopped().
  bool fire(const ScriptEvent &event, std::string &error);

  bool stopped() const { return stopped_; }

private:
  bool perform(const ScriptEvent &event, std::string &error);
  bool injectFault(const ScriptEvent &event, std::string &error);
  bool noCrewModule(const ScriptEvent &event);
  std::string scenarioSavePath(const std::string &file) const;

  Simulation &sim;
  Timeline &timeline;
  double pauseStartSys = 0;
  bool stopped_ = false;
};

// What the load kept as read or noted, one line each: the stand-ins
// counted once, with the first few named, then every other note with the
// scenario (as shown) and its line.
std::vector<std::string> loadNoteLines(const ScenarioMeta &read, const std::string &scenarioShown);

// The event as the run's trace and timeline give it: the scenario file
// named as the plan shows it, not by the path the tree lookup produced, and
// a save into the tree named inside the tree, so runs read the same wherever
// the tree is.
Event namedAsPlanned(Event event, const RunPlan &plan);

// One line of the trace file (JSON, no newline).
std::string traceLine(const Event &event);

// The closing event of a run: its status, its frames and the vessels left.
void reportRunEnd(Simulation &sim, bool ok, long frames);

// The trace file, made empty and open for writing; null with why in error.
std::unique_ptr<std::ofstream> openTrace(const std::string &path, std::string &error);

// Writes text as the whole of the file at path (a map, a replay page);
// false with "cannot write the WHAT PATH: reason" in error.
bool writeWholeFile(const std::string &path, const std::string &text, const char *what, std::string &error);

}  // namespace simhost::command
