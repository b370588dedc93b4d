#include "shared/plan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <system_error>

#include "files/scenario_file.h"
#include "platform/platform.h"
#include "shared/replay_assets.h"
#include "simulation.h"

namespace simhost::command {

namespace fs = std::filesystem;

namespace {

bool isFile(const std::string &path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

bool readWholeFile(const std::string &path, std::string &content, std::string &error) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    error = "it is a folder";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = std::strerror(errno);
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  content = text.str();
  return true;
}

// X.script next to X.scn, found as the simulator finds files (any case).
std::string scriptBesideScenario(const std::string &scenarioPath) {
  fs::path scenario(scenarioPath);
  std::string folder = scenario.parent_path().string();
  std::string found = resolvePath(folder.empty() ? "." : folder, scenario.stem().string() + ".script");
  return isFile(found) ? found : std::string();
}

// The name messages give a script read from standard input.
constexpr const char *kStandardInputName = "<stdin>";

bool readStandardInput(std::string &content, std::string &error) {
  std::ostringstream text;
  text << std::cin.rdbuf();
  if (std::cin.bad()) {
    error = "reading failed";
    return false;
  }
  content = text.str();
  return true;
}

bool loadScript(const std::string &path, const std::string &shown, RunPlan &plan, std::vector<std::string> &errors) {
  std::string content, error;
  bool read = path == "-" ? readStandardInput(content, error) : readWholeFile(path, content, error);
  if (!read) {
    errors.push_back("cannot read the script " + shown + ": " + error);
    return false;
  }
  std::vector<std::string> problems;
  if (!parseScript(content, shown, plan.events, problems)) {
    errors.insert(errors.end(), problems.begin(), problems.end());
    return false;
  }
  plan.scriptShown = shown;
  return true;
}

// --save is checked before the run, so that a long run cannot fail at its
// end; the run checks it again as it saves.
bool checkSaveTarget(const std::string &save, std::vector<std::string> &errors) {
  std::string target, error;
  if (save.empty() || saveTarget(save, target, error)) return true;
  errors.push_back("--save " + error);
  return false;
}

// The pictures' options: where they go, the moment of the map, and the
// replay page's parts in the build.
bool planPictures(const RunOptions &options, RunPlan &plan, std::vector<std::string> &errors) {
  const size_t before = errors.size();
  checkPictureTarget("--map", options.map, errors);
  checkPictureTarget("--replay", options.replay, errors);
  if (options.mapAt && options.map.empty()) errors.push_back("--map-at needs --map FILE.svg");
  if (options.mapAt && *options.mapAt > plan.until)
    errors.push_back("--map-at " + std::to_string(*options.mapAt) + " lies after the run's end at " +
                     std::to_string(plan.until) + " s");
  plan.map = options.map;
  plan.mapAt = options.mapAt.value_or(-1);
  plan.mapRadius = options.mapRadius;
  plan.replay = options.replay;
  if (!options.replay.empty()) {
    plan.replayAssets = replayAssetsDir();
    std::string error;
    if (!checkReplayAssets(plan.replayAssets, error)) errors.push_back("--replay: " + error);
  }
  return errors.size() == before;
}

}  // namespace

bool checkPictureTarget(const std::string &option, const std::string &path, std::vector<std::string> &errors) {
  std::string target, error;
  if (path.empty() || saveTarget(path, target, error)) return true;
  errors.push_back(option + " " + error);
  return false;
}

std::string shownInside(const std::string &root, const std::string &path) {
  fs::path relative = fs::path(path).lexically_relative(fs::path(root));
  if (relative.empty() || *relative.begin() == "..") return path;
  return relative.generic_string();
}

std::string treeBesideExecutable() {
  std::error_code ec;
  fs::path self = platform::thisExecutable();
  if (self.empty()) return {};
  fs::path tree = self.parent_path() / ".." / "tree";
  fs::path normal = fs::weakly_canonical(tree, ec);
  return (ec ? tree.lexically_normal() : normal).string();
}

bool findScenario(const std::string &scenario, const std::string &rootOption, ScenarioPlace &place,
                  std::vector<std::string> &errors) {
  place.root = rootOption.empty() ? treeBesideExecutable() : rootOption;
  std::error_code ec;
  if (place.root.empty() || !fs::is_directory(place.root, ec)) {
    errors.push_back("no simulator tree at " + (place.root.empty() ? std::string("<unknown>") : place.root) +
                     " (name one with --root)");
    return false;
  }
  if (scenario.empty()) {
    place.path = resolvePath(place.root, kDemoScenario);
    if (!isFile(place.path)) {
      errors.push_back("the simulator tree " + place.root + " has no " + kDemoScenario + "; name a scenario");
      return false;
    }
    place.shown = shownInside(place.root, place.path);
    return true;
  }
  if (isFile(scenario)) {
    place.path = scenario;
    place.shown = scenario;
    return true;
  }
  // A name under Scenarios/, with or without its extension, in any case.
  for (const std::string &candidate : {scenario, scenario + ".scn"}) {
    std::string found = resolvePath(place.root, "Scenarios/" + candidate);
    if (isFile(found)) {
      place.path = found;
      place.shown = shownInside(place.root, found);
      return true;
    }
  }
  errors.push_back("no scenario \"" + scenario + "\": it is neither a file nor a scenario in " + place.root +
                   "/Scenarios");
  return false;
}

bool planRun(const RunOptions &options, RunPlan &plan, std::vector<std::string> &errors) {
  plan = RunPlan();
  ScenarioPlace place;
  if (!findScenario(options.scenario, options.root, place, errors)) return false;
  plan.root = place.root;
  plan.scenarioPath = place.path;
  plan.scenarioShown = place.shown;
  if (!checkSaveTarget(options.save, errors)) return false;

  if (options.script == "-") {
    if (!loadScript("-", kStandardInputName, plan, errors)) return false;
  } else if (!options.script.empty()) {
    if (!loadScript(options.script, options.script, plan, errors)) return false;
  } else {
    std::string beside = scriptBesideScenario(plan.scenarioPath);
    if (!beside.empty()) {
      std::string shown = (fs::path(plan.scenarioShown).parent_path() / fs::path(beside).filename()).generic_string();
      if (!loadScript(beside, shown, plan, errors)) return false;
      plan.scriptBeside = true;
    }
  }

  if (options.until) {
    plan.until = *options.until;
  } else if (!plan.scriptShown.empty() && !plan.events.empty()) {
    double last = 0;
    for (const ScriptEvent &event : plan.events) last = std::max(last, event.time);
    plan.until = last + kScriptTail;
  } else {
    plan.until = kRunWithoutScript;
  }
  plan.dt = options.dt;
  plan.warp = options.warp;
  plan.save = options.save;
  plan.trace = options.trace;
  plan.quiet = options.quiet;
  return planPictures(options, plan, errors);
}

}  // namespace simhost::command
