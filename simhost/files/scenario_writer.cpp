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

void writeSections(const ScenarioMeta &meta, ScenarioWriter &w, bool afterShips) {
  for (const KeptSection &s : meta.sections) {
    if (s.afterShips != afterShips) continue;
    if (afterShips) w.line("");
    for (const auto &l : s.lines) w.line(l);
    if (!afterShips) w.line("");
  }
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

void writeScenarioStart(const ScenarioMeta &meta, double mjd, const std::string *focus, ScenarioWriter &w) {
  w.line("BEGIN_DESC");
  for (const auto &l : meta.description) w.line(l);
  w.line("END_DESC");
  w.line("");
  w.line("BEGIN_ENVIRONMENT");
  w.item("System", "Sol");
  char date[64];
  std::snprintf(date, sizeof date, "MJD %.10f", mjd);
  w.item("Date", date);
  for (const auto &l : meta.environment) w.line("  " + l);
  w.line("END_ENVIRONMENT");
  w.line("");
  if (focus) {
    w.line("BEGIN_FOCUS");
    w.item("Ship", *focus);
    w.line("END_FOCUS");
    w.line("");
  }
  writeSections(meta, w, false);
  w.line("BEGIN_SHIPS");
}

void writeScenarioEnd(const ScenarioMeta &meta, ScenarioWriter &w) {
  w.line("END_SHIPS");
  writeSections(meta, w, true);
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
