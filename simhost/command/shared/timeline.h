// The timeline of the simhost command: the readable account of a run on
// stdout, one line for each thing that happens, made from the same event
// records that the trace file writes as JSON (see simulation.h for the
// events of the simulation, crew_module.h for those of the walking crew; the command
// adds its own, below). Each line is stamped with the simulation time and
// tagged with the event's kind:
//
//   [   12.3 s] created  CARG01 (UCGO\Cargos\KVT_Ore_Cargo) landed at ...
//   [   12.3 s] hud      row 18 (y=216 px) "Ore cargo produced."
//   [   27.3 s] hud      row 18 (y=216 px) cleared
//   [   35.0 s] key      4: not consumed by Mill, left to the simulator
//
// The HUD is told by row: a line for each text that appears or changes and
// for each that goes away, nothing for those that stay; a row is counted in
// the HUD's height / 60, the unit in which vessels place their lines. Keys
// are told with what the vessel in focus answered, meshes' visibility and
// the crew's airlocks in words, and the script's comments as its story,
// set apart by a blank line from what went before.
//
// Events of the command itself, all with "kind":
//   run     phase "start": scenario, root, script (or null), script_from
//           ("option"|"beside"), events, until, dt, warp
//           phase "end": status ("ok"|"failed"), frames, vessels [names]
//           (the closing line names the first few and counts the rest)
//   script  line, action                 (a script event fires)
//   story   line, text                   (the script's comment lines above
//                                         the event, joined)
//   error   text, and line, action when a script event failed
//
// The run loop (run/run.h) hands every event to format() in the order they
// happen; the Timeline remembers which vessel has the focus, since new
// vessels are placed relative to it and keys go to it, and which texts
// the HUD shows.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "plugin/event.h"
#include "world/fixed_digits.h"

namespace simhost::command {

// One text of the HUD as drawn.
struct HudRow {
  long x = 0, y = 0;
  std::string text;
};

class Timeline {
public:
  // The text for one event: one or more lines, each ending in '\n'; empty
  // for events that show nothing.
  std::string format(const Event &event);
  // The same for an event as a trace line tells it (toJson's object), read
  // back field by field; a kind this simhost does not know shows with its
  // fields, a malformed line as well as it can.
  std::string format(const nlohmann::json &event);

  // The vessel whose frame "created" positions are given in, for a run
  // whose focus was set without a "focus" event.
  void setFocusName(const std::string &name) { focusName = name; }

private:
  // The rows whose text changed, appeared or went away since the HUD was
  // last shown; the others are not repeated.
  std::string hudChanges(double t, const Event &event);

  std::string focusName;
  std::vector<HudRow> hudRows;  // the HUD as last shown
};

// "landed at 23.4730000 E 0.6740000 N" (or "in flight at"), from a
// "created" event.
std::string placeText(const Event &created);
// The same from the event's three values, added to the end of text.
void appendPlaceText(std::string &text, bool landed, double lon, double lat);
// The same written at to, which has kPlaceTextRoom bytes of room; returns
// the end. An account of a big world tells a hundred thousand places.
constexpr size_t kPlaceTextRoom = 16 + 2 * (text::kFixedRoom + 3);
char *writePlaceText(char *to, bool landed, double lon, double lat);

// "[   12.3 s] " for a simulation time.
std::string timelineStamp(double simTime);

}  // namespace simhost::command
