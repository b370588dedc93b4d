// simhost: runs a scenario of the simulator tree headless, with a script of
// operator actions, and tells what happens (see run/run.h, shared/timeline.h); shows a
// scenario's vessels without running it (show/show.h).
//
// Exit statuses, for every command: 0 success, 1 the run failed or the
// scenario was refused, 2 bad usage (no command or an unknown one, a bad
// option, a bad script, nothing found where named).
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "shared/plan.h"
#include "platform/platform.h"
#include "play/play.h"
#include "run/run.h"
#include "show/show.h"

namespace {

using simhost::command::kBadUsage;

constexpr const char *kScriptHelp =
    "Script of timed operator actions, one a line: TIME VERB ARGS...; TIME in seconds of simulation time "
    "(a decimal number >= 0, never less than a line's above it); '#' starts a comment. Events fire in file "
    "order, each in the first frame at or after its time; events after --until are not run, and said so on "
    "stderr. While the simulation is paused its time stands still, so the script's clock goes on with "
    "system time: a pending event is due when the simulation time plus the system time spent in the current "
    "pause reaches it. Without this option, X.script beside the scenario X.scn is used when there is one; "
    "\"-\" reads the script from standard input.";

constexpr const char *kScriptVerbs =
    "Script verbs:\n"
    "  key [shift+][ctrl+]KEY            press and release KEY (A-Z, main-keyboard 0-9, a name such as\n"
    "                                    SPACE, RETURN, SEMICOLON or F1, or a code like 0x2E) with the left\n"
    "                                    shift or control key held; rshift+ and rctrl+ hold the right-hand ones\n"
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
    "  fault KIND [ARGS]                 inject a fault; KIND is one of:\n"
    "    create-fails [CLASS|*] [N]        creating a vessel of CLASS (*: any) fails, N times or until cleared\n"
    "    mesh-fails MESH                   the mesh cannot be loaded\n"
    "    file-vanishes PATH                the tree's file is deleted as it is next opened, and that open fails\n"
    "    file-unopenable PATH              the tree's file cannot be opened; it stays\n"
    "    crew-table-full                   every free entry of the crew module's action table is taken\n"
    "    crew-count N                      the crew table's entry count is set to N\n"
    "    clear                             every injected fault ends\n"
    "A verb that fails (no such vessel, ...) is an error and ends the run with exit status 1.\n"
    "Exit status: 0 success, 1 the run failed, 2 bad usage or a bad script file (--save is checked before the "
    "run: its folder must exist and be writable, and the file, or the target of a symbolic link, a regular file).";

constexpr const char *kPlayKeys =
    "Frames of 0.1 s follow each other in real time; each is 0.1 s times the time acceleration of simulation "
    "time. While paused no frame runs: what is done meanwhile is done, and recorded, at the time of the pause.\n"
    "Keys go to the focus vessel first, as in the simulator (for the mill: 7 produce ore, 4 switch processing, "
    "Shift+C release the box aboard; an upper-case letter is Shift and the letter). Those it does not take serve "
    "play:\n"
    "  p, space   pause or resume          + and -   time acceleration up or down (0.1, 1, 10, 100, 1000)\n"
    "  Tab        the next vessel in focus :         the command line\n"
    "The command line takes every script verb without its time (eva Mill 5 0 2.2, activate Mill, save x.scn, "
    "...; `simhost help run` lists them), with the lines entered before on Up and Down; :quit (or Ctrl+C) ends "
    "the session.\n"
    "Without a terminal play refuses: give the actions to `simhost run --script -` instead.\n"
    "Exit status: 0 success, 1 the scenario was refused or the record or trace could not be written, 2 bad usage "
    "(no terminal, nothing found where named).";

constexpr const char *kCommands[] = {"run", "play", "show", "help"};

bool isCommand(const std::string &word) {
  for (const char *command : kCommands) {
    if (word == command) return true;
  }
  return false;
}

std::string commandList() {
  std::string list;
  for (const char *command : kCommands) list += std::string(list.empty() ? "" : ", ") + command;
  return list;
}

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

constexpr const char *kRootHelp =
    "Simulator tree (Config/, Meshes/, Modules/, Scenarios/); default: the tree built beside this program, "
    "<program folder>/../tree";

// simhost help [COMMAND]: the whole usage (as told before the command line
// was parsed: once a command is chosen, CLI11 tells that command's), or one
// command's.
int printHelp(const CLI::App &app, const std::string &usage, const std::string &topic) {
  if (topic.empty()) {
    std::cout << usage;
    return 0;
  }
  if (topic == "help" || !isCommand(topic)) {
    std::cerr << "simhost: no command \"" << topic << "\" to help with (commands: " << commandList() << ")\n";
    return kBadUsage;
  }
  std::cout << app.get_subcommand(topic)->help();
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  simhost::platform::keepFreedMemory();
  CLI::App app{"simhost: a headless stand-in for the simulator. Runs a scenario of a simulator tree with its "
               "vessel modules, plays a script of operator actions, and prints a timeline of what happens.",
               "simhost"};
  app.set_version_flag("--version", "simhost 1.0");
  app.require_subcommand(0, 1);
  app.footer("Start with `simhost run`, which runs the tree's demo scenario; `simhost help run` tells its options "
             "and the verbs of scripts. `simhost play` runs it live in the terminal.\nExit status: 0 success, 1 the run failed or the scenario was refused, 2 bad "
             "usage.");

  simhost::command::RunOptions options;
  double until = 0;
  CLI::App *run = app.add_subcommand("run", "Run a scenario and print its timeline");
  run->add_option("SCENARIO", options.scenario,
                  "Scenario file, or a scenario name under the tree's Scenarios/ (\".scn\" optional, any case); "
                  "default: Scenarios/Demo.scn");
  run->add_option("--root", options.root, kRootHelp);
  CLI::Option *untilOption = run->add_option("--until", until,
                                             "Simulation time in seconds to stop at; default: 5 s after the "
                                             "script's last event, or 60 s without a script")
                                 ->check(finiteAtLeast(0, true));
  run->add_option("--dt", options.dt, "Real seconds per frame (default 0.1)")->check(finiteAtLeast(0, false));
  run->add_option("--warp", options.warp, "Time acceleration at the start (default 1)")->check(finiteAtLeast(0, false));
  run->add_option("--script", options.script, kScriptHelp);
  run->add_option("--save", options.save,
                  "Save the scenario to this file at the end of the run (a symbolic link is written through to its "
                  "target)");
  run->add_option("--trace", options.trace, "Write every event of the run to this file, one JSON object a line");
  run->add_flag("--quiet", options.quiet, "Print no timeline (errors still go to stderr)");
  run->add_option("--map", options.map,
                  "Write a top-down site map around the focus vessel (SVG) as the site stands at the end of the run");
  double mapAt = 0;
  CLI::Option *mapAtOption =
      run->add_option("--map-at", mapAt, "The simulation time in seconds the --map shows instead of the end")
          ->check(finiteAtLeast(0, true));
  run->add_option("--map-radius", options.mapRadius,
                  "How far around the focus vessel the map and the replay reach, in metres (default 100); vessels "
                  "beyond are counted, not drawn")
      ->check(finiteAtLeast(0, false));
  run->add_option("--replay", options.replay,
                  "Write a self-contained HTML page that replays the run in 3-D (opens from disk, no network)");
  run->footer(kScriptVerbs);

  simhost::command::PlayOptions playOptions;
  CLI::App *play = app.add_subcommand("play", "Play a scenario live in the terminal: its HUD, a map of the site, "
                                              "the events; the keys go to the focus vessel");
  play->add_option("SCENARIO", playOptions.scenario,
                   "Scenario file, or a scenario name under the tree's Scenarios/ (\".scn\" optional, any case); "
                   "default: Scenarios/Demo.scn");
  play->add_option("--root", playOptions.root, kRootHelp);
  play->add_option("--warp", playOptions.warp, "Time acceleration at the start (default 1)")->check(finiteAtLeast(0, false));
  play->add_option("--record", playOptions.record,
                   "Write what was done, with its times, to this file as a script that `simhost run` replays to the "
                   "same trace");
  play->add_option("--trace", playOptions.trace, "Write every event of the session to this file, one JSON object a line");
  play->footer(kPlayKeys);

  simhost::command::ShowOptions showOptions;
  CLI::App *show = app.add_subcommand("show", "Load a scenario without running it and show its vessels");
  show->add_option("SCENARIO", showOptions.scenario,
                   "Scenario file, or a scenario name under the tree's Scenarios/ (\".scn\" optional, any case)")
      ->required();
  show->add_option("VESSEL", showOptions.vessels, "Show only these vessels (default: every vessel)");
  show->add_option("--root", showOptions.root, kRootHelp);
  show->add_option("--map", showOptions.map, "Write a top-down site map around the focus vessel (SVG) as loaded");
  show->add_option("--map-radius", showOptions.mapRadius,
                   "How far around the focus vessel the map reaches, in metres (default 100); vessels beyond are "
                   "counted, not drawn")
      ->check(finiteAtLeast(0, false));
  show->footer("For each vessel: name, class, where it stands (longitude, latitude, metres from the focus vessel), "
               "empty mass, attachment points, and the lines a save would write in its block.\nExit status: 0 "
               "shown, 1 the scenario was refused or the map could not be written (the reason names its file and line), 2 bad usage.");

  std::string helpTopic;
  CLI::App *help = app.add_subcommand("help", "Print this text, or the options of COMMAND");
  help->add_option("COMMAND", helpTopic, "run, play or show");

  // simhost alone: what it can do, as a failed call.
  const std::string usage = app.help();
  if (argc < 2) {
    std::cerr << usage;
    return kBadUsage;
  }
  const std::string first = argv[1];
  if (first.empty() || (first[0] != '-' && !isCommand(first))) {
    std::cerr << "simhost: unknown command \"" << first << "\" (commands: " << commandList()
              << "; simhost --help tells more)\n";
    return kBadUsage;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError &e) {
    int code = app.exit(e);
    return code == 0 ? 0 : kBadUsage;
  }
  if (help->parsed()) return printHelp(app, usage, helpTopic);
  if (show->parsed()) return simhost::command::showScenario(showOptions, std::cout, std::cerr);
  if (play->parsed()) {
    try {
      return simhost::command::playScenario(playOptions, std::cout, std::cerr);
    } catch (const std::exception &e) {
      std::cerr << "simhost: the session stopped on an internal error: " << e.what() << '\n';
      return simhost::command::kRunFailed;
    }
  }
  if (!run->parsed()) {
    std::cerr << usage;
    return kBadUsage;
  }
  if (untilOption->count() > 0) options.until = until;
  if (mapAtOption->count() > 0) options.mapAt = mapAt;

  simhost::command::RunPlan plan;
  std::vector<std::string> errors;
  if (!simhost::command::planRun(options, plan, errors)) {
    for (const std::string &error : errors) std::cerr << "simhost: " << error << '\n';
    return kBadUsage;
  }
  try {
    return simhost::command::runPlan(plan, std::cout, std::cerr, simhost::platform::stderrIsTerminal());
  } catch (const std::exception &e) {
    std::cout.flush();
    std::cerr << "simhost: the run stopped on an internal error: " << e.what() << '\n';
    return simhost::command::kRunFailed;
  }
}
