#include "shared/session.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "crew_module.h"
#include "shared/object_name.h"

namespace simhost::command {

namespace {

using nlohmann::json;

unsigned modifierBits(const KeyChord &key) {
  return (key.shift ? Simulation::LeftShift : 0u) | (key.ctrl ? Simulation::LeftCtrl : 0u) |
         (key.rshift ? Simulation::RightShift : 0u) | (key.rctrl ? Simulation::RightCtrl : 0u);
}

// The stand-ins the load's notes name; the rest are counted.
constexpr size_t kStandInsNamed = 3;

}  // namespace

std::vector<std::string> loadNoteLines(const ScenarioMeta &read, const std::string &scenarioShown) {
  std::vector<std::string> lines;
  std::vector<std::string> standIns;
  for (const LoadNote &note : read.notes) {
    const HeldShip *held = nullptr;
    for (const HeldShip &ship : read.held)
      if (ship.name == note.vessel && ship.standIn) held = &ship;
    if (note.standIn || held) standIns.push_back(note.vessel);
  }
  if (!standIns.empty()) {
    std::string names;
    for (size_t i = 0; i < standIns.size() && i < kStandInsNamed; ++i) names += (i > 0 ? ", " : "") + standIns[i];
    if (standIns.size() > kStandInsNamed) names += " and " + std::to_string(standIns.size() - kStandInsNamed) + " more";
    lines.push_back(std::to_string(standIns.size()) + (standIns.size() == 1 ? " stand-in" : " stand-ins") +
                    " for classes the tree has no Config/Vessels file for, kept as read: " + names);
  }
  for (const LoadNote &note : read.notes) {
    if (note.standIn) continue;
    lines.push_back(scenarioShown + (note.line > 0 ? ":" + std::to_string(note.line) : std::string()) + ": " +
                    (note.vessel.empty() ? "" : note.vessel + ": ") + note.text);
  }
  return lines;
}

void ScriptActions::start() {
  if (sim.paused()) pauseStartSys = sim.sysTime();
}

double ScriptActions::clock() const {
  return sim.simTime() + (sim.paused() ? sim.sysTime() - pauseStartSys : 0);
}

bool ScriptActions::fire(const ScriptEvent &event, std::string &error) {
  // The script's comments tell its story, apart from simhost's own notes.
  if (!event.comment.empty()) {
    Event story = Event::said(EventKind::Story, event.comment);
    story.line = event.line;
    sim.report(std::move(story));
  }
  Event fires = Event::of(EventKind::Script);
  fires.line = event.line;
  fires.action = event.action;
  sim.report(std::move(fires));
  error.clear();
  if (perform(event, error)) return true;
  if (error.empty()) error = "failed";
  Event failed = Event::said(EventKind::Error, error);
  failed.line = event.line;
  failed.action = event.action;
  sim.report(std::move(failed));
  return false;
}

bool ScriptActions::perform(const ScriptEvent &event, std::string &error) {
  switch (event.verb) {
    case ScriptVerb::Key:
      return sim.pressKey(event.key.code, modifierBits(event.key), error);
    case ScriptVerb::Focus:
      if (!sim.setFocus(event.name, error)) return false;
      timeline.setFocusName(event.name);
      return true;
    case ScriptVerb::Warp:
      sim.setWarp(event.value);
      return true;
    case ScriptVerb::Pause:
      if (event.on && !sim.paused()) pauseStartSys = sim.sysTime();
      sim.setPaused(event.on);
      return true;
    case ScriptVerb::Hud:
      sim.setHudVisible(event.on);
      return true;
    case ScriptVerb::Place:
      return sim.placeVessel(event.name, event.className, event.near, event.x, event.z, event.heading, error);
    case ScriptVerb::Delete:
      return sim.deleteVessel(event.name, error);
    case ScriptVerb::Mass:
      return sim.setEmptyMass(event.name, event.value, error);
    case ScriptVerb::Attach:
      return sim.attach(event.name, event.other, error);
    case ScriptVerb::Detach:
      return sim.detach(event.name, error);
    case ScriptVerb::AfcMode:
      return sim.setAfcMode(event.name, event.bits, error);
    case ScriptVerb::Eva:
      return noCrewModule(event) || crewEva(sim, event.name, event.x, event.y, event.z, error);
    case ScriptVerb::Activate:
      return noCrewModule(event) || crewActivate(sim, event.name, error);
    case ScriptVerb::Save:
      return sim.saveScenario(scenarioSavePath(event.file), error);
    case ScriptVerb::Fault:
      return injectFault(event, error);
    case ScriptVerb::Stop:
      stopped_ = true;
      return true;
  }
  return true;
}

// The fault verb: simhost's own faults strike later and are reported then;
// the crew table's are made at once.
bool ScriptActions::injectFault(const ScriptEvent &event, std::string &error) {
  const std::string &kind = event.name;
  if (kind == "create-fails") {
    sim.failVesselCreation(event.className, static_cast<int>(event.value));
    return true;
  }
  if (kind == "mesh-fails") {
    sim.failMesh(event.file);
    return true;
  }
  if (kind == "file-vanishes") return sim.vanishFile(event.file, error);
  if (kind == "file-unopenable") return sim.blockFile(event.file, error);
  if (kind == "crew-table-full") return crewTableFull(sim, error);
  if (kind == "crew-count") return crewTableCount(sim, static_cast<int>(event.value), error);
  sim.clearFaults();
  // The crew table outlives the run; a tree without the crew module has
  // nothing of it to restore.
  std::string ignored;
  crewTableRestore(sim, ignored);
  return true;
}

// A tree without the crew add-on has nobody to walk outside: the same
// script runs there, and its crew verbs do nothing.
bool ScriptActions::noCrewModule(const ScriptEvent &event) {
  if (!resolvePath(sim.root(), "Modules\\UMmu.dll").empty()) return false;
  sim.report(Event::said(EventKind::Note, "no crew module Modules\\UMmu.dll in this tree: " + event.action + " does nothing"));
  return true;
}

// Like the simulator's own saves, a script saves into the tree's Scenarios
// folder unless it names a full path.
std::string ScriptActions::scenarioSavePath(const std::string &file) const {
  std::filesystem::path path(file);
  if (path.is_absolute()) return file;
  return (std::filesystem::path(sim.root()) / "Scenarios" / path).string();
}

Event namedAsPlanned(Event event, const RunPlan &plan) {
  if (event.kind == EventKind::Loaded && event.file == plan.scenarioPath) event.file = plan.scenarioShown;
  if (event.kind == EventKind::Saved) event.file = shownInside(plan.root, event.file);
  return event;
}

std::string traceLine(const Event &event) {
  return toJson(event).dump(-1, ' ', false, json::error_handler_t::replace);
}

void reportRunEnd(Simulation &sim, bool ok, long frames) {
  Event end = Event::of(EventKind::Run);
  end.run.start = false;
  end.run.ok = ok;
  end.run.frames = frames;
  DWORD count = oapiGetVesselCount();
  for (DWORD i = 0; i < count; ++i) end.run.vessels.push_back(objectName(oapiGetVesselByIndex(i)));
  sim.report(std::move(end));
}

std::unique_ptr<std::ofstream> openTrace(const std::string &path, std::string &error) {
  auto trace = std::make_unique<std::ofstream>(path, std::ios::binary | std::ios::trunc);
  if (*trace) return trace;
  error = "cannot write the trace " + path + ": " + std::strerror(errno);
  return nullptr;
}

bool writeWholeFile(const std::string &path, const std::string &text, const char *what, std::string &error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out << text;
  out.flush();
  if (out) return true;
  error = std::string("cannot write the ") + what + " " + path + ": " + std::strerror(errno);
  return false;
}

}  // namespace simhost::command
