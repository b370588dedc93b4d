#include "play/play.h"

#include <curses.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <deque>
#include <fstream>
#include <memory>
#include <utility>
#include <vector>

#include "crew_module.h"
#include "play/command_line.h"
#include "play/key_bindings.h"
#include "play/recorder.h"
#include "play/screen.h"
#include "play/site_shapes.h"
#include "shared/exit_status.h"
#include "shared/object_name.h"
#include "shared/session.h"
#include "shared/timeline.h"
#include "simulation.h"

namespace simhost::command {

namespace {

using nlohmann::json;
using WallClock = std::chrono::steady_clock;

// The events pane keeps this many lines.
constexpr size_t kEventLinesKept = 500;
// A session that falls this far behind the wall clock (a slow machine, a
// high time acceleration) goes on from now rather than rushing to catch up.
constexpr auto kMostBehind = std::chrono::seconds(1);

volatile std::sig_atomic_t g_interrupted = 0;

void noteInterrupt(int) { g_interrupted = 1; }

// An interrupt (Ctrl+C) ends the session as :quit does, so that the record
// is complete and the terminal is given back.
class InterruptCatcher {
public:
  InterruptCatcher() {
    g_interrupted = 0;
    struct sigaction action {};
    action.sa_handler = noteInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous);
  }
  ~InterruptCatcher() { sigaction(SIGINT, &previous, nullptr); }

private:
  struct sigaction previous {};
};

// What follows `simhost run` to replay a session of these options.
std::string replayArguments(const PlayOptions &options) {
  std::string arguments;
  if (!options.scenario.empty()) arguments += quotedForShell(options.scenario);
  if (!options.root.empty()) arguments += (arguments.empty() ? "" : " ") + std::string("--root ") + quotedForShell(options.root);
  return arguments;
}

class PlaySession {
public:
  PlaySession(const RunPlan &plan, const PlayOptions &options, std::ostream &out, std::ostream &err)
      : plan(plan), options(options), out(out), err(err) {}

  int play() {
    std::string error;
    if (!recorder.open(options.record, plan.scenarioShown, replayArguments(options), plan.dt, error)) {
      err << "simhost: " << error << '\n';
      return kBadUsage;
    }
    if (!plan.trace.empty() && !(trace = openTrace(plan.trace, error))) {
      err << "simhost: " << error << '\n';
      return kBadUsage;
    }
    Simulation simulation(plan.root);
    sim = &simulation;
    if (!load()) return finish(kRunFailed);
    {
      InterruptCatcher interrupts;
      PlayScreen terminal;
      screen = &terminal;
      startWarp();
      loop();
      screen = nullptr;
    }
    return finish(kRunOk);
  }

private:
  const RunPlan &plan;
  const PlayOptions &options;
  std::ostream &out;
  std::ostream &err;
  std::unique_ptr<std::ofstream> trace;
  Simulation *sim = nullptr;
  PlayScreen *screen = nullptr;
  Timeline timeline;
  CrewAirlockWatch airlocks;
  std::unique_ptr<ScriptActions> actions;
  PlayRecorder recorder;
  CommandLine commandLine;
  std::deque<std::string> eventLines;
  std::string message = "Keys go to the focus vessel first. Type :quit to end.";
  long frames = 0;
  // Events wait here while the scenario loads (until its focus is known)
  // and while an action is done (until it is known to have been done).
  enum class Holding { No, Loading, Action } holding = Holding::No;
  std::vector<Event> held;
  int lastKeyResult = 0;
  int hudHeight = 0;  // of the HUD as last drawn, in pixels

  // The scenario's vessels are reported before its focus is, yet their
  // positions are measured from the focus: the loading's events wait.
  bool load() {
    sim->setObserver([this](const Event &event) {
      if (holding != Holding::No) {
        held.push_back(event);
      } else {
        deliver(namedAsPlanned(event, plan));
      }
    });
    sim->setFrameLength(plan.dt);
    Event start = Event::of(EventKind::Run);
    start.run.play = true;
    start.run.scenario = plan.scenarioShown;
    start.run.root = plan.root;
    start.run.dt = plan.dt;
    start.run.warp = plan.warp;
    start.run.record = options.record;
    sim->report(std::move(start));
    std::string error;
    holding = Holding::Loading;
    const bool loaded = sim->loadScenario(plan.scenarioPath, error);
    holding = Holding::No;
    if (OBJHANDLE focus = sim->focus()) timeline.setFocusName(objectName(focus));
    // What the load kept as read or noted, as `run` tells it: on stderr
    // before the screen starts, and first in the events pane.
    if (loaded)
      for (const std::string &line : loadNoteLines(sim->scenarioRead(), plan.scenarioShown)) {
        err << "simhost: " << line << '\n';
        eventLines.push_back("simhost: " + line);
      }
    for (Event &event : std::exchange(held, {})) deliver(namedAsPlanned(std::move(event), plan));
    if (!loaded) {
      sim->report(Event::said(EventKind::Error, "scenario refused: " + error));
      err << "simhost: scenario " << plan.scenarioShown << " refused: " << error << '\n';
      return false;
    }
    actions = std::make_unique<ScriptActions>(*sim, timeline);
    actions->start();
    airlocks.reportChanges(*sim);
    return true;
  }

