// simhost: runs a scenario of the simulator tree headless, with a script of
// operator actions, and tells what happens (see run.h, timeline.h).
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "plan.h"
#include "run.h"

namespace {

using simhost::command::kBadUsage;

constexpr const char *kScriptHelp =
    "Script of timed operator actions, one a line: TIME VERB ARGS...; TIME in seconds of simulation time "
    "(a decimal number >= 0); '#' starts a comment. Events fire in file order, each in the first frame at or "
    "after its time. While the simulation is paused its time stands still, so the script's clock goes on with "
    "system time: a pending event is due when the simulation time plus the system time spent in the current "
    "pause reaches it. Without this option, X.script beside the scenario X.scn is used when there is one.";

constexpr const char *kScriptVerbs =
    "Script verbs:\n"
    "  key [shift+][ctrl+]KEY            press and release KEY (A-Z, main-keyboard 0-9, or a code like 0x2E)\n"
    "  focus VESSEL                      give VESSEL the focus (its HUD and keys)\n"
    "  warp X                            set the time acceleration\n"
    "  pause on|off                      pause or resume the simulation\n"
    "  hud on|off                        show or hide the HUD\n"
    "  place NAME CLASS NEAR X Z [HDG]   land a new vessel at (X, Z) m of NEAR's frame, heading HDG degrees\n"
    "  delete NAME                       delete a vessel\n"
    "  mass NAME KG                      set a vessel's empty mass\n"
    "  attach CHILD PARENT               attach CHILD to PARENT\n"
    "  detach CHILD                      release CHILD from its parent\n"
    "  afcmode NAME BITS                 set a vessel's aerodynamic control mode bits\n"
    "  eva VESSEL X Y Z                  a crew member steps outside VESSEL at (X, Y, Z) m of its frame\n"
    "  activate VESSEL                   the crew member outside VESSEL activates the action area in reach\n"
    "                                    (without the crew module in the tree, eva and activate do nothing)\n"
    "  save FILE                         save the scenario now (a relative FILE goes into the tree's Scenarios/)\n"
    "  stop                              end the run here\n"
    "A verb that fails (no such vessel, ...) is an error and ends the run with exit status 1.\n"
    "Exit status: 0 success, 1 the run failed, 2 bad usage or a bad script file.";

// Times, frame lengths and factors must be finite: a "nan" or "inf" would
// run for ever.
CLI::Validator finiteAtLeast(double low, bool inclusive) {
  std::string description = std::string("NUMBER ") + (inclusive ? ">= " : "> ") + (low == 0 ? "0" : std::to_string(low));
  return CLI::Validator(
      [=](std::string &input) -> std::string {
        char *end = nullptr;
        double value = std::strtod(input.c_str(), &end);
        bool ok = end != input.c_str() && *end == '\0' && std::isfinite(value) && (inclusive ? value >= low : value > low);
        return ok ? std::string() : "\"" + input + "\" is not a number " + (inclusive ? ">= " : "> ") + "0";
      },
      description);
}

}  // namespace

int main(int argc, char **argv) {
  CLI::App app{"simhost: a headless stand-in for the simulator. Runs a scenario of a simulator tree with its "
               "vessel modules, plays a script of operator actions, and prints a timeline of what happens.",
               "simhost"};
  app.set_version_flag("--version", "simhost 1.0");
  app.require_subcommand(1);
  app.footer("Start with `simhost run`, which runs the tree's demo scenario; `simhost run --help` tells its options "
             "and the verbs of scripts.");

  simhost::command::RunOptions options;
  double until = 0;
  CLI::App *run = app.add_subcommand("run", "Run a scenario and print its timeline");
  run->add_option("SCENARIO", options.scenario,
                  "Scenario file, or a scenario name under the tree's Scenarios/ (\".scn\" optional, any case); "
                  "default: Scenarios/Demo.scn");
  run->add_option("--root", options.root, "Simulator tree (Config/, Meshes/, Modules/, Scenarios/); default: the "
                                          "tree built beside this program, <program folder>/../tree");
  CLI::Option *untilOption = run->add_option("--until", until,
                                             "Simulation time in seconds to stop at; default: 5 s after the "
                                             "script's last event, or 60 s without a script")
                                 ->check(finiteAtLeast(0, true));
  run->add_option("--dt", options.dt, "Real seconds per frame (default 0.1)")->check(finiteAtLeast(0, false));
  run->add_option("--warp", options.warp, "Time acceleration at the start (default 1)")->check(finiteAtLeast(0, false));
  run->add_option("--script", options.script, kScriptHelp);
  run->add_option("--save", options.save, "Save the scenario to this file at the end of the run");
  run->add_option("--trace", options.trace, "Write every event of the run to this file, one JSON object a line");
  run->add_flag("--quiet", options.quiet, "Print no timeline (errors still go to stderr)");
  run->footer(kScriptVerbs);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError &e) {
    int code = app.exit(e);
    return code == 0 ? 0 : kBadUsage;
  }
  if (untilOption->count() > 0) options.until = until;

  simhost::command::RunPlan plan;
  std::vector<std::string> errors;
  if (!simhost::command::planRun(options, plan, errors)) {
    for (const std::string &error : errors) std::cerr << "simhost: " << error << '\n';
    return kBadUsage;
  }
  try {
    return simhost::command::runPlan(plan, std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
  } catch (const std::exception &e) {
    std::cout.flush();
    std::cerr << "simhost: the run stopped on an internal error: " << e.what() << '\n';
    return simhost::command::kRunFailed;
  }
}
