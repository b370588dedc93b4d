// Writing a scenario file: the parts around the vessels' blocks, and the
// file put in place whole.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "files/scenario_file.h"
#include "platform/platform.h"

namespace simhost {

namespace {

// The parts in the file's order; those it lacks where a save puts them: the
// description first, the environment after it, the focus after that, the
// ships last.
std::vector<ScenarioPart> partsToWrite(const ScenarioMeta &meta, bool hasFocus) {
  std::vector<ScenarioPart> parts = meta.order;
  auto find = [&parts](ScenarioPart p) {
    for (size_t i = 0; i < parts.size(); ++i)
      if (parts[i] == p) return static_cast<long>(i);
    return -1L;
  };
  if (find(ScenarioPart::Description) < 0) parts.insert(parts.begin(), ScenarioPart::Description);
  if (find(ScenarioPart::Environment) < 0)
    parts.insert(parts.begin() + find(ScenarioPart::Description) + 1, ScenarioPart::Environment);
  if (find(ScenarioPart::Focus) < 0 && hasFocus)
    parts.insert(parts.begin() + find(ScenarioPart::Environment) + 1, ScenarioPart::Focus);
  if (find(ScenarioPart::Ships) < 0) parts.push_back(ScenarioPart::Ships);
  return parts;
}

void writeEnvironment(const ScenarioMeta &meta, double mjd, ScenarioWriter &w) {
  w.line("BEGIN_ENVIRONMENT");
  w.item("System", "Sol");
  char date[64];
  std::snprintf(date, sizeof date, "MJD %.10f", mjd);
  w.item("Date", date);
  for (const auto &l : meta.environment) w.line("  " + l);
  w.line("END_ENVIRONMENT");
}

// One part other than the ships; false when it has nothing to write (a
// focus section without a focus and without other lines).
bool writePart(const ScenarioMeta &meta, ScenarioPart part, size_t kept, const std::string *focus,
               double mjd, ScenarioWriter &w) {
  switch (part) {
    case ScenarioPart::Description:
      w.line("BEGIN_DESC");
      for (const auto &l : meta.description) w.line(l);
      w.line("END_DESC");
      return true;
    case ScenarioPart::Environment:
      writeEnvironment(meta, mjd, w);
      return true;
    case ScenarioPart::Focus:
      if (!focus && meta.focusLines.empty()) return false;
      w.line("BEGIN_FOCUS");
      if (focus) w.item("Ship", *focus);
      for (const auto &l : meta.focusLines) w.line("  " + l);
      w.line("END_FOCUS");
      return true;
    case ScenarioPart::Kept:
      if (kept >= meta.sections.size()) return false;
      for (const auto &l : meta.sections[kept].lines) w.line(l);
      return true;
    case ScenarioPart::Ships:
      return false;
  }
  return false;
}

// The parts before the ships, each followed by a blank line, or those
// after them, each preceded by one.
void writeParts(const ScenarioMeta &meta, const std::string *focus, double mjd, bool afterShips,
                ScenarioWriter &w) {
  bool pastShips = false;
  size_t kept = 0;
  for (ScenarioPart part : partsToWrite(meta, focus != nullptr)) {
    if (part == ScenarioPart::Ships) {
      pastShips = true;
      continue;
    }
    const size_t index = part == ScenarioPart::Kept ? kept++ : 0;
    if (pastShips != afterShips) continue;
    ScenarioWriter one;
    if (!writePart(meta, part, index, focus, mjd, one)) continue;
    if (afterShips) w.line("");
    w.out += one.out;
    if (one.overlong.size() && w.overlong.empty()) w.overlong = one.overlong;
    if (!afterShips) w.line("");
  }
}

}  // namespace

namespace {

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
  // Renaming over a read-only file would replace it and lose its mode.
  if (fs::exists(status) && (status.permissions() & (fs::perms::owner_write | fs::perms::group_write |
                                                     fs::perms::others_write)) == fs::perms::none) {
    error = path + ": cannot be written: it is read-only";
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

void writeScenarioStart(const ScenarioMeta &meta, double mjd, const std::string *focus, ScenarioWriter &w) {
  writeParts(meta, focus, mjd, false, w);
  w.line("BEGIN_SHIPS");
}

void writeScenarioEnd(const ScenarioMeta &meta, double mjd, const std::string *focus, ScenarioWriter &w) {
  w.line("END_SHIPS");
  writeParts(meta, focus, mjd, true, w);
}

bool writeScenarioFile(const std::string &path, const std::string &target, const ScenarioWriter &w,
                       std::string &error) {
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
  return true;
}

}  // namespace simhost
