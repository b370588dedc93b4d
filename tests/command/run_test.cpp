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

// A rock the mill carries by its cargo point: cargo, but not free.
constexpr const char *kCarriedRock =
    "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 60000.5\nEND_ENVIRONMENT\n\n"
    "BEGIN_FOCUS\n  Ship Mill\nEND_FOCUS\n\n"
    "BEGIN_SHIPS\n"
    "Mill:Calvane\n  STATUS Landed Moon\n  POS 23.4730000 0.6740000\n  HEADING 90.00\nEND\n"
    "Rock1:UCGO\\Cargos\\Lunar_Rock\n  STATUS Landed Moon\n  POS 23.4731000 0.6740000\n  ATTACHED 0:0,Mill\nEND\n"
    "END_SHIPS\n";

// The demo's site in a scenario in the simulator's style (sample/Scenarios).
constexpr const char *kFromTheSimulator = "KVT Mill/Mill among the simulator's ships";

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
  // unless the arguments name one. input, when given, is its standard input.
  Outcome simhost(const std::vector<std::string> &args, bool withRoot = true, const char *input = nullptr) {
    std::string command = "cd " + shellQuoted(dir.string()) + " && " + shellQuoted(KVT_BIN_DIR "/simhost");
    for (const std::string &arg : args) command += " " + shellQuoted(arg);
    if (withRoot && !args.empty() && (args[0] == "run" || args[0] == "show"))
      command += " --root " + shellQuoted(KVT_TREE_DIR);
    command += " >" + shellQuoted((dir / "stdout.txt").string()) + " 2>" + shellQuoted((dir / "stderr.txt").string());
    command += " <" + shellQuoted(input != nullptr ? write("stdin.txt", input).string() : "/dev/null");
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
  const char *input = nullptr;  // standard input
};

