// Events: what the operator would see, each a small plain record made where
// it happens: its kind, the simulation and system time, the vessel it
// concerns and the few numbers and texts of its kind. The run hands them to
// its observer. They become JSON only where a trace is written (toJson), and
// text only where the timeline prints them (command/shared/timeline.h).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "plugin/hud_surface.h"

namespace simhost {

enum class EventKind : std::uint8_t {
  Run,       // the command's run starts or ends (run)
  Created,   // vessel, className, landed, lon, lat, local, emptyMass
  Deleted,   // vessel
  Mass,      // vessel, emptyMass
  Mesh,      // vessel, index, meshAction and, by action, mesh, offset, mode, group, transform, axis and angle
  Hud,       // hud, height
  Debug,     // text
  Key,       // code, text (the chord's name), shift, ctrl, rshift, rctrl, result, upResult
  Focus,     // vessel
  Eva,       // vessel, pos
  Activate,  // vessel, id (-1: nothing in reach)
  Airlock,   // vessel, box, door, aux, freeSeats
  Saved,     // file
  Loaded,    // file
  Story,     // line, text
  Script,    // line, action
  Note,      // text
  Fault,     // fault and, by fault, vessel and className, mesh, file or count
  Error,     // text, and line and action when a script line failed (line >= 0)
};

// The kind's word in the trace and the timeline: "created", "mesh", ...
const char *kindName(EventKind kind);

enum class MeshAction : std::uint8_t { Added, Inserted, Deleted, Shifted, Visibility, Transform };
const char *meshActionName(MeshAction action);

// The command's opening and closing of a run.
struct RunEvent {
  bool start = true;
  // start: the scenario as shown, the tree, and from `run` the script (empty:
  // none) and where it came from, its event count and the end time; from
  // `play` (play) the record file (empty: none).
  bool play = false;
  std::string scenario, root, script, record;
  bool scriptBeside = false;
  std::size_t events = 0;
  double until = 0, dt = 0, warp = 0;
  // end
  bool ok = true;
  long frames = 0;
  std::vector<std::string> vessels;
};

struct Event {
  EventKind kind = EventKind::Note;
  double t = 0;    // simulation time, s; filled in as it is reported
  double sys = 0;  // system time, s; likewise

  std::string vessel;     // the vessel the event concerns
  std::string className;  // created; a create-fails fault
  std::string text;       // debug, note, story, error; key: the chord's name ("shift+C")
  std::string action;     // script, error: the script line's action
  std::string file;       // saved, loaded, a file fault
  std::string mesh;       // mesh: its name where known; a mesh-fails fault
  std::string fault;      // fault: which ("create-fails", "crew-count", ...)
  int line = -1;          // story, script, error: the script's line

  // created
  bool landed = true;
  double lon = 0, lat = 0;  // degrees
  std::array<double, 3> local{};  // m, in the focus vessel's frame
  double emptyMass = 0;           // kg; also mass

  // mesh
  MeshAction meshAction = MeshAction::Added;
  unsigned index = 0;
  bool offsetKnown = false;        // added, inserted, shifted
  std::array<double, 3> offset{};  // m
  unsigned mode = 0;               // visibility
  int group = -1;                  // transform: the group, -1 the whole mesh
  std::string transform;           // transform: "rotate", "translate", "scale"
  bool rotationKnown = false;      // a rotation's axis and angle
  std::array<double, 3> axis{};
  double angle = 0;  // rad

  // hud
  std::vector<HudText> hud;
  int height = 0;

  // key
  unsigned code = 0;
  bool shift = false, ctrl = false, rshift = false, rctrl = false;
  bool answered = true;  // the vessel's answers to the press and the release
  int result = 0, upResult = 0;

  // eva, activate, airlock
  std::array<double, 3> pos{};  // m, in the vessel's frame
  int id = -1;
  bool boxKnown = true;
  std::array<double, 6> box{};  // m: x min, x max, y min, y max, z min, z max
  int door = 0, aux = 0, freeSeats = 0;

  // fault
  int count = 0;  // crew-count

  // run
  RunEvent run;

  // The event's kind and the vessel it concerns, for the report sites.
  static Event of(EventKind kind, std::string vessel = {}) {
    Event e;
    e.kind = kind;
    e.vessel = std::move(vessel);
    return e;
  }
  // An event of a text: a note, the debug line, an error.
  static Event said(EventKind kind, std::string text) {
    Event e;
    e.kind = kind;
    e.text = std::move(text);
    return e;
  }
};

// The event as one JSON object: "t", "sys", "kind" and the fields of its
// kind, as the trace records it (README.md, "The trace").
nlohmann::json toJson(const Event &event);

using EventObserver = std::function<void(const Event &)>;

// The kinds of event an observer reads, one bit each: the run makes no
// other event for it (a hundred thousand "created" events for an account
// that wants only the notes).
using EventKinds = std::uint32_t;
constexpr EventKinds eventBit(EventKind kind) { return EventKinds{1} << static_cast<unsigned>(kind); }
constexpr EventKinds kAllEvents = ~EventKinds{0};

}  // namespace simhost
