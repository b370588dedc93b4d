// Saving the run's world as a scenario file: each vessel's block written by
// its module (clbkSaveState), or by the host for a passive vessel.

#include "files/scenario_file.h"
#include "scenario_apply.h"
#include "world/text.h"

namespace simhost {

namespace {

// The block between NAME:CLASS and END.
void writeVesselLines(Runtime &rt, VesselRecord &v, ScenarioWriter &w) {
  if (v.standIn) {
    // Between its NAME line and END.
    for (size_t i = 1; i + 1 < v.verbatim.size(); ++i) w.line(v.verbatim[i]);
    return;
  }
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
  if (v.standIn) {
    for (const auto &l : v.verbatim) w.line(l);
    return;
  }
  w.line({v.name, ":", v.className});
  writeVesselLines(rt, v, w);
  w.line("END");
}

// The ships held as read that stood after the vessel of serial after (0:
// before any), each written once.
void writeHeld(const ScenarioMeta &meta, uint64_t after, std::vector<bool> &written, ScenarioWriter &w) {
  for (size_t i = 0; i < meta.held.size(); ++i) {
    if (written[i] || meta.held[i].afterSerial != after) continue;
    for (const auto &l : meta.held[i].lines) w.line(l);
    written[i] = true;
  }
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
    const std::string *focus = rt.focus ? &rt.focus->name : nullptr;
    writeScenarioStart(rt.scenario, rt.mjd(), focus, w);
    const bool anyHeld = !rt.scenario.held.empty();
    std::vector<bool> written(rt.scenario.held.size(), false);
    if (anyHeld) writeHeld(rt.scenario, 0, written, w);
    // A module may delete vessels while saving; walk a snapshot.
    std::vector<VesselRecord *> vessels = rt.world.vessels();
    for (VesselRecord *v : vessels) {
      const uint64_t serial = v->serial;
      if (rt.world.fromHandle(v)) writeVessel(rt, *v, w);
      if (anyHeld) writeHeld(rt.scenario, serial, written, w);
    }
    // Those that stood after a vessel deleted since.
    for (size_t i = 0; i < written.size(); ++i)
      if (!written[i]) writeHeld(rt.scenario, rt.scenario.held[i].afterSerial, written, w);
    writeScenarioEnd(rt.scenario, rt.mjd(), focus, w);
  }
  if (!writeScenarioFile(path, target, w, error)) return false;
  rt.report({{"kind", "saved"}, {"file", path}});
  return true;
}

}  // namespace simhost
