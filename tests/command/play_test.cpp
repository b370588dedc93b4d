// simhost play in a real terminal: tmux runs it, types into it and reads its
// screen, on a tmux server of the test's own.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "temp_tree.h"

namespace {

using nlohmann::json;

// A finished mill with rock in its tank and a crew member aboard;
// processing is off. A ship at a base is held as read (a load note).
constexpr const char *kFinishedMill =
    "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 60000.5\nEND_ENVIRONMENT\n\n"
    "BEGIN_FOCUS\n  Ship Mill\nEND_FOCUS\n\n"
    "BEGIN_SHIPS\n"
    "Mill:Calvane\n  STATUS Landed Moon\n  POS 23.4730000 0.6740000\n  HEADING 90.00\n"
    "  UMMUCREW Eng-Mira_Kovac-38-64-72\n  OreTankLevel 8000\n  Autospawn 0\n  SpawnTime 20\n  Status 3\nEND\n"
    "GL-01:DeltaGlider\n  STATUS Landed Moon\n  BASE Brighton Beach:1\nEND\n"
    "END_SHIPS\n";

// Generous: a sanitizer build on a busy machine is slow, and frames come
// at the wall clock's pace.
constexpr auto kDeadline = std::chrono::seconds(90);
constexpr auto kPoll = std::chrono::milliseconds(100);

std::string shellQuoted(const std::string &word) {
  std::string q = "'";
  for (char c : word) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// The trace's events without their system times and without the run's
// opening, which tells how the run was started.
// The lines of the README's fenced sample that starts with a line holding
// `opening`, up to the fence that closes it.
std::vector<std::string> readmeSample(const std::string &opening) {
  std::ifstream in(KVT_SOURCE_DIR "/README.md");
  std::vector<std::string> sample;
  bool inside = false;
  for (std::string line, previous; std::getline(in, line); previous = line) {
    if (!inside && previous == "```" && line.find(opening) != std::string::npos) inside = true;
    if (inside && line == "```") break;
    if (inside) sample.push_back(line);
  }
  return sample;
}

std::vector<json> traceEvents(const std::string &path) {
  std::vector<json> events;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    json event = json::parse(line);
    event.erase("sys");
    if (event.value("kind", "") == "run" && event.value("phase", "") == "start") continue;
    events.push_back(event);
  }
  return events;
}

class PlayInTerminal : public ::testing::Test {
protected:
  kvt_test::TempTree scratch{"simhost_play"};
  const std::string dir = scratch.root();
  const std::string tmuxCommand = "tmux -f /dev/null -S " + shellQuoted(dir + "/tmux.sock");

  void TearDown() override { run(tmuxCommand + " kill-server"); }

  static std::string run(const std::string &command, int *status = nullptr) {
    std::string output;
    FILE *pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    const int raw = pclose(pipe);
    if (status != nullptr) *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
  }

  std::string screen() { return run(tmuxCommand + " capture-pane -p -t play"); }

