// Saving the run's world as a scenario file: each vessel's block written by
// its module (clbkSaveState), or by the host for a passive vessel.

#include "files/scenario_file.h"
#include "scenario_apply.h"
#include "world/text.h"

namespace simhost {

namespace {

// The block between NAME:CLASS and END.
void writeVesselLines(Runtime &rt, VesselRecord &v, ScenarioWriter &w) {
  VESSEL2 *cb = callbacksOf(&v);
  setActiveWriter(&w);
  if (v.module && cb) {
    cb->clbkSaveState(&w);
  } else {
    writeHostLines(rt, v, w);
    writeOwnLines(v, w);
  }
  setActiveWriter(nullptr);
  for (const auto &l : v.keptLines) w.line({"  ", l});
}

void writeVessel(Runtime &rt, VesselRecord &v, ScenarioWriter &w) {
  w.line({v.name, ":", v.className});
  writeVesselLines(rt, v, w);
  w.line("END");
}

}  // namespace

std::vector<std::string> blockLines(Runtime &rt, VesselRecord &v) {
  ScenarioWriter w;
  {
    BusyScope scope(rt);
    writeVesselLines(rt, v, w);
  }
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < w.out.size()) {
    size_t end = w.out.find('\n', start);
    std::string_view line = text::trim(std::string_view(w.out).substr(start, end - start));
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

bool saveScenarioFile(Runtime &rt, const std::string &path, std::string &error) {
  std::string target;
  if (!saveTarget(path, target, error)) return false;
  ScenarioWriter w;
  w.out.reserve(rt.world.count() * 128 + 4096);
  {
    BusyScope scope(rt);
    writeScenarioStart(rt.scenario, rt.mjd(), rt.focus ? &rt.focus->name : nullptr, w);
    // A module may delete vessels while saving; walk a snapshot.
    std::vector<VesselRecord *> vessels = rt.world.vessels();
    for (VesselRecord *v : vessels)
      if (rt.world.fromHandle(v)) writeVessel(rt, *v, w);
    writeScenarioEnd(rt.scenario, w);
  }
  if (!writeScenarioFile(path, target, w, error)) return false;
  rt.report({{"kind", "saved"}, {"file", path}});
  return true;
}

}  // namespace simhost
