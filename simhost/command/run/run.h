// run/: the `simhost run` command, a scenario run headless to its end
// with its script, its trace, its timeline and its pictures.
//
// The run of `simhost run`: drives one simhost::Simulation through a plan
// (shared/plan.h) frame by frame, fires the script's events as their time comes,
// and hands every event of the run to the trace file and the timeline.
//
// Script time: an event is due when the run's clock reaches its time, and
// fires before the next frame, so its effects are stamped with the
// simulation time at which it fired. The run's clock is the simulation time
// plus, while paused, the system time spent in the current pause: a paused
// simulation stands still, yet the script (and --until) go on, as an
// operator's actions would.
//
// Results are exit statuses: kRunOk; kRunFailed when the scenario is
// refused, a script event cannot be done, or saving or tracing fails;
// kBadUsage when the trace file cannot be opened at all. The reason is
// always written to err. A run that reaches its end before the script's
// last events succeeds, and tells err how many it left and the line of
// the first.
#pragma once

#include <ostream>

#include "shared/exit_status.h"
#include "shared/plan.h"

namespace simhost::command {

// out receives the timeline (nothing with plan.quiet); err receives errors
// and, when errIsTerminal, the progress of long runs.
int runPlan(const RunPlan &plan, std::ostream &out, std::ostream &err, bool errIsTerminal);

}  // namespace simhost::command
