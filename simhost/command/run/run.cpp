#include "run/run.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

#include "crew_module.h"
#include "pictures/replay.h"
#include "pictures/site.h"
#include "pictures/site_map.h"
#include "shared/object_name.h"
#include "shared/session.h"
#include "shared/timeline.h"
#include "simulation.h"

namespace simhost::command {

namespace {

using nlohmann::json;

// Two events at the same time must not be told apart by the rounding of a
// sum of frame lengths: 10 frames of 0.1 s reach an event at 1.0 s.
constexpr double kTimeSlack = 1e-9;
// Runs of more frames than this show their progress on a terminal.
constexpr long kLongRunFrames = 1000;
constexpr long kProgressEveryFrames = 100;

class ScriptedRun {
public:
  ScriptedRun(const RunPlan &plan, std::ostream &out, std::ostream &err, bool errIsTerminal)
      : plan(plan), out(out), err(err), showProgress(errIsTerminal), descriptions(plan.root) {}

  int run() {
    if (!plan.trace.empty()) {
      std::string error;
      if (!(trace = openTrace(plan.trace, error))) {
        tell(error);
        return kBadUsage;
      }
    }
    Simulation sim(plan.root);
    this->sim = &sim;
    // Events are made only for a reader: the trace, the timeline, the replay
    // or the map (which marks where boxes were set down). A quiet run of a
    // large world would otherwise build one for every vessel it loads.
    listening = trace || !plan.quiet || !plan.replay.empty() || !plan.map.empty();
    if (listening) {
      sim.setObserver([this](const Event &event) {
        if (loading) {
          heldEvents.push_back(event);
        } else {
          record(namedAsPlanned(event, plan));
        }
      });
    }
    sim.setFrameLength(plan.dt);
    sim.setWarp(plan.warp);
    reportStart();

    // The scenario's vessels are reported before its focus is, yet their
    // positions are measured from the focus: hold the loading's events
    // until the focus is known, so the timeline can name it.
    std::string error;
    loading = true;
    bool loaded = sim.loadScenario(plan.scenarioPath, error);
    loading = false;
    if (loaded) tellLoadNotes();
    noteFocus();
    if (loaded && !plan.replay.empty()) {
      replay = std::make_unique<ReplayRecorder>(descriptions, setDowns);
      replay->radius = plan.mapRadius;
      replay->start(sim, plan.scenarioShown);
    }
    for (Event &event : heldEvents) record(namedAsPlanned(std::move(event), plan));
    heldEvents.clear();
    running = true;
    if (!loaded) {
      sim.report(Event::said(EventKind::Error, "scenario refused: " + error));
      tell("scenario " + plan.scenarioShown + " refused: " + error);
      return finish(kRunFailed);
    }
    actions = std::make_unique<ScriptActions>(sim, timeline);
    actions->start();
    airlocks.reportChanges(sim);

    int status = loop();
    if (status == kRunOk && !actions->stopped()) reportEventsNotRun();
    if (status == kRunOk && !plan.save.empty() && !sim.saveScenario(plan.save, error)) {
      sim.report(Event::said(EventKind::Error, "cannot save " + plan.save + ": " + error));
      tell("cannot save " + plan.save + ": " + error);
      status = kRunFailed;
    }
    // The pictures show the run as it ended, failed or not; the replay
    // holds its closing event too.
    if (!plan.map.empty() && !mapTaken) takeMap();
    if (!writeMap()) status = kRunFailed;
    status = finish(status);
    if (!writeReplay() && status == kRunOk) status = kRunFailed;
    return status;
  }

private:
  const RunPlan &plan;
  std::ostream &out;
  std::ostream &err;
  bool showProgress;
  bool progressShown = false;
  std::unique_ptr<std::ofstream> trace;
  Simulation *sim = nullptr;
  Timeline timeline;
  // The crew's view of the vessels' airlocks, told when they change.
  CrewAirlockWatch airlocks;
  std::unique_ptr<ScriptActions> actions;
  long frames = 0;
  size_t nextEvent = 0;  // the first script event not yet fired
  bool loading = false;
  bool running = false;  // the scenario's loading is told
  bool listening = false;  // the run's events have a reader
  std::vector<Event> heldEvents;
  // The pictures of the run (pictures/: site.h, site_map.h, replay.h).
  SiteDescriptions descriptions;
  SetDownHistory setDowns;
  std::unique_ptr<ReplayRecorder> replay;
  SiteMoment mapMoment;
  bool mapTaken = false;

  // The trace and the timeline come from the same events, in one place.
  void record(const Event &event) {
    if (running && event.kind == EventKind::Created) setDowns.noteCreated(*sim, descriptions, event.vessel);
    if (replay) replay->event(*sim, event);
    if (trace) *trace << traceLine(event) << '\n';
    if (!plan.quiet) {
      clearProgress();
      out << timeline.format(event);
    }
  }

  // A line on err, after the timeline so far: an error, or a notice the
  // operator should not miss.
  void tell(const std::string &message) {
    clearProgress();
    out.flush();
    err << "simhost: " << message << '\n';
  }

  void reportStart() {
    Event start = Event::of(EventKind::Run);
    start.run.scenario = plan.scenarioShown;
    start.run.root = plan.root;
    start.run.until = plan.until;
    start.run.dt = plan.dt;
    start.run.warp = plan.warp;
    start.run.script = plan.scriptShown;
    start.run.scriptBeside = plan.scriptBeside;
    start.run.events = plan.events.size();
    sim->report(std::move(start));
  }

