// play/: the `simhost play` command and what only it needs: the screen,
// the terminal's keys, the command line, the record, the character map.
//
// `simhost play`: a scenario run live in a terminal. Frames of the run's
// frame length (0.1 s) follow each other at the pace of the wall clock,
// each a frame length times the time acceleration of simulation time (none
// runs while paused: the simulation, its system time included, stands
// still); the operator's keys go to the focus vessel first and then serve
// play's own bindings (key_bindings.h), and ":" opens a command line for every
// script verb (command_line.h). The screen (screen.h) shows the HUD, the site
// (map.h), the status and the latest events.
//
// What the operator does is done by the same code that does a script's
// events in `simhost run` (shared/session.h), at the run clock's reading at
// that moment, and written with it to the record (recorder.h): `run`
// replays a record to the same trace. An action that fails (no such
// vessel, ...) is told on the screen, left out of the trace and the record,
// and the session goes on. :quit (or an interrupt) ends the session as the
// script's "stop" ends a run, and is recorded so.
//
// Exit statuses as for `run`: kRunOk; kRunFailed when the scenario is
// refused or the trace or record could not be written to the end;
// kBadUsage without a terminal, or when the scenario is not found or the
// record or trace file cannot be opened.
#pragma once

#include <ostream>
#include <string>

namespace simhost::command {

struct PlayOptions {
  std::string scenario;  // as for `run`; empty: the demo
  std::string root;
  double warp = 1;
  std::string record;  // empty: nothing recorded
  std::string trace;   // empty: no trace file
};

// out receives a summary when the session ends, err the errors.
int playScenario(const PlayOptions &options, std::ostream &out, std::ostream &err);

}  // namespace simhost::command
