#include "plan.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

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

// The part of path below root, with '/' separators; path itself when it
// does not lie in root.
std::string shownInside(const std::string &root, const std::string &path) {
  fs::path relative = fs::path(path).lexically_relative(fs::path(root));
  if (relative.empty() || *relative.begin() == "..") return path;
  return relative.generic_string();
}

bool findScenario(const RunOptions &options, RunPlan &plan, std::vector<std::string> &errors) {
  if (options.scenario.empty()) {
    plan.scenarioPath = resolvePath(plan.root, kDemoScenario);
    if (!isFile(plan.scenarioPath)) {
      errors.push_back("the simulator tree " + plan.root + " has no " + kDemoScenario + "; name a scenario to run");
      return false;
    }
    plan.scenarioShown = shownInside(plan.root, plan.scenarioPath);
    return true;
  }
  if (isFile(options.scenario)) {
    plan.scenarioPath = options.scenario;
    plan.scenarioShown = options.scenario;
    return true;
  }
  // A name under Scenarios/, with or without its extension, in any case.
  for (const std::string &candidate : {options.scenario, options.scenario + ".scn"}) {
    std::string found = resolvePath(plan.root, "Scenarios/" + candidate);
    if (isFile(found)) {
      plan.scenarioPath = found;
      plan.scenarioShown = shownInside(plan.root, found);
      return true;
    }
  }
  errors.push_back("no scenario \"" + options.scenario + "\": it is neither a file nor a scenario in " + plan.root +
                   "/Scenarios");
  return false;
}

// X.script next to X.scn, found as the simulator finds files (any case).
std::string scriptBesideScenario(const std::string &scenarioPath) {
  fs::path scenario(scenarioPath);
  std::string folder = scenario.parent_path().string();
  std::string found = resolvePath(folder.empty() ? "." : folder, scenario.stem().string() + ".script");
  return isFile(found) ? found : std::string();
}

bool loadScript(const std::string &path, const std::string &shown, RunPlan &plan, std::vector<std::string> &errors) {
  std::string content, error;
  if (!readWholeFile(path, content, error)) {
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

}  // namespace

std::string treeBesideExecutable() {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  fs::path tree = self.parent_path() / ".." / "tree";
  fs::path normal = fs::weakly_canonical(tree, ec);
  return (ec ? tree.lexically_normal() : normal).string();
}

bool planRun(const RunOptions &options, RunPlan &plan, std::vector<std::string> &errors) {
  plan = RunPlan();
  plan.root = options.root.empty() ? treeBesideExecutable() : options.root;
  std::error_code ec;
  if (plan.root.empty() || !fs::is_directory(plan.root, ec)) {
    errors.push_back("no simulator tree at " + (plan.root.empty() ? std::string("<unknown>") : plan.root) +
                     " (name one with --root)");
    return false;
  }
  if (!findScenario(options, plan, errors)) return false;

  if (!options.script.empty()) {
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
  return true;
}

}  // namespace simhost::command