  // Polls the screen until it shows text; the screen as last seen.
  bool waitFor(const std::string &text, std::string &seen) {
    const auto end = std::chrono::steady_clock::now() + kDeadline;
    while (std::chrono::steady_clock::now() < end) {
      seen = screen();
      if (seen.find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(kPoll);
    }
    return false;
  }

  void type(const std::string &text) {
    run(tmuxCommand + " send-keys -t play -l " + shellQuoted(text));
    run(tmuxCommand + " send-keys -t play Enter");
  }

  bool sessionEnded() {
    const auto end = std::chrono::steady_clock::now() + kDeadline;
    while (std::chrono::steady_clock::now() < end) {
      int status = 0;
      run(tmuxCommand + " has-session -t play", &status);
      if (status != 0) return true;
      std::this_thread::sleep_for(kPoll);
    }
    return false;
  }

  std::string simhost() const { return shellQuoted(KVT_BIN_DIR "/simhost"); }
  std::string file(const char *name) const { return shellQuoted(dir + "/" + name); }
};

TEST_F(PlayInTerminal, MillAnswersKeysAndCommandsOnScreenAndTheRecordReplaysToTheSameTrace) {
  scratch.write("mill.scn", kFinishedMill);
  const std::string play = simhost() + " play " + file("mill.scn") + " --root " + shellQuoted(KVT_TREE_DIR) +
                           " --record " + file("played.script") + " --trace " + file("play.jsonl") + " 2>" +
                           file("err.txt") + "; echo $? >" + file("status.txt");
  int started = -1;
  run(tmuxCommand + " new-session -d -s play -x 120 -y 40 " + shellQuoted(play), &started);
  ASSERT_EQ(started, 0) << "tmux could not start a session";
  std::string seen;
  ASSERT_TRUE(waitFor("Status: Autoprocessing disabled. Rock tank at 8000kg", seen)) << seen;
  // The map: in the row of the mill's centre (+) the left edge of its
  // meshes (#), set-down positions 4 and 1 and its airlock (=); the label of
  // its action area; the legend.
  for (const char *part : {"#4  1      =     +", "Autoprocessing enabled", "# footprint  = airlock"})
    EXPECT_TRUE(waitFor(part, seen)) << part << "\n" << seen;

  struct Step {
    const char *keys;            // typed; a line starting with ':' is entered
    const char *shows;           // then on the screen
    const char *map = nullptr;   // and on the map
  };
  const std::string saved = dir + "/played.scn";
  const Step steps[] = {
      {"7", "Ore cargo produced."},
      // Paused, the simulation stands still: what is done meanwhile is
      // recorded at the time of the pause, and the record replays.
      {"p", "PAUSED"},
      {":warp 10", "Done: warp 10"},
      {"p", "running"},
      {":warp 1", "Done: warp 1"},
      {":eva Mill 5 0 2.2", "Done: eva Mill 5 0 2.2", "@crew"},
      {":activate Mill", "Status: Autoprocessing enabled."},
      {":fly", "unknown verb \"fly\" (verbs: key, focus"},
      {":delete Nobody", "delete Nobody: no vessel named Nobody"},
      {":activate Mill", "Status: Autoprocessing disabled."},
  };
  for (const Step &step : steps) {
    if (step.keys[0] == ':') {
      type(step.keys);
    } else {
      run(tmuxCommand + " send-keys -t play -l " + shellQuoted(step.keys));
    }
    EXPECT_TRUE(waitFor(step.shows, seen)) << step.keys << "\n" << seen;
    if (step.map != nullptr) {
      EXPECT_TRUE(waitFor(step.map, seen)) << step.keys << "\n" << seen;
    }
  }
  type(":save " + saved);
  EXPECT_TRUE(waitFor("Done: save", seen)) << seen;
  type(":quit");
  ASSERT_TRUE(sessionEnded()) << screen();
  EXPECT_EQ(scratch.read("status.txt"), "0\n");
  // The load's notes, told before the screen started.
  EXPECT_NE(scratch.read("err.txt").find("mill.scn:21: GL-01: held as read, not in the world: landed at base"),
            std::string::npos)
      << scratch.read("err.txt");
  // The README's screen ends with the legend, the keys and the command
  // line; its record begins with the header a record has.
  const std::vector<std::string> readmeScreen = readmeSample(" simhost play  Scenarios/Demo.scn");
  ASSERT_GE(readmeScreen.size(), 3u);
  for (size_t i = readmeScreen.size() - 3; i + 1 < readmeScreen.size(); ++i)
    EXPECT_NE(seen.find(readmeScreen[i]), std::string::npos) << readmeScreen[i] << "\n" << seen;
  const std::vector<std::string> readmeRecord = readmeSample("# Recorded by simhost play from");
  ASSERT_GE(readmeRecord.size(), 2u);
  // The record names this scenario and file, and the replay's command
  // carries the options the session was given (here --root) before --dt.
  std::string header = readmeRecord[0], replayLine = readmeRecord[1];
  header.replace(header.find("Scenarios/Demo.scn"), 18, dir + "/mill.scn");
  replayLine.replace(replayLine.find("'demo.script'"), 13, file("played.script"));
  const std::string record = scratch.read("played.script");
  const size_t dt = replayLine.find("--dt ");
  EXPECT_EQ(record.rfind(header + "\n# Replay: simhost run ", 0), 0u) << header << "\n" << record;
  EXPECT_NE(record.find(replayLine.substr(dt) + "\n"), std::string::npos) << replayLine << "\n" << record;

  int shown = -1;
  const std::string show = run(simhost() + " show " + shellQuoted(saved) + " --root " + shellQuoted(KVT_TREE_DIR), &shown);
  EXPECT_EQ(shown, 0) << show;
  EXPECT_NE(show.find("Mill (Calvane)"), std::string::npos) << show;

  int replayed = -1;
  run(simhost() + " run " + file("mill.scn") + " --root " + shellQuoted(KVT_TREE_DIR) + " --script " +
          file("played.script") + " --trace " + file("replay.jsonl") + " --quiet",
      &replayed);
  ASSERT_EQ(replayed, 0) << scratch.read("played.script");
  const std::vector<json> live = traceEvents(dir + "/play.jsonl"), replay = traceEvents(dir + "/replay.jsonl");
  ASSERT_EQ(live.size(), replay.size()) << scratch.read("played.script");
  for (size_t i = 0; i < live.size(); ++i) ASSERT_EQ(live[i], replay[i]) << "event " << i;
}

}  // namespace
