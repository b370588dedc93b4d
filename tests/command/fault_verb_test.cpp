// The script verb fault: what it reads, and a run in which the injected
// faults strike and show in the timeline.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "shared/script.h"
#include "temp_tree.h"

namespace {

using simhost::command::parseScript;
using simhost::command::ScriptEvent;
using simhost::command::ScriptVerb;

TEST(FaultVerb, ReadsEachFaultAndRefusesTheWrongOnes) {
  struct Case {
    const char *line;
    bool ok;
    const char *kind, *className, *file;
    double value;
  } cases[] = {
      {"0 fault create-fails", true, "create-fails", "*", "", -1},
      {"0 fault create-fails UCGO\\Cargos\\Box 3", true, "create-fails", "UCGO\\Cargos\\Box", "", 3},
      {"0 fault mesh-fails UCGO\\Box", true, "mesh-fails", "", "UCGO\\Box", 0},
      {"0 fault file-vanishes Config/Vessels/A.cfg", true, "file-vanishes", "", "Config/Vessels/A.cfg", 0},
      {"0 fault file-unopenable Meshes/UMmu/ver.dtf", true, "file-unopenable", "", "Meshes/UMmu/ver.dtf", 0},
      {"0 fault crew-table-full", true, "crew-table-full", "", "", 0},
      {"0 fault crew-count -2147483648", true, "crew-count", "", "", -2147483648.0},
      {"0 fault clear", true, "clear", "", "", 0},
      {"0 fault", false, "", "", "", 0},
      {"0 fault bogus", false, "", "", "", 0},
      {"0 fault create-fails * 0", false, "", "", "", 0},
      {"0 fault create-fails * 1.5", false, "", "", "", 0},
      {"0 fault mesh-fails", false, "", "", "", 0},
      {"0 fault crew-count 2147483648", false, "", "", "", 0},
      {"0 fault crew-count x", false, "", "", "", 0},
      {"0 fault clear now", false, "", "", "", 0},
  };
  for (const Case &c : cases) {
    std::vector<ScriptEvent> events;
    std::vector<std::string> errors;
    ASSERT_EQ(parseScript(c.line, "s.script", events, errors), c.ok) << c.line;
    if (!c.ok) {
      ASSERT_EQ(errors.size(), 1u) << c.line;
      EXPECT_EQ(errors[0].rfind("s.script:1: ", 0), 0u) << errors[0];
      continue;
    }
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].verb, ScriptVerb::Fault);
    EXPECT_EQ(events[0].name, c.kind) << c.line;
    EXPECT_EQ(events[0].className, c.className) << c.line;
    EXPECT_EQ(events[0].file, c.file) << c.line;
    EXPECT_EQ(events[0].value, c.value) << c.line;
  }
}

// The demo scenario of the built tree, with a script that injects faults.
struct ScriptRun {
  int status = -1;
  std::string out, err;
};

ScriptRun RunWithScript(const std::string &script) {
  ScriptRun run;
  kvt_test::TempTree dir("simhost_fault");
  if (!dir.ok()) return run;
  dir.write("s.script", script);
  const std::string command = "cd '" + dir.root() + "' && '" KVT_BIN_DIR "/simhost' run --root '" KVT_TREE_DIR
                              "' --script s.script >out.txt 2>err.txt";
  const int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = dir.read("out.txt");
  run.err = dir.read("err.txt");
  return run;
}

TEST(FaultVerb, InjectedFaultsStrikeAndShowInTheTimeline) {
  struct Case {
    const char *script;
    int status;
    std::vector<std::string> lines;  // parts of the timeline, in any order
  } cases[] = {
      {"0 fault create-fails * 1\n1 place Box1 UCGO\\Cargos\\Lunar_Rock Mill 12 0\n", 1,
       {"] fault    create-fails: Box1 (UCGO\\Cargos\\Lunar_Rock) not created\n"}},
      {"0 fault create-fails * 1\n1 fault clear\n2 place Box1 UCGO\\Cargos\\Lunar_Rock Mill 12 0\n3 stop\n", 0,
       {"] created  Box1 (UCGO\\Cargos\\Lunar_Rock)"}},
      {"0 fault crew-table-full\n1 fault crew-count -5\n2 fault clear\n3 stop\n", 0,
       {"] fault    crew-table-full: every free entry of the crew table taken\n",
        "] fault    crew-count: the crew table's entry count set to -5\n",
        "] fault    crew-table-restored: the crew table's filler entries freed, its count recounted\n"}},
      {"0 fault file-vanishes Config/Vessels/NoSuch.cfg\n", 1, {}},
  };
  for (const Case &c : cases) {
    ScriptRun run = RunWithScript(c.script);
    EXPECT_EQ(run.status, c.status) << c.script << run.err;
    for (const std::string &line : c.lines) EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
  }
}

}  // namespace
