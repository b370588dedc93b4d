// Writing the world as a scenario file. What was read and not understood
// (the description, other environment lines, unknown sections, a passive
// vessel's unknown lines) is written back as it came, so that loading a
// saved file and saving it again gives the same bytes.

#include <cstdio>

#include "geometry.h"
#include "scenario.h"
#include "vessel_state.h"

namespace simhost {

namespace {

void writeSections(const Runtime &rt, ScenarioWriter &w, bool afterShips) {
  for (const KeptSection &s : rt.scenario.sections) {
    if (s.afterShips != afterShips) continue;
    if (afterShips) w.line("");
    for (const auto &l : s.lines) w.line(l);
    if (!afterShips) w.line("");
  }
}

void writeVessel(Runtime &rt, VesselRecord &v, ScenarioWriter &w) {
  w.line({v.name, ":", v.className});
  VESSEL2 *cb = callbacksOf(&v);
  setActiveWriter(&w);
  if (v.module && cb) {
    cb->clbkSaveState(&w);
  } else {
    writeHostLines(rt, v, w);
  }
  setActiveWriter(nullptr);
  for (const auto &l : v.keptLines) w.line({"  ", l});
  w.line("END");
}

}  // namespace

bool saveScenarioFile(Runtime &rt, const std::string &path, std::string &error) {
  ScenarioWriter w;
  w.out.reserve(rt.world.count() * 128 + 4096);
  {
    BusyScope scope(rt);
    w.line("BEGIN_DESC");
    for (const auto &l : rt.scenario.description) w.line(l);
    w.line("END_DESC");
    w.line("");
    w.line("BEGIN_ENVIRONMENT");
    w.item("System", "Sol");
    char date[64];
    std::snprintf(date, sizeof date, "MJD %.10f", rt.mjd());
    w.item("Date", date);
    for (const auto &l : rt.scenario.environment) w.line("  " + l);
    w.line("END_ENVIRONMENT");
    w.line("");
    if (rt.focus) {
      w.line("BEGIN_FOCUS");
      w.item("Ship", rt.focus->name);
      w.line("END_FOCUS");
      w.line("");
    }
    writeSections(rt, w, false);
    w.line("BEGIN_SHIPS");
    // A module may delete vessels while saving; walk a snapshot.
    std::vector<VesselRecord *> vessels = rt.world.vessels();
    for (VesselRecord *v : vessels)
      if (rt.world.fromHandle(v)) writeVessel(rt, *v, w);
    w.line("END_SHIPS");
    writeSections(rt, w, true);
  }
  if (!w.overlong.empty()) {
    error = path + ": not written: a line is longer than " + std::to_string(kScenarioLineCapacity) +
            " characters and could not be read back (" + w.overlong + "...)";
    return false;
  }
  // Written beside the target and renamed over it, so that a failed save
  // leaves the earlier file as it was.
  std::string part = path + ".part";
  FILE *f = std::fopen(part.c_str(), "wb");
  if (!f) {
    error = path + ": cannot be written";
    return false;
  }
  bool ok = std::fwrite(w.out.data(), 1, w.out.size(), f) == w.out.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok || std::rename(part.c_str(), path.c_str()) != 0) {
    std::remove(part.c_str());
    error = path + ": cannot be written completely";
    return false;
  }
  rt.report({{"kind", "saved"}, {"file", path}});
  return true;
}

}  // namespace simhost
