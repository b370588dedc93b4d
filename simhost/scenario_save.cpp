// Saving the run's world as a scenario file: each vessel's block written by
// its module (clbkSaveState), or by the host for a passive vessel.

#include <algorithm>
#include <unordered_map>

#include "files/scenario_file.h"
#include "plugin/vessel_lines.h"
#include "scenario_apply.h"
#include "world/text.h"

namespace simhost {

namespace {

// The block between NAME:CLASS and END.
void writeVesselLines(Runtime &rt, VesselRecord &v, ScenarioWriter &w) {
  if (v.standIn) {
    // Between its NAME line and END.
    const std::vector<std::string> &verbatim = v.verbatim();
    for (size_t i = 1; i + 1 < verbatim.size(); ++i) w.line(verbatim[i]);
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
  for (const auto &l : v.keptLines()) w.line({"  ", l});
}

void writeVessel(Runtime &rt, VesselRecord &v, ScenarioWriter &w) {
  if (v.standIn) {
    for (const auto &l : v.verbatim()) w.line(l);
    return;
  }
  w.line({v.name, ":", v.className});
  writeVesselLines(rt, v, w);
  w.line("END");
}

// What the file held among its ships besides the vessels simhost made (the
// ships held as read, the blank and comment lines), by the vessel each
// stood after, in file order.
class KeptAmongShips {
public:
  explicit KeptAmongShips(const ScenarioMeta &meta) {
    for (const HeldShip &h : meta.held) after_[h.afterSerial].push_back({h.line, &h.lines});
    for (const ShipsGap &g : meta.shipsGaps) after_[g.afterSerial].push_back({g.line, &g.lines});
    for (auto &entry : after_) std::stable_sort(entry.second.begin(), entry.second.end(), byLine);
  }
  bool empty() const { return after_.empty(); }
  // Those after the vessel of the serial (0: before any).
  void writeAfter(uint64_t serial, ScenarioWriter &w) {
    auto it = after_.find(serial);
    if (it == after_.end()) return;
    for (const Item &item : it->second) write(item, w);
    after_.erase(it);
  }
  // Those that stood after vessels deleted since, in file order.
  void writeRest(ScenarioWriter &w) {
    std::vector<Item> rest;
    for (const auto &entry : after_) rest.insert(rest.end(), entry.second.begin(), entry.second.end());
    std::stable_sort(rest.begin(), rest.end(), byLine);
    for (const Item &item : rest) write(item, w);
    after_.clear();
  }

private:
  struct Item {
    int line;
    const std::vector<std::string> *lines;
  };
  static bool byLine(const Item &a, const Item &b) { return a.line < b.line; }
  static void write(const Item &item, ScenarioWriter &w) {
    for (const auto &l : *item.lines) w.line(l);
  }
  std::unordered_map<uint64_t, std::vector<Item>> after_;
};

}  // namespace

std::string_view blockText(Runtime &rt, VesselRecord &v) {
  ScenarioWriter w;
  // A call made while this one writes starts with room of its own.
  w.out = std::move(rt.spareBlockText);
  w.out.clear();
  {
    BusyScope scope(rt);
    writeVesselLines(rt, v, w);
  }
  rt.spareBlockText = std::move(w.out);
  return rt.spareBlockText;
}

std::vector<std::string> blockLines(Runtime &rt, VesselRecord &v) {
  std::vector<std::string> lines;
  for (std::string_view rest = blockText(rt, v); !rest.empty();) lines.emplace_back(text::takeLine(rest));
  return lines;
}

bool saveScenarioFile(Runtime &rt, const std::string &path, std::string &error) {
  std::string target;
  if (!saveTarget(path, target, error)) return false;
  ScenarioWriter w;
  if (!startScenarioFile(path, target, rt.scenario.crlf, w, error)) return false;
  {
    BusyScope scope(rt);
    const std::string *focus = rt.focus ? &rt.focus->name : nullptr;
    writeScenarioStart(rt.scenario, rt.mjd(), focus, w);
    KeptAmongShips kept(rt.scenario);
    const bool anyKept = !kept.empty();
    if (anyKept) kept.writeAfter(0, w);
    // A module may delete vessels while saving; walk a snapshot.
    std::vector<VesselRecord *> vessels = rt.world.vessels();
    for (VesselRecord *v : vessels) {
      const uint64_t serial = v->serial;
      if (rt.world.fromHandle(v)) writeVessel(rt, *v, w);
      if (anyKept) kept.writeAfter(serial, w);
    }
    if (anyKept) kept.writeRest(w);
    writeScenarioEnd(rt.scenario, rt.mjd(), focus, w);
  }
  if (!finishScenarioFile(path, target, w, error)) return false;
  Event saved = Event::of(EventKind::Saved);
  saved.file = path;
  rt.report(std::move(saved));
  return true;
}

}  // namespace simhost
