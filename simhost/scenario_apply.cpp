// Loading a scenario into the run: the reader's target (scenario_target.h)
// makes the vessels in the run's world as their blocks are read.

#include "scenario_apply.h"

#include <algorithm>

#include "files/scenario_file.h"
#include "scenario_target.h"
#include "world/geometry.h"

namespace simhost {

bool loadScenarioFile(Runtime &rt, const std::string &path, std::string &error) {
  ScenarioLines lines;
  rt.deleteAllVessels();
  rt.scenario = ScenarioMeta();
  rt.simt = rt.simStep = 0;
  rt.simClock.reset();
  rt.scenario.file = path;
  rt.setDate(kDefaultMjd);
  if (!lines.read(path, error)) return false;
  rt.world.reserve(lines.endLines());
  rt.scenario.crlf = firstLineEndsInCrLf(lines.bytes());
  rt.holdEvents = true;
  bool ok;
  {
    BusyScope scope(rt);
    RunTarget target(rt);
    ok = readScenario(path, lines, rt.scenario, target, error);
  }
  if (!ok) {
    rt.deleteAllVessels();
    rt.scenario = ScenarioMeta();
    rt.heldEvents.clear();
    rt.holdEvents = false;
    return false;
  }
  // Told in file order: a ship held once all were read is noted last.
  std::stable_sort(rt.scenario.notes.begin(), rt.scenario.notes.end(),
                   [](const LoadNote &a, const LoadNote &b) { return a.line < b.line; });
  // What the modules told while the file was read comes first, then each
  // vessel as it is told: none is held, so a world of a hundred thousand
  // keeps no event apiece.
  rt.releaseHeldEvents();
  for (VesselRecord *v : rt.world.vessels()) rt.announce(v);
  if (rt.focus) rt.report(Event::of(EventKind::Focus, rt.focus->name));
  Event loaded = Event::of(EventKind::Loaded);
  loaded.file = path;
  rt.report(std::move(loaded));
  return true;
}

}  // namespace simhost
