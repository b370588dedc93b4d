// Writing the world as a scenario file. What was read and not understood
// (the description, other environment lines, unknown sections, a passive
// vessel's unknown lines) is written back as it came, so that loading a
// saved file and saving it again gives the same bytes.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "world/geometry.h"
#include "platform/platform.h"
#include "files/scenario.h"
#include "world/vessel_state.h"

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

// The block between NAME:CLASS and END.
void writeVesselLines(Runtime &rt, VesselRecord &v, ScenarioWriter &w) {
  VESSEL2 *cb = callbacksOf(&v);
  setActiveWriter(&w);
  if (v.module && cb) {
    cb->clbkSaveState(&w);
  } else {
    writeHostLines(rt, v, w);
  }
  setActiveWriter(nullptr);
  for (const auto &l : v.keptLines) w.line({"  ", l});
}

void writeVessel(Runtime &rt, VesselRecord &v, ScenarioWriter &w) {
  w.line({v.name, ":", v.className});
  writeVesselLines(rt, v, w);
  w.line("END");
}

// A loop of links is given up after as many as the system follows.
constexpr int kLinkHopLimit = 40;

bool followLinks(const std::string &path, std::filesystem::path &target, std::string &error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  target = path;
  for (int hops = 0; fs::is_symlink(fs::symlink_status(target, ec)); ++hops) {
    fs::path next = fs::read_symlink(target, ec);
    if (ec || hops == kLinkHopLimit) {
      error = path + ": cannot be written: the symbolic link cannot be followed";
      return false;
    }
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return true;
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

bool saveTarget(const std::string &path, std::string &target, std::string &error) {
  namespace fs = std::filesystem;
  fs::path file;
  if (!followLinks(path, file, error)) return false;
  std::error_code ec;
  fs::file_status status = fs::status(file, ec);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    error = path + ": cannot be written: " + (fs::is_directory(status) ? "it is a folder" : "it is not a regular file");
    return false;
  }
  fs::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  if (!fs::is_directory(folder, ec)) {
    error = path + ": cannot be written: there is no folder " + folder.string();
    return false;
  }
  // The scenario is written beside its target and renamed over it.
  std::string why;
  if (!platform::canWriteFolder(folder.string(), why)) {
    error = path + ": cannot be written: the folder " + folder.string() + ": " + why;
    return false;
  }
  target = file.string();
  return true;
}

bool saveScenarioFile(Runtime &rt, const std::string &path, std::string &error) {
  std::string target;
  if (!saveTarget(path, target, error)) return false;
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
  std::string part = target + ".part";
  FILE *f = std::fopen(part.c_str(), "wb");
  if (!f) {
    error = path + ": cannot be written";
    return false;
  }
  bool ok = std::fwrite(w.out.data(), 1, w.out.size(), f) == w.out.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok || !platform::replaceFile(part, target)) {
    std::remove(part.c_str());
    error = path + ": cannot be written completely";
    return false;
  }
  rt.report({{"kind", "saved"}, {"file", path}});
  return true;
}

}  // namespace simhost