  // What the load kept as read or noted, before the timeline.
  void tellLoadNotes() {
    for (const std::string &line : loadNoteLines(sim->scenarioRead(), plan.scenarioShown)) tell(line);
  }

  // Script events of different times that one frame takes at once: time
  // acceleration has run past the first ones.
  void noteSharedFrame(size_t next) {
    size_t due = next;
    while (due < plan.events.size() && plan.events[due].time <= actions->clock() + kTimeSlack) ++due;
    if (due - next < 2 || !(plan.events[due - 1].time > plan.events[next].time + kTimeSlack)) return;
    sim->report(Event::said(EventKind::Note, "events of lines " + std::to_string(plan.events[next].line) + "-" +
                              std::to_string(plan.events[due - 1].line) + " fall into the frame at " +
                              fixedTime(actions->clock()) + " s"));
  }

  // The vessel "created" positions are measured from, for scenarios whose
  // focus was set while loading.
  void noteFocus() {
    OBJHANDLE focus = sim->focus();
    if (focus != nullptr) timeline.setFocusName(objectName(focus));
  }

  int loop() {
    size_t &next = nextEvent;
    const bool longRun = plan.until / (plan.dt * plan.warp) > kLongRunFrames;
    for (;;) {
      noteSharedFrame(next);
      while (next < plan.events.size() && plan.events[next].time <= actions->clock() + kTimeSlack) {
        if (!fire(plan.events[next++])) return kRunFailed;
        if (actions->stopped()) return kRunOk;
      }
      if (plan.mapAt >= 0 && !mapTaken && actions->clock() >= plan.mapAt - kTimeSlack) takeMap();
      const double before = actions->clock();
      if (before >= plan.until - kTimeSlack) return kRunOk;
      sim->frame();
      airlocks.reportChanges(*sim);
      if (replay) replay->afterFrame(*sim);
      ++frames;
      // A frame far shorter than the time already run adds nothing to it,
      // and the run would never reach its end.
      if (!(actions->clock() > before)) {
        char what[160];
        std::snprintf(what, sizeof what, "time stands still at %.1f s: frames of %g s at time acceleration %g add nothing to it",
                      before, plan.dt, sim->warp());
        sim->report(Event::said(EventKind::Error, what));
        tell(what);
        return kRunFailed;
      }
      if (showProgress && longRun && frames % kProgressEveryFrames == 0) showProgressLine();
    }
  }

  // Events the script holds for after --until: the run ends before them,
  // which the operator should hear of, as a typing error in a time would
  // otherwise pass unseen.
  void reportEventsNotRun() {
    const size_t left = plan.events.size() - nextEvent;
    if (left == 0) return;
    const std::string after = " after " + fixedTime(plan.until) + " s ";
    const std::string line = std::to_string(plan.events[nextEvent].line);
    tell(left == 1 ? "1 event" + after + "was not run; it is line " + line
                   : std::to_string(left) + " events" + after + "were not run; the first is line " + line);
  }

  static std::string fixedTime(double seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", seconds);
    return text;
  }

  bool fire(const ScriptEvent &event) {
    std::string error;
    if (actions->fire(event, error)) return true;
    tell(plan.scriptShown + ":" + std::to_string(event.line) + ": " + event.action + ": " + error);
    return false;
  }

  int finish(int status) {
    if (listening) reportRunEnd(*sim, status == kRunOk, frames);
    // The summary is the last word: what the simulation does while it is
    // taken down is no part of the run.
    sim->setObserver(nullptr);
    clearProgress();
    out.flush();
    if (trace) {
      trace->flush();
      if (!*trace) {
        tell("cannot write the trace " + plan.trace);
        if (status == kRunOk) status = kRunFailed;
      }
    }
    return status;
  }

  void takeMap() {
    std::string error;
    mapTaken = true;
    mapMoment.title = plan.scenarioShown;
    mapMoment.radius = plan.mapRadius;
    if (!captureSite(*sim, descriptions, setDowns, mapMoment, error)) tell("no map: " + error);
  }

  bool writeMap() {
    std::string error;
    if (plan.map.empty() || mapMoment.focus.empty() || writeSiteMap(sim->operatorPath(plan.map), mapMoment, error)) return true;
    tell(error);
    return false;
  }

  bool writeReplay() {
    std::string error;
    if (!replay || replay->write(sim->operatorPath(plan.replay), plan.replayAssets, error)) return true;
    tell(error);
    return false;
  }

  void showProgressLine() {
    char line[128];
    std::snprintf(line, sizeof line, "\rsimhost: %.1f s of %.1f s simulated, %ld frames\033[K", sim->simTime(), plan.until,
                  frames);
    err << line << std::flush;
    progressShown = true;
  }

  void clearProgress() {
    if (!progressShown) return;
    err << "\r\033[K" << std::flush;
    progressShown = false;
  }
};

}  // namespace

int runPlan(const RunPlan &plan, std::ostream &out, std::ostream &err, bool errIsTerminal) {
  ScriptedRun run(plan, out, err, errIsTerminal);
  return run.run();
}

}  // namespace simhost::command
