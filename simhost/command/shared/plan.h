// What a `simhost run` will do, worked out from its options before any
// simulation starts: the simulator tree, the scenario file, the script and
// its events, when to stop, and where to write (checked, so that a long run
// cannot fail at its end for want of a place to save).
//
// main.cpp fills RunOptions from the command line and calls planRun; a plan
// that cannot be made is bad usage (exit status 2), reported with one
// message per problem naming the file and what is wrong.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "shared/script.h"

namespace simhost::command {

// How far around the focus vessel the pictures reach unless told, m.
inline constexpr double kSiteRadiusDefault = 100;

struct RunOptions {
  std::string scenario;  // a path, or a name under the tree's Scenarios/; empty: the demo
  std::string root;      // empty: the tree built beside the executable
  std::optional<double> until;
  double dt = 0.1;
  double warp = 1;
  std::string script;    // empty: X.script beside X.scn, if there is one; "-": standard input
  std::string save;
  std::string trace;
  bool quiet = false;
  std::string map;                // the site map, SVG
  std::optional<double> mapAt;    // the moment the map shows; default: the end
  double mapRadius = kSiteRadiusDefault;  // the map and the replay reach so far around the focus vessel, m
  std::string replay;             // the 3-D replay page, HTML
};

struct RunPlan {
  std::string root;           // as the simulation opens it
  std::string scenarioPath;   // as the simulation loads it
  std::string scenarioShown;  // as the timeline names it
  std::string scriptShown;    // empty when there is no script
  bool scriptBeside = false;  // found next to the scenario rather than given
  std::vector<ScriptEvent> events;
  double until = 60;
  double dt = 0.1;
  double warp = 1;
  std::string save;
  std::string trace;
  bool quiet = false;
  std::string map;
  double mapAt = -1;          // < 0: the end of the run
  double mapRadius = kSiteRadiusDefault;
  std::string replay;
  std::string replayAssets;   // the page's scripts and three.js
};

// The scenario the command runs when none is named.
inline constexpr const char *kDemoScenario = "Scenarios/Demo.scn";
// How long a run goes on after its script's last event, in simulation seconds.
inline constexpr double kScriptTail = 5;
// How long a run without a script lasts, in simulation seconds.
inline constexpr double kRunWithoutScript = 60;

bool planRun(const RunOptions &options, RunPlan &plan, std::vector<std::string> &errors);

// Where a scenario named on the command line is: the tree (rootOption, or
// the tree beside the executable), the file as the simulation loads it and
// as messages name it. False with the problems in errors when there is no
// such tree or scenario.
struct ScenarioPlace {
  std::string root, path, shown;
};
// A file a picture is written to: its folder must exist and be writable,
// and the file, if there, a regular one. option names it in the message.
bool checkPictureTarget(const std::string &option, const std::string &path, std::vector<std::string> &errors);

bool findScenario(const std::string &scenario, const std::string &rootOption, ScenarioPlace &place,
                  std::vector<std::string> &errors);

// The part of path below root, with '/' separators; path itself when it
// does not lie in root.
std::string shownInside(const std::string &root, const std::string &path);

// <directory of the running executable>/../tree, or empty when the
// executable's path cannot be read.
std::string treeBesideExecutable();

}  // namespace simhost::command