  // The trace, and the events pane as the timeline prints them. The run's
  // opening is the trace's alone: the status line tells it.
  void deliver(const Event &event, bool toTrace = true) {
    if (toTrace && trace) *trace << traceLine(event) << '\n';
    if (event.kind == EventKind::Hud) hudHeight = event.height;
    if (event.kind == EventKind::Run && event.run.start) return;
    const std::string text = timeline.format(event);
    size_t from = 0;
    while (from < text.size()) {
      size_t end = text.find('\n', from);
      if (end == std::string::npos) end = text.size();
      if (end > from) eventLines.push_back(text.substr(from, end - from));
      from = end + 1;
    }
    while (eventLines.size() > kEventLinesKept) eventLines.pop_front();
  }

  // A time acceleration other than 1 at the start is the session's first
  // action, so that the record replays with it.
  void startWarp() {
    if (plan.warp != 1) act("warp " + exactScriptTime(plan.warp));
  }

  void loop() {
    const auto frameLength = std::chrono::duration_cast<WallClock::duration>(std::chrono::duration<double>(plan.dt));
    auto nextFrame = WallClock::now();
    draw();
    while (!actions->stopped()) {
      if (g_interrupted) {
        act("stop");
        break;
      }
      const auto now = WallClock::now();
      if (now >= nextFrame) {
        frame();
        nextFrame += frameLength;
        if (WallClock::now() - nextFrame > kMostBehind) nextFrame = WallClock::now();
        draw();
        continue;
      }
      const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextFrame - now);
      const int key = screen->readKey(static_cast<int>(wait.count()));
      if (key < 0) continue;
      onKey(key);
      draw();
    }
  }

  // Paused, the simulation stands still and no frame runs, its system time
  // included: what the operator does meanwhile is done, and recorded, at
  // the simulation time of the pause, so a record holds simulation times
  // only, and `run`, which runs no frame between a "pause on" and a "pause
  // off" of the same time, replays it to the same trace.
  void frame() {
    if (sim->paused()) return;
    sim->frame();
    airlocks.reportChanges(*sim);
    ++frames;
  }

  void onKey(int key) {
    if (key == KEY_RESIZE) return;
    if (commandLine.isOpen()) {
      if (commandLine.key(key) == CommandLine::Outcome::Entered) runCommandLine(commandLine.entered());
      return;
    }
    // As in the simulator, the focus vessel has the key first.
    KeyChord chord;
    bool consumed = false;
    if (sim->focus() != nullptr && chordFromTerminalKey(key, chord)) {
      consumed = act("key " + keyChordName(chord), false) && lastKeyResult != 0;
    }
    if (!consumed) serve(playBinding(key));
  }

  void serve(PlayBinding binding) {
    switch (binding) {
      case PlayBinding::None:
        return;
      case PlayBinding::Pause:
        act(sim->paused() ? "pause off" : "pause on");
        return;
      case PlayBinding::WarpUp:
      case PlayBinding::WarpDown:
        changeWarp(binding == PlayBinding::WarpUp);
        return;
      case PlayBinding::NextFocus:
        focusNextVessel();
        return;
      case PlayBinding::CommandLine:
        commandLine.open();
        return;
    }
  }

  void changeWarp(bool up) {
    const double warp = nextWarp(sim->warp(), up);
    if (warp == sim->warp()) {
      message = "The time acceleration stays at " + exactScriptTime(warp) + (up ? ", the highest." : ", the lowest.");
      return;
    }
    act("warp " + exactScriptTime(warp));
  }