TEST_F(SimhostRun, ExitStatusTellsSuccessFailedRunAndBadUsage) {
  write("rocks.scn", kRocks);
  write("read-only.scn", kRocks);
  fs::permissions(dir / "read-only.scn", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  write("broken.scn", "BEGIN_SHIPS\nRock1:UCGO\\Cargos\\Lunar_Rock\n  STATUS Landed Moon\n");
  const StatusCase cases[] = {
      {"a plain run", {"run", "rocks.scn", "--until", "1"}, nullptr, 0, ""},
      {"a script that works", {"run", "rocks.scn", "--script", "s.script"}, "0.5 delete Rock2\n1 stop\n", 0, ""},
      {"a verb that fails at run time", {"run", "rocks.scn", "--script", "s.script"}, "# x\n0.2 delete NoSuch\n", 1,
       "s.script:2: delete NoSuch"},
      {"a scenario the simulation refuses", {"run", "broken.scn", "--until", "1"}, nullptr, 1, "broken.scn"},
      {"a place of a name a ship held as read has", {"run", kFromTheSimulator, "--script", "s.script"},
       "0.5 place gl-01 UCGO\\Cargos\\Lunar_Rock Mill 5 0\n", 1,
       "s.script:1: place gl-01 UCGO\\Cargos\\Lunar_Rock Mill 5 0: a ship named GL-01 is already in the scenario (held as read)"},
      {"saving into a missing folder, told before the run",
       {"run", "rocks.scn", "--until", "0.5", "--save", "no/such/dir/x.scn"}, nullptr, 2, "--save no/such/dir/x.scn: cannot be written: there is no folder no/such/dir"},
      {"saving onto a folder", {"run", "rocks.scn", "--until", "0.5", "--save", "."}, nullptr, 2,
       "--save .: cannot be written: it is a folder"},
      {"saving onto a device", {"run", "rocks.scn", "--until", "0.5", "--save", "/dev/null"}, nullptr, 2,
       "--save /dev/null: cannot be written: it is not a regular file"},
      {"saving onto a read-only file", {"run", "rocks.scn", "--until", "0.5", "--save", "read-only.scn"}, nullptr, 2,
       "--save read-only.scn: cannot be written: it is read-only"},
      {"a map radius of nothing", {"run", "rocks.scn", "--map", "m.svg", "--map-radius", "0"}, nullptr, 2, "--map-radius"},
      {"a script from standard input", {"run", "rocks.scn", "--script", "-"}, nullptr, 0, "", "0.5 delete Rock2\n"},
      {"a bad script from standard input", {"run", "rocks.scn", "--script", "-"}, nullptr, 2, "<stdin>:2: unknown verb",
       "0.5 delete Rock2\n1 fly\n"},
      {"a script whose times go back", {"run", "rocks.scn", "--script", "s.script"}, "1 stop\n# x\n0.5 delete Rock2\n", 2,
       "s.script:3: the time 0.5 s comes before 1 s of line 1"},
      {"events after --until", {"run", "rocks.scn", "--script", "s.script", "--until", "1"},
       "0.5 mass Rock1 10\n2 mass Rock1 20\n3 stop\n4 stop\n", 0, "3 events after 1 s were not run; the first is line 2"},
      {"an event after --until", {"run", "rocks.scn", "--script", "s.script", "--until", "1"}, "5 stop\n", 0,
       "1 event after 1 s was not run; it is line 1"},
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
      {"no command", {}, nullptr, 2, "Subcommands:\n  run "},
      {"an unknown command", {"fly", "Demo"}, nullptr, 2, "unknown command \"fly\" (commands: run, play, show, help"},
      {"play without a terminal", {"play", "rocks.scn"}, nullptr, 2, "play needs a terminal for its screen and keys; "
       "without one, give the actions as a script: simhost run [SCENARIO] --script - reads it from standard input"},
      {"the help command on play", {"help", "play"}, nullptr, 0, ""},
      {"help", {"--help"}, nullptr, 0, ""},
      {"help of run", {"run", "--help"}, nullptr, 0, ""},
      {"the help command", {"help"}, nullptr, 0, ""},
      {"the help command on run", {"help", "run"}, nullptr, 0, ""},
      {"the help command on show", {"help", "show"}, nullptr, 0, ""},
      {"the help command on no command", {"help", "fly"}, nullptr, 2, "no command \"fly\""},
      {"the version", {"--version"}, nullptr, 0, ""},
      {"show", {"show", "rocks.scn"}, nullptr, 0, ""},
      {"show of named vessels", {"show", "rocks.scn", "rock2", "Rock1"}, nullptr, 0, ""},
      {"show of a vessel that is not there", {"show", "rocks.scn", "Rock9"}, nullptr, 2, "no vessel \"Rock9\""},
      {"show of a scenario the simulation refuses", {"show", "broken.scn"}, nullptr, 1, "broken.scn:2: missing END"},
      {"show of a missing scenario", {"show", "nowhere"}, nullptr, 2, "no scenario \"nowhere\""},
      {"show without a scenario", {"show"}, nullptr, 2, "SCENARIO"},
      {"a site map", {"run", "rocks.scn", "--until", "1", "--map", "m.svg"}, nullptr, 0, ""},
      {"a site map of a moment", {"run", "rocks.scn", "--until", "1", "--map", "m.svg", "--map-at", "0.5"}, nullptr, 0, ""},
      {"a moment without a map", {"run", "rocks.scn", "--until", "1", "--map-at", "0.5"}, nullptr, 2,
       "--map-at needs --map FILE.svg"},
      {"a moment after the end", {"run", "rocks.scn", "--until", "1", "--map", "m.svg", "--map-at", "2"}, nullptr, 2,
       "--map-at 2.000000 lies after the run's end at 1.000000 s"},
      {"a map into a missing folder", {"run", "rocks.scn", "--until", "1", "--map", "no/dir/m.svg"}, nullptr, 2,
       "--map no/dir/m.svg: cannot be written: there is no folder no/dir"},
      {"a replay onto a folder", {"run", "rocks.scn", "--until", "1", "--replay", "."}, nullptr, 2,
       "--replay .: cannot be written: it is a folder"},
      {"show with a site map", {"show", "rocks.scn", "--map", "m.svg"}, nullptr, 0, ""},
      {"show with a map onto a device", {"show", "rocks.scn", "--map", "/dev/null"}, nullptr, 2,
       "--map /dev/null: cannot be written: it is not a regular file"},
  };
  for (const StatusCase &c : cases) {
    if (c.script != nullptr) write("s.script", c.script);
    Outcome outcome = simhost(c.args, true, c.input);
    EXPECT_EQ(outcome.status, c.status) << c.what << "\nstdout:\n" << outcome.out << "\nstderr:\n" << outcome.err;
    if (*c.err != '\0') {
      EXPECT_TRUE(has(outcome.err, c.err)) << c.what << "\nstderr:\n" << outcome.err;
    } else if (c.status == 0) {
      EXPECT_EQ(outcome.err, "") << c.what;
    }
  }
}

TEST_F(SimhostRun, HelpDescribesEveryOptionAndTheScriptClock) {
  Outcome outcome = simhost({"run", "--help"}, false);
  ASSERT_EQ(outcome.status, 0);
  for (const char *part : {"SCENARIO", "--root", "--until", "--dt", "--warp", "--script", "--save", "--trace", "--quiet",
                           "--map", "--map-at", "--map-radius", "--replay",
                           "system time spent in the current pause", "place NAME CLASS NEAR X Z", "rshift+ and rctrl+",
                           "\"-\" reads the script from standard input", "fault KIND [ARGS]",
                           "create-fails [CLASS|*] [N]", "mesh-fails MESH", "file-vanishes PATH", "file-unopenable PATH",
                           "crew-table-full", "crew-count N", "clear "}) {
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

TEST_F(SimhostRun, SaveWritesThroughASymbolicLinkToItsTarget) {
  write("rocks.scn", kRocks);
  fs::create_directory(dir / "kept");
  write("kept/old.scn", "old\n");
  fs::create_symlink("kept/old.scn", dir / "latest.scn");
  fs::create_symlink("latest.scn", dir / "link-to-link.scn");
  for (const char *link : {"latest.scn", "link-to-link.scn"}) {
    write("s.script", "0.5 delete Rock2\n");
    Outcome outcome = simhost({"run", "rocks.scn", "--script", "s.script", "--save", link});
    ASSERT_EQ(outcome.status, 0) << link << "\n" << outcome.err;
    EXPECT_TRUE(fs::is_symlink(dir / "latest.scn")) << link;
    EXPECT_TRUE(fs::is_symlink(dir / link)) << link;
    const std::string saved = readFile(dir / "kept/old.scn");
    EXPECT_TRUE(has(saved, "Rock1:UCGO\\Cargos\\Lunar_Rock")) << link << "\n" << saved;
    EXPECT_FALSE(has(saved, "Rock2:")) << link << "\n" << saved;
    EXPECT_FALSE(fs::exists(dir / "kept/old.scn.part")) << link;
    write("kept/old.scn", "old\n");
  }
}

struct ShowCase {
  std::vector<std::string> args;
  std::vector<const char *> parts;   // each in stdout
  std::vector<const char *> absent;  // none in stdout
};

TEST_F(SimhostRun, ShowTellsEachVesselWithoutRunningIt) {
  write("rocks.scn", kRocks);
  write("lines.scn", "BEGIN_SHIPS\nMill:Calvane\n  STATUS Landed Moon\n  POS 23.473 0.674\n  UMMUCREW Nobody\n"
                     "  FrobnicatorSetting 12\n  Status 3\nEND\nEND_SHIPS\n");
  // A name longer than a simulator's name buffer, and a vessel in flight.
  const std::string longName(300, 'R');
  write("far.scn", "BEGIN_SHIPS\n" + longName + ":UCGO\\Cargos\\Lunar_Rock\n  STATUS Landed Moon\n  POS 23.473 0.674\nEND\n"
                   "Orb:UCGO\\Cargos\\Lunar_Rock\n  STATUS Orbiting Moon\n  RPOS 1800000 12 -5\n  RVEL 0 1600 3\nEND\nEND_SHIPS\n");
  const std::string longFocus = "the focus vessel is " + longName + "\n";
  const std::string longStands = "\n" + longName + " (UCGO\\Cargos\\Lunar_Rock)\n  stands       landed at 23.4730000 E "
                                 "0.6740000 N, the focus vessel\n";
  const std::string inFlight = "\nOrb (UCGO\\Cargos\\Lunar_Rock)\n  stands       in flight at 0.0001592 W 0.0003820 N, "
                               "722431.3 m from " + longName + ", at (-716975.0, -86470.6, -19409.6) m of its frame\n";
  const ShowCase cases[] = {
      {{"show", "rocks.scn"},
       {"simhost: scenario rocks.scn on the simulator tree ", ", loaded, not run\n  2 vessels; the focus vessel is Rock1\n",
        "\nRock1 (UCGO\\Cargos\\Lunar_Rock)\n  stands       landed at 23.4730000 E 0.6740000 N, the focus vessel\n"
        "  empty mass   2000 kg\n  attachments  \"UCGOCG\" to a parent (free)\n  saves        STATUS Landed Moon\n"
        "               POS 23.4730000000 0.6740000000\n               HEADING 90.000000\n",
        "\nRock2 (UCGO\\Cargos\\Lunar_Rock)\n  stands       landed at 23.4731000 E 0.6740000 N, ",
        " m from Rock1, at ("},
       {"created", "Finished"}},
      {{"show", "rocks.scn", "rock2"}, {"\nRock2 (UCGO"}, {"\nRock1 ("}},
      {{"show", "lines.scn"},
       {"\nMill (Calvane)\n  stands       landed at 23.4730000 E 0.6740000 N, the focus vessel\n"
        "  note         lines.scn:5: \"UMMUCREW Nobody\" was taken neither by the module nor by simhost; a save will not "
        "write it\n  note         lines.scn:6: \"FrobnicatorSetting 12\" was taken neither"},
       {"Status 3\" was"}},
      {{"show", kFromTheSimulator},
       {"  9 vessels; the focus vessel is Mill\n  kept as read: 2 stand-ins in the world, 4 ships held aside (not in the world)\n",
        ":16: the Date line gives no number: simhost uses its default date, MJD 51544.5 (1 January 2000, 12:00)\n",
        "\nSH-03 (ShuttleA)\n  stands       landed at 23.4750000 E 0.6745000 N, ",
        "  stand-in     no Config/Vessels/ShuttleA.cfg; kept as read\n  note         ",
        "  empty mass   0 kg\n  attachments  none\n  saves        STATUS Landed Moon\n               POS 23.4750000 0.6745000\n",
        "\nISS (ProjectAlpha_ISS)\n  stands       held as read, not in the world\n  note         ",
        ":55: held as read, not in the world: stand-in: no Config/Vessels/ProjectAlpha_ISS.cfg; only a landed one with "
        "POS has a known place; a save writes it back as read\n  saves        STATUS Orbiting Earth\n",
        "\nPB-07 (ShuttlePB)\n  stands       held as read, not in the world\n", "stand-in: no Config/Vessels/ShuttlePB.cfg; attached to GL-01",
        "\nGL-01 (DeltaGlider)\n", "landed at base Brighton Beach:1, and simhost has no bases"},
       {"Relay-7 (CommRelay)\n  stands       held"}},
      {{"show", "Demo", "Mill"},
       {"simhost: scenario Scenarios/Demo.scn on the simulator tree ", "9 vessels; the focus vessel is Mill\n",
        "\nMill (Calvane)\n  stands       landed at 23.4730000 E 0.6740000 N, the focus vessel\n"
        "  empty mass   2072 kg\n  attachments  \"UMmu\" for a child (free)\n",
        "               UMMUCREW Eng-Mira_Kovac-38-64-72\n", "               UCGO @@", "               OreTankLevel 0.0\n",
        "               Autospawn 0\n", "               SpawnTime 20.0\n", "               Status 0\n"},
       {"\nBoxB ("}},
      {{"show", "far.scn"},
       {longFocus.c_str(), longStands.c_str(), inFlight.c_str(), "               RPOS 1800000.0 12.0 -5.0\n"},
       {"(no vessel"}},
  };
  for (const ShowCase &c : cases) {
    Outcome outcome = simhost(c.args);
    EXPECT_EQ(outcome.status, 0) << c.args[1] << "\n" << outcome.err;
    for (const char *part : c.parts) EXPECT_TRUE(has(outcome.out, part)) << part << "\n" << outcome.out;
    for (const char *part : c.absent) EXPECT_FALSE(has(outcome.out, part)) << part << "\n" << outcome.out;
  }
  // What it tells of each block is what a save writes there, line for line:
  // of the mill, the cargo, the stand-ins and the ships held as read.
  ASSERT_EQ(simhost({"run", kFromTheSimulator, "--until", "0", "--quiet", "--save", "blocks.scn"}).status, 0);
  const Outcome shown = simhost({"show", "blocks.scn"});
  std::istringstream saved(readFile(dir / "blocks.scn"));
  bool ships = false, inBlock = false;
  std::string expected;
  size_t blocks = 0;
  for (std::string line; std::getline(saved, line);) {
    const size_t first = line.find_first_not_of(" \t"), last = line.find_last_not_of(" \t\r");
    const std::string trimmed = first == std::string::npos ? "" : line.substr(first, last + 1 - first);
    if (trimmed == "BEGIN_SHIPS" || trimmed == "END_SHIPS") {
      ships = trimmed == "BEGIN_SHIPS";
    } else if (ships && !inBlock && !trimmed.empty() && trimmed[0] != ';') {
      inBlock = true;
      expected.clear();
    } else if (inBlock && trimmed == "END") {
      inBlock = false;
      ++blocks;
      EXPECT_TRUE(has(shown.out, expected)) << expected << "\n---\n" << shown.out;
    } else if (inBlock) {
      expected += (expected.empty() ? "  saves        " : "               ") + trimmed + "\n";
    }
  }
  EXPECT_EQ(blocks, 13u);
}

TEST_F(SimhostRun, AScenarioFromTheSimulatorRunsAndSavesBackWhatItKeptAsRead) {
  Outcome outcome = simhost({"run", kFromTheSimulator, "--save", "saved.scn", "--map", "m.svg", "--replay", "r.html"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  // The mill builds and produces beside the stand-ins.
  EXPECT_TRUE(has(outcome.out, "] created  KVTOre01 ")) << outcome.out;
  EXPECT_TRUE(has(outcome.err, "simhost: 6 stand-ins for classes the tree has no Config/Vessels file for, kept as read: "
                               "ISS, Luna-OB1, GL-01 and 3 more\n"))
      << outcome.err;
  EXPECT_TRUE(has(outcome.err, ":85: PB-07: held as read, not in the world: stand-in: no Config/Vessels/ShuttlePB.cfg; attached to GL-01")) << outcome.err;
  EXPECT_LT(outcome.err.find("the Date line gives no number"), outcome.err.find("PB-07")) << outcome.err;
  // Every section and every ship it keeps as read comes back as it was.
  const std::string original =
      readFile(fs::path(KVT_TREE_DIR) / "Scenarios" / "KVT Mill" / "Mill among the simulator's ships.scn");
  const std::string saved = readFile(dir / "saved.scn");
  std::vector<std::string> kept;
  for (const char *begin : {"BEGIN_DESC", "BEGIN_HYPERDESC", "BEGIN_FOCUS", "BEGIN_CAMERA", "BEGIN_HUD", "BEGIN_MFD Left",
                            "BEGIN_MFD Right", "BEGIN_PANEL", "BEGIN_VC", "BEGIN_TrackLogger v2"}) {
    const size_t at = original.find(begin);
    kept.push_back(original.substr(at, original.find("\nEND_", at) - at));
  }
  for (const char *ship : {"ISS:", "Luna-OB1\n", "GL-01:", "PB-07:", "SH-03:", "Relay-7:"}) {
    const size_t at = original.find(ship);
    kept.push_back(original.substr(at, original.find("\nEND\n", at) + 5 - at));
  }
  for (const std::string &part : kept) EXPECT_TRUE(has(saved, part)) << part << "\n---\n" << saved;
  // The pictures show the site: the relay 1 000 km away is counted, not drawn.
  const std::string map = readFile(dir / "m.svg");
  EXPECT_TRUE(has(map, ">1 vessel beyond 100 m of Mill not drawn</text>")) << map.size();
  EXPECT_FALSE(has(map, ">Relay-7</text>"));
  EXPECT_LT(map.size(), 100000u);
  EXPECT_TRUE(has(readFile(dir / "r.html"), "\"beyond\":1,"));
}

struct MapCase {
  const char *what;
  std::vector<std::string> args;     // the map goes to m.svg
  std::vector<const char *> parts;   // each in the map
  std::vector<const char *> absent;  // none in the map
};

TEST_F(SimhostRun, SiteMapDrawsTheSiteAtItsMoment) {
  const MapCase cases[] = {
      {"the demo at its end",
       {"run", "--quiet"},
       {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"",
        "Site around Mill (Scenarios/Demo.scn) at 80.0 s of simulation time", ">Mill</text>", ">Calvane</text>",
        ">2072 kg empty</text>", ">KVTOre03</text>", ">4000 kg empty, free cargo</text>",
        ">Status: Autoprocessing enabled. Rock tank at 0kg</text>", ">next set-down: 4 (inferred)</text>",
        ">action area 1, enabled</text>", ">&quot;Autoprocessing disabled&quot;, 5 m</text>", ">reach for cargo</text>",
        ">airlock of Mill</text>", ">crew member outside Mill</text>", ">5 m</text>", ">N</text>"},
       {">BoxB</text>", "cargo aboard Mill"}},
      {"the demo with a box aboard",
       {"run", "--quiet", "--map-at", "59"},
       {"at 59.0 s of simulation time", ">cargo aboard Mill</text>", ">UCGO\\KVT_OreBox</text>",
        ">next set-down: 3 (inferred)</text>", ">6072 kg empty</text>"},
       {">KVTOre03</text>"}},
      {"the demo as loaded",
       {"show", "Demo"},
       {"at 0.0 s of simulation time", ">BoxB</text>", ">UCGO\\Cargos\\KVT_Construction_BoxB</text>",
        ">next set-down: 1 (inferred)</text>", ">action area 1, enabled</text>", ">no label, 5 m</text>"},
       {">crew member outside Mill</text>"}},
      {"a carried rock", {"show", "carried.scn"}, {">Rock1</text>", ">UCGO\\Cargos\\Lunar_Rock</text>"}, {"free cargo"}},
  };
  write("carried.scn", kCarriedRock);
  for (const MapCase &c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--map", "m.svg"});
    Outcome outcome = simhost(args);
    ASSERT_EQ(outcome.status, 0) << c.what << "\n" << outcome.err;
    const std::string map = readFile(dir / "m.svg");
    for (const char *part : c.parts) EXPECT_TRUE(has(map, part)) << c.what << ": " << part;
    for (const char *part : c.absent) EXPECT_FALSE(has(map, part)) << c.what << ": " << part;
  }
}

TEST_F(SimhostRun, VesselsOfTheScenarioAreMeasuredFromItsFocus) {
  write("rocks.scn", kRocks);
  Outcome outcome = simhost({"run", "rocks.scn", "--until", "0"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_TRUE(has(outcome.out, "[    0.0 s] created  Rock2 (UCGO\\Cargos\\Lunar_Rock) landed at 23.4731000 E 0.6740000 N, ("))
      << outcome.out;
  EXPECT_TRUE(has(outcome.out, " m from Rock1, empty mass 2000 kg\n")) << outcome.out;
  EXPECT_FALSE(has(outcome.out, "m from the focus vessel")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "created  Rock1 (UCGO\\Cargos\\Lunar_Rock) landed at 23.4730000 E 0.6740000 N, the focus "
                               "vessel, empty mass 2000 kg\n"))
      << outcome.out;
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
  write("s.script", "1.0 mass Rock1 100\n1.0 mass Rock2 200\n1.0 mass Rock1 300\n");
  Outcome outcome = simhost({"run", "rocks.scn", "--script", "s.script", "--dt", "0.3"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  // Frames of 0.3 s reach 1.0 s only at 1.2 s; events of the same time fire
  // in file order.
  EXPECT_TRUE(has(outcome.out, "[    1.2 s] script   line 1: mass Rock1 100\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "[    1.2 s] script   line 2: mass Rock2 200\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "[    1.2 s] script   line 3: mass Rock1 300\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "Finished at 6.0 s of simulation time after 20 frames")) << outcome.out;

  // Ten frames of 0.1 s add up to a little less than 1.0, yet reach it.
  outcome = simhost({"run", "rocks.scn", "--script", "s.script", "--dt", "0.1"});
  EXPECT_TRUE(has(outcome.out, "[    1.0 s] script   line 1: mass Rock1 100\n")) << outcome.out;

  // Time acceleration runs past events of different times: one frame takes
  // them all, and the timeline says so.
  write("s.script", "1 mass Rock1 100\n2 mass Rock2 200\n# the third\n3 mass Rock1 300\n");
  outcome = simhost({"run", "rocks.scn", "--script", "s.script", "--warp", "50"});
  EXPECT_TRUE(has(outcome.out, "[    5.0 s] note     events of lines 1-4 fall into the frame at 5 s\n")) << outcome.out;
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
  EXPECT_TRUE(has(outcome.out, "] key      4: not consumed by Mill, left to the simulator\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "[    1.1 s] hud      row 18 (y=216 px) \"Autoprocessing enabled\"\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "[    2.1 s] hud      row 18 (y=216 px) cleared\n")) << outcome.out;
  EXPECT_TRUE(has(outcome.out, "[    3.1 s] hud      row 18 (y=216 px) \"Autoprocessing enabled\"\n")) << outcome.out;
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

// The README's walk-through, followed literally on a copy of the built tree:
// its scenario and its script, the run, and show on what the run saved.
TEST_F(SimhostRun, TheReadmeWalkThroughWorksAsWritten) {
  std::string readme = readFile(fs::path(KVT_SOURCE_DIR) / "README.md");
  size_t at = readme.find("## Write your own scenario");
  ASSERT_NE(at, std::string::npos);
  std::vector<std::string> blocks;  // the indented code blocks of its steps
  for (size_t open = readme.find("   ```\n", at); open != std::string::npos && blocks.size() < 2;
       open = readme.find("   ```\n", open)) {
    size_t close = readme.find("   ```\n", open + 7);
    std::istringstream lines(readme.substr(open + 7, close - open - 7));
    std::string block, line;
    while (std::getline(lines, line)) block += (line.rfind("   ", 0) == 0 ? line.substr(3) : line) + "\n";
    blocks.push_back(block);
    open = close + 7;
  }
  ASSERT_EQ(blocks.size(), 2u);
  fs::copy(KVT_TREE_DIR, dir / "tree", fs::copy_options::recursive);
  write("tree/Scenarios/My mill.scn", blocks[0]);
  write("tree/Scenarios/My mill.script", blocks[1]);
  std::string root = (dir / "tree").string();

  Outcome run = simhost({"run", "My mill", "--root", root}, false);
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char *seen : {"] created  KVTOre01 ", "] created  KVTOre02 ", "] saved    Scenarios/My-mill-saved.scn"})
    EXPECT_TRUE(has(run.out, seen)) << seen << "\n" << run.out;
  Outcome show = simhost({"show", "My-mill-saved", "--root", root}, false);
  ASSERT_EQ(show.status, 0) << show.err;
  EXPECT_TRUE(has(show.out, "KVTOre02 (UCGO\\Cargos\\KVT_Ore_Cargo)")) << show.out;
}
