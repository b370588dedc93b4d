// End-to-end runs of the built simhost command on the built simulator tree,
// with scenarios and scripts written into a temporary folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <nlohmann/json.hpp>

#include "temp_tree.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// Two rock containers on the Moon: a class of the tree that needs no module,
// so these runs test the command and not a vessel's behaviour.
constexpr const char *kRocks =
    "BEGIN_DESC\nTwo rock containers.\nEND_DESC\n\n"
    "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 60000.5\nEND_ENVIRONMENT\n\n"
    "BEGIN_FOCUS\n  Ship Rock1\nEND_FOCUS\n\n"
    "BEGIN_SHIPS\n"
    "Rock1:UCGO\\Cargos\\Lunar_Rock\n  STATUS Landed Moon\n  POS 23.4730000 0.6740000\n  HEADING 90.00\nEND\n"
    "Rock2:UCGO\\Cargos\\Lunar_Rock\n  STATUS Landed Moon\n  POS 23.4731000 0.6740000\n  HEADING 0.00\nEND\n"
    "END_SHIPS\n";

struct Outcome {
  int status = -1;
  std::string out, err;
};

std::string shellQuoted(const std::string &word) {
  std::string q = "'";
  for (char c : word) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string readFile(const fs::path &path) { return kvt_test::readFile(path.string()); }

class SimhostRun : public ::testing::Test {
protected:
  kvt_test::TempTree scratch{"simhost_command"};
  const fs::path dir{scratch.root()};

  fs::path write(const std::string &name, const std::string &content) { return scratch.write(name, content); }

  // simhost with args, run in the temporary folder; --root is the built tree
  // unless the arguments name one.
  Outcome simhost(const std::vector<std::string> &args, bool withRoot = true) {
    std::string command = "cd " + shellQuoted(dir.string()) + " && " + shellQuoted(KVT_BIN_DIR "/simhost");
    for (const std::string &arg : args) command += " " + shellQuoted(arg);
    if (withRoot && !args.empty() && args[0] == "run") command += " --root " + shellQuoted(KVT_TREE_DIR);
    command += " >" + shellQuoted((dir / "stdout.txt").string()) + " 2>" + shellQuoted((dir / "stderr.txt").string());
    Outcome outcome;
    int raw = std::system(command.c_str());
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    outcome.out = readFile(dir / "stdout.txt");
    outcome.err = readFile(dir / "stderr.txt");
    return outcome;
  }

  static bool has(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }
};

struct StatusCase {
  const char *what;
  std::vector<std::string> args;
  const char *script;  // written to s.script when not null
  int status;
  const char *err;     // part of stderr, or "" for none expected
};

TEST_F(SimhostRun, ExitStatusTellsSuccessFailedRunAndBadUsage) {
  write("rocks.scn", kRocks);
  write("broken.scn", "BEGIN_SHIPS\nRock1:UCGO\\Cargos\\Lunar_Rock\n  STATUS Landed Moon\n");
  const StatusCase cases[] = {
      {"a plain run", {"run", "rocks.scn", "--until", "1"}, nullptr, 0, ""},
      {"a script that works", {"run", "rocks.scn", "--script", "s.script"}, "0.5 delete Rock2\n1 stop\n", 0, ""},
      {"a verb that fails at run time", {"run", "rocks.scn", "--script", "s.script"}, "# x\n0.2 delete NoSuch\n", 1,
       "s.script:2: delete NoSuch"},
      {"a scenario the simulation refuses", {"run", "broken.scn", "--until", "1"}, nullptr, 1, "broken.scn"},
      {"saving into a missing folder", {"run", "rocks.scn", "--until", "0.5", "--save", "no/such/dir/x.scn"}, nullptr, 1,
       "no/such/dir/x.scn"},
      {"a script verb saving into a missing folder", {"run", "rocks.scn", "--script", "s.script"}, "0 save no/dir/x.scn\n",
       1, "s.script:1: save no/dir/x.scn"},
      {"a time acceleration that stops the clock", {"run", "rocks.scn", "--script", "s.script"},
       "1 warp 0.00000000000000000001\n", 1, "time stands still at 1.0 s"},
      {"a bad script line", {"run", "rocks.scn", "--script", "s.script"}, "0 key C\n\n1 jump\n", 2,
       "s.script:3: unknown verb \"jump\""},
      {"a missing script", {"run", "rocks.scn", "--script", "none.script"}, nullptr, 2, "none.script"},
      {"a missing scenario", {"run", "nowhere", "--until", "1"}, nullptr, 2, "no scenario \"nowhere\""},
      {"a trace into a missing folder", {"run", "rocks.scn", "--until", "1", "--trace", "no/dir/t.jsonl"}, nullptr, 2,
       "no/dir/t.jsonl"},
      {"an unknown option", {"run", "rocks.scn", "--fast"}, nullptr, 2, "--fast"},
      {"a frame of no length", {"run", "rocks.scn", "--dt", "0"}, nullptr, 2, "--dt"},
      {"a frame of nan", {"run", "rocks.scn", "--dt", "nan"}, nullptr, 2, "--dt"},
      {"an endless run", {"run", "rocks.scn", "--until", "inf"}, nullptr, 2, "--until"},
      {"a negative end", {"run", "rocks.scn", "--until", "-1"}, nullptr, 2, "--until"},
      {"a stopped clock", {"run", "rocks.scn", "--warp", "0"}, nullptr, 2, "--warp"},
      {"no command", {}, nullptr, 2, "subcommand"},
      {"help", {"--help"}, nullptr, 0, ""},
      {"help of run", {"run", "--help"}, nullptr, 0, ""},
      {"the version", {"--version"}, nullptr, 0, ""},
  };
  for (const StatusCase &c : cases) {
    if (c.script != nullptr) write("s.script", c.script);
    Outcome outcome = simhost(c.args);
    EXPECT_EQ(outcome.status, c.status) << c.what << "\nstdout:\n" << outcome.out << "\nstderr:\n" << outcome.err;
    if (*c.err != '\0') {
      EXPECT_TRUE(has(outcome.err, c.err)) << c.what << "\nstderr:\n" << outcome.err;
    }
    if (c.status == 0) {
      EXPECT_EQ(outcome.err, "") << c.what;
    }
  }
}

TEST_F(SimhostRun, HelpDescribesEveryOptionAndTheScriptClock) {
  Outcome outcome = simhost({"run", "--help"}, false);
  ASSERT_EQ(outcome.status, 0);
  for (const char *part : {"SCENARIO", "--root", "--until", "--dt", "--warp", "--script", "--save", "--trace", "--quiet",
                           "system time spent in the current pause", "place NAME CLASS NEAR X Z"}) {
    EXPECT_TRUE(has(outcome.out, part)) << part << "\n" << outcome.out;
  }
}

TEST_F(SimhostRun, SavedScenarioLoadsAgainWithWhatTheScriptChanged) {
  write("rocks.scn", kRocks);
  write("s.script", "1 place Rock3 UCGO\\Cargos\\Lunar_Rock Rock1 5 -3 45\n2 delete Rock2\n");
  Outcome first = simhost({"run", "rocks.scn", "--script", "s.script", "--save", "after.scn"});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_TRUE(has(first.out, "] saved    after.scn\n")) << first.out;
  std::string saved = readFile(dir / "after.scn");
  EXPECT_TRUE(has(saved, "Rock3:UCGO\\Cargos\\Lunar_Rock")) << saved;
  EXPECT_FALSE(has(saved, "Rock2:")) << saved;

  Outcome second = simhost({"run", "after.scn", "--until", "1"});
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_TRUE(has(second.out, "2 vessels: Rock1, Rock3\n")) << second.out;
}

TEST_F(SimhostRun, VesselsOfTheScenarioAreMeasuredFromItsFocus) {
  write("rocks.scn", kRocks);
  Outcome outcome = simhost({"run", "rocks.scn", "--until", "0"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_TRUE(has(outcome.out, "[    0.0 s] created  Rock2 (UCGO\\Cargos\\Lunar_Rock) landed at 23.4731000 E 0.6740000 N, ("))
      << outcome.out;
  EXPECT_TRUE(has(outcome.out, " m from Rock1, empty mass 2000 kg\n")) << outcome.out;
  EXPECT_FALSE(has(outcome.out, "the focus vessel")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "Finished at 0.0 s of simulation time after 0 frames; 2 vessels: Rock1, Rock2\n"))
      << outcome.out;
}

TEST_F(SimhostRun, TraceHoldsEveryEventAsOneJsonObjectALine) {
  write("rocks.scn", kRocks);
  write("s.script", "0.5 place Rock3 UCGO\\Cargos\\Lunar_Rock Rock1 5 0\n1 delete Rock3\n");
  Outcome outcome = simhost({"run", "rocks.scn", "--script", "s.script", "--trace", "t.jsonl"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  std::istringstream lines(readFile(dir / "t.jsonl"));
  std::vector<json> events;
  for (std::string line; std::getline(lines, line);) {
    json event = json::parse(line, nullptr, false);
    ASSERT_FALSE(event.is_discarded()) << line;
    ASSERT_TRUE(event.is_object()) << line;
    EXPECT_TRUE(event["t"].is_number()) << line;
    EXPECT_TRUE(event["sys"].is_number()) << line;
    EXPECT_TRUE(event["kind"].is_string()) << line;
    events.push_back(event);
  }
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events.front()["kind"], "run");
  EXPECT_EQ(events.front()["phase"], "start");
  EXPECT_EQ(events.back()["kind"], "run");
  EXPECT_EQ(events.back()["phase"], "end");
  EXPECT_EQ(events.back()["status"], "ok");
  int created = 0, deleted = 0, script = 0;
  for (const json &event : events) {
    if (event["kind"] == "created" && event["name"] == "Rock3") {
      ++created;
      EXPECT_EQ(event["class"], "UCGO\\Cargos\\Lunar_Rock");
      EXPECT_EQ(event["t"], 0.5);
    }
    deleted += event["kind"] == "deleted" && event["name"] == "Rock3";
    script += event["kind"] == "script";
  }
  EXPECT_EQ(created, 1);
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(script, 2);
}

TEST_F(SimhostRun, TheSameRunTwiceGivesTheSameOutputAndTrace) {
  write("rocks.scn", kRocks);
  write("s.script", "0.3 place Rock3 UCGO\\Cargos\\Lunar_Rock Rock1 5 0\n0.7 mass Rock3 2500\n1 pause on\n1.5 pause off\n");
  const std::vector<std::string> args = {"run", "rocks.scn", "--script", "s.script", "--trace", "t.jsonl", "--dt", "0.05"};
  Outcome first = simhost(args);
  std::string firstTrace = readFile(dir / "t.jsonl");
  Outcome second = simhost(args);
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, second.out);
  EXPECT_EQ(firstTrace, readFile(dir / "t.jsonl"));
  EXPECT_FALSE(firstTrace.empty());

  // The demo mill with its module, through the tree's own scenario.
  write("mill.script", "1 key 4\n2 key 7\n3 key shift+C\n");
  const std::vector<std::string> demo = {"run", "--script", "mill.script", "--trace", "m.jsonl", "--until", "30"};
  first = simhost(demo);
  firstTrace = readFile(dir / "m.jsonl");
  second = simhost(demo);
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, second.out);
  EXPECT_EQ(firstTrace, readFile(dir / "m.jsonl"));
}

TEST_F(SimhostRun, ScriptEventsFireInTheFirstFrameAtOrAfterTheirTimeInFileOrder) {
  write("rocks.scn", kRocks);
  write("s.script", "1.0 mass Rock1 100\n1.0 mass Rock2 200\n0.2 mass Rock1 300\n");
  Outcome outcome = simhost({"run", "rocks.scn", "--script", "s.script", "--dt", "0.3"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  // Frames of 0.3 s reach 1.0 s only at 1.2 s; the third event waits for the
  // second, though its own time has long passed.
  EXPECT_TRUE(has(outcome.out, "[    1.2 s] script   line 1: mass Rock1 100\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "[    1.2 s] script   line 2: mass Rock2 200\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "[    1.2 s] script   line 3: mass Rock1 300\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "Finished at 6.0 s of simulation time after 20 frames")) << outcome.out;

  // Ten frames of 0.1 s add up to a little less than 1.0, yet reach it.
  outcome = simhost({"run", "rocks.scn", "--script", "s.script", "--dt", "0.1"});
  EXPECT_TRUE(has(outcome.out, "[    1.0 s] script   line 1: mass Rock1 100\n")) << outcome.out;
}

TEST_F(SimhostRun, WhilePausedTheScriptGoesOnInSystemTime) {
  write("rocks.scn", kRocks);
  write("s.script", "1 pause on\n3 delete Rock2\n");
  Outcome outcome = simhost({"run", "rocks.scn", "--script", "s.script"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  // Simulation time stands at 1 s while the paused script reaches 3 s and
  // then the end of the run at 8 s.
  EXPECT_TRUE(has(outcome.out, "[    1.0 s] deleted  Rock2\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "Finished at 1.0 s of simulation time after 80 frames")) << outcome.out;
}

TEST_F(SimhostRun, StopEndsTheRunAndFailureSkipsTheRest) {
  write("rocks.scn", kRocks);
  write("s.script", "2 stop\n3 delete Rock2\n");
  Outcome outcome = simhost({"run", "rocks.scn", "--script", "s.script", "--until", "100"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_TRUE(has(outcome.out, "Finished at 2.0 s of simulation time after 20 frames; 2 vessels")) << outcome.out;

  write("s.script", "1 delete Rock9\n2 delete Rock2\n");
  outcome = simhost({"run", "rocks.scn", "--script", "s.script", "--save", "never.scn"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_TRUE(has(outcome.out, "[    1.0 s] error    line 1: delete Rock9: ")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "Failed at 1.0 s")) << outcome.out;
  EXPECT_FALSE(has(outcome.out, "deleted  Rock2")) << outcome.out;
  EXPECT_FALSE(fs::exists(dir / "never.scn"));
}

TEST_F(SimhostRun, ScriptBesideTheScenarioIsUsedAndSaid) {
  write("rocks.scn", kRocks);
  write("ROCKS.Script", "0.5 delete Rock2\n");
  Outcome outcome = simhost({"run", "rocks.scn"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_TRUE(has(outcome.out, "  script ROCKS.Script (found beside the scenario), 1 event\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "[    0.5 s] deleted  Rock2\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "Finished at 5.5 s")) << outcome.out;

  // A script given by option wins over the one beside the scenario.
  write("other.script", "0.2 stop\n");
  outcome = simhost({"run", "rocks.scn", "--script", "other.script"});
  EXPECT_FALSE(has(outcome.out, "deleted")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "Finished at 0.2 s")) << outcome.out;
}

TEST_F(SimhostRun, ScenariosAreFoundByNameInTheTreeInAnyCase) {
  for (const char *name : {"", "Demo", "demo.scn", "DEMO"}) {
    std::vector<std::string> args = {"run"};
    if (*name != '\0') args.push_back(name);
    args.insert(args.end(), {"--until", "0.5"});
    Outcome outcome = simhost(args);
    EXPECT_EQ(outcome.status, 0) << name << "\n" << outcome.err;
    EXPECT_TRUE(has(outcome.out, "simhost: scenario Scenarios/Demo.scn on the simulator tree ")) << name << outcome.out;
    EXPECT_TRUE(has(outcome.out, "] loaded   Scenarios/Demo.scn\n")) << name << outcome.out;
  }
  // A name may not climb out of the tree's Scenarios/ folder.
  write("outside.scn", kRocks);
  Outcome outcome = simhost({"run", "../../../../../../../../../.." + dir.string() + "/outside", "--until", "0.5"});
  EXPECT_EQ(outcome.status, 2) << outcome.out;
}

TEST_F(SimhostRun, CrewVerbsReachTheCrewModuleOfTheTree) {
  write("rocks.scn", kRocks);
  write("s.script", "1 eva Rock1 0 0 3\n2 activate Rock1\n3 eva Rock9 0 0 0\n");
  Outcome outcome = simhost({"run", "rocks.scn", "--script", "s.script"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_TRUE(has(outcome.out, "[    1.0 s] eva      crew member outside Rock1 at (0.0, 0.0, 3.0) m\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "[    2.0 s] activate Rock1: nothing in reach\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "[    3.0 s] error    line 3: eva Rock9 0 0 0: ")) << outcome.out;
  EXPECT_TRUE(has(outcome.err, "s.script:3: eva Rock9 0 0 0: ")) << outcome.err;
}

TEST_F(SimhostRun, TheDemoMillAnswersKeysOnItsHud) {
  write("s.script", "1 key 4\n2 hud off\n3 hud on\n");
  Outcome outcome = simhost({"run", "--script", "s.script", "--until", "4"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_TRUE(has(outcome.out, "] key      4 -> 0\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "] hud      y=216 \"Autoprocessing enabled\"\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "] hud      (clear)\n")) << outcome.out;
}

TEST_F(SimhostRun, QuietLeavesStdoutEmptyButTellsErrors) {
  write("rocks.scn", kRocks);
  Outcome outcome = simhost({"run", "rocks.scn", "--until", "1", "--quiet"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, "");
  write("s.script", "0 focus Nobody\n");
  outcome = simhost({"run", "rocks.scn", "--script", "s.script", "--quiet"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_TRUE(has(outcome.err, "s.script:1: focus Nobody: ")) << outcome.err;
}

}  // namespace