  void focusNextVessel() {
    const DWORD count = oapiGetVesselCount();
    if (count == 0) return;
    DWORD next = 0;
    for (DWORD i = 0; i < count; ++i)
      if (oapiGetVesselByIndex(i) == sim->focus()) next = (i + 1) % count;
    act("focus " + objectName(oapiGetVesselByIndex(next)));
  }

  void runCommandLine(const std::string &line) {
    PlayCommand command = parseCommandLine(line);
    switch (command.kind) {
      case PlayCommand::Nothing:
        return;
      case PlayCommand::Quit:
        act("stop");
        return;
      case PlayCommand::Bad:
        message = command.error;
        return;
      case PlayCommand::Action:
        perform(std::move(command.event), true);
        return;
    }
  }

  // An action in a script's words ("pause on"), as the command line would
  // take it.
  bool act(const std::string &words, bool tell = true) {
    PlayCommand command = parseCommandLine(words);
    if (command.kind != PlayCommand::Action) {
      message = words + ": " + command.error;
      return false;
    }
    return perform(std::move(command.event), tell);
  }

  // Done between two frames at the run clock's reading, as `run` does a
  // script's event of that time; recorded and traced only when done.
  bool perform(ScriptEvent event, bool tell) {
    event.time = actions->clock();
    event.line = recorder.nextLine();
    std::string error;
    holding = Holding::Action;
    const bool done = actions->fire(event, error);
    holding = Holding::No;
    std::vector<Event> events = std::exchange(held, {});
    lastKeyResult = 0;
    for (const Event &e : events)
      if (e.kind == EventKind::Key) lastKeyResult = e.result;
    if (done) recorder.write(event.time, event.action);
    for (Event &e : events) deliver(namedAsPlanned(std::move(e), plan), done);
    if (!done) {
      message = event.action + ": " + error;
    } else if (tell) {
      message = "Done: " + event.action;
    }
    return done;
  }

  void draw() {
    PlayPicture picture;
    picture.scenario = plan.scenarioShown;
    picture.simTime = sim->simTime();
    picture.warp = sim->warp();
    picture.paused = sim->paused();
    if (OBJHANDLE focus = sim->focus()) picture.focus = objectName(focus);
    picture.record = options.record;
    picture.hud = sim->hud();
    picture.hudHeight = hudHeight;
    picture.debug = sim->debugText();
    picture.site = surveySite(*sim);
    picture.events = &eventLines;
    picture.commandOpen = commandLine.isOpen();
    picture.commandText = commandLine.text();
    picture.commandCursor = commandLine.cursor();
    picture.message = message;
    screen->draw(picture);
  }

  int finish(int status) {
    reportRunEnd(*sim, status == kRunOk, frames);
    sim->setObserver(nullptr);
    if (trace) {
      trace->flush();
      if (!*trace) {
        err << "simhost: cannot write the trace " << plan.trace << '\n';
        status = kRunFailed;
      }
    }
    if (!recorder.good()) {
      err << "simhost: cannot write the record " << options.record << '\n';
      status = kRunFailed;
    }
    if (status == kRunOk) summary();
    return status;
  }

  void summary() {
    char played[160];
    std::snprintf(played, sizeof played, "simhost: played %s to %.1f s of simulation time in %ld frames\n",
                  plan.scenarioShown.c_str(), sim->simTime(), frames);
    out << played;
    if (!options.record.empty())
      out << "  recorded to " << options.record << "; replay: simhost run " << replayArguments(options)
          << (replayArguments(options).empty() ? "" : " ") << "--dt " << exactScriptTime(plan.dt) << " --script "
          << quotedForShell(options.record) << '\n';
  }
};

}  // namespace

int playScenario(const PlayOptions &options, std::ostream &out, std::ostream &err) {
  if (isatty(STDIN_FILENO) == 0 || isatty(STDOUT_FILENO) == 0) {
    err << "simhost: play needs a terminal for its screen and keys; without one, give the actions as a script: "
           "simhost run [SCENARIO] --script - reads it from standard input\n";
    return kBadUsage;
  }
  ScenarioPlace place;
  std::vector<std::string> errors;
  if (!findScenario(options.scenario, options.root, place, errors)) {
    for (const std::string &error : errors) err << "simhost: " << error << '\n';
    return kBadUsage;
  }
  RunPlan plan;
  plan.root = place.root;
  plan.scenarioPath = place.path;
  plan.scenarioShown = place.shown;
  plan.warp = options.warp;
  plan.trace = options.trace;
  PlaySession session(plan, options, out, err);
  return session.play();
}

}  // namespace simhost::command
