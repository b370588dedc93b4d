// Scenario files: saving what was loaded gives a fixed point, unknown parts
// are kept, host lines are read into the status record, and malformed files
// are refused with their file and line and leave an empty world.
#include <algorithm>
#include <cmath>

#include "Orbitersdk.h"
#include "sim_tree.h"

using simtest::SimTree;

namespace {

class Scenarios : public ::testing::Test {
protected:
  void SetUp() override {
    tree.addPassiveClass("Crate", 2, 100, "BEGIN_ATTACHMENT\nP 0 -1 0  0 -1 0  0 0 1  HOOK\nEND_ATTACHMENT\n");
    tree.addPassiveClass("UCGO\\Cargos\\Box", 1.3, 1000,
                         "UcDescription = Construction BoxB\nBEGIN_ATTACHMENT\nC 0 1 0  0 1 0  0 0 1  LIFT\n"
                         "END_ATTACHMENT\n");
    tree.addProbe();
  }
  SimTree tree;
};

const std::string kShips =
    simtest::landedShip("Mill", "Probe", 23.473, 0.674, 90, "  PROBE hello world\n  AFCMODE 7\n") +
    simtest::landedShip("Box1", "UCGO\\Cargos\\Box", 23.4731, 0.6741, 12.5, "  UNKNOWNKEY 1 2 3\n") +
    "Flyer:Crate\n  STATUS Orbiting Moon\n  RPOS 1000000.125 1200000 800000\n  RVEL 100 -20 30.5\n"
    "  AROT 10 20 30\n  VROT 0.5 0 -1\nEND\n";

TEST_F(Scenarios, SaveLoadSaveIsAFixedPoint) {
  tree.write("Scenarios/a.scn",
             simtest::scenario(kShips, "Mill",
                               "BEGIN_CAMERA\n  TARGET Mill\n  MODE Extern\nEND_CAMERA\n\n") +
                 "\nBEGIN_EXTRA\n  anything goes here\nEND_EXTRA\n");
  std::string error, first, second;
  {
    simhost::Simulation sim(tree.root());
    ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/a.scn"), error)) << error;
    EXPECT_EQ(oapiGetVesselCount(), 3u);
    // A passive vessel's empty mass changed during the run (cargo that gave
    // part of itself) is its own, not its class's.
    ASSERT_TRUE(sim.setEmptyMass("Box1", 3000.5, error)) << error;
    for (int i = 0; i < 5; ++i) sim.frame();
    ASSERT_TRUE(sim.saveScenario(tree.path("Scenarios/b.scn"), error)) << error;
  }
  first = tree.read("Scenarios/b.scn");
  {
    simhost::Simulation sim(tree.root());
    ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/b.scn"), error)) << error;
    EXPECT_EQ(oapiGetEmptyMass(oapiGetVesselByName(const_cast<char *>("Box1"))), 3000.5);
    EXPECT_EQ(oapiGetEmptyMass(oapiGetVesselByName(const_cast<char *>("Flyer"))), 100);
    ASSERT_TRUE(sim.saveScenario(tree.path("Scenarios/c.scn"), error)) << error;
  }
  second = tree.read("Scenarios/c.scn");
  EXPECT_EQ(first, second);
  // What the host does not know is kept.
  EXPECT_NE(first.find("BEGIN_CAMERA\n  TARGET Mill\n  MODE Extern\nEND_CAMERA"), std::string::npos);
  EXPECT_NE(first.find("BEGIN_EXTRA\n  anything goes here\nEND_EXTRA"), std::string::npos);
  EXPECT_LT(first.find("END_CAMERA"), first.find("BEGIN_SHIPS"));
  EXPECT_GT(first.find("BEGIN_EXTRA"), first.find("END_SHIPS"));
  EXPECT_NE(first.find("A test."), std::string::npos);
  EXPECT_NE(first.find("  UNKNOWNKEY 1 2 3\n"), std::string::npos);
  // The module's own line, the host's lines of each kind of vessel.
  EXPECT_NE(first.find("Mill:Probe\n  STATUS Landed Moon\n  POS 23.4730000000 0.6740000000\n  HEADING 90.000000\n"
                       "  AFCMODE 7\n  PROBE hello world\nEND\n"),
            std::string::npos)
      << first;
  EXPECT_NE(first.find("Box1:UCGO\\Cargos\\Box\n  STATUS Landed Moon\n"), std::string::npos);
  EXPECT_NE(first.find("\n  SIMHOST_EMPTYMASS 3000.5\n  UNKNOWNKEY 1 2 3\nEND\n"), std::string::npos) << first;
  EXPECT_EQ(first.find("SIMHOST_EMPTYMASS"), first.rfind("SIMHOST_EMPTYMASS")) << "only the vessel that differs";
  EXPECT_NE(first.find("Flyer:Crate\n  STATUS Orbiting Moon\n  RPOS "), std::string::npos);
  EXPECT_NE(first.find("BEGIN_FOCUS\n  Ship Mill\nEND_FOCUS"), std::string::npos);
  EXPECT_NE(first.find("  Date MJD 60000.25"), std::string::npos);
}

TEST_F(Scenarios, HostLinesFillTheStatusRecord) {
  tree.write("Scenarios/a.scn", simtest::scenario(kShips));
  simhost::Simulation sim(tree.root());
  std::string error;
  ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/a.scn"), error)) << error;
  VESSEL *mill = oapiGetVesselInterface(oapiGetVesselByName(const_cast<char *>("mill")));
  ASSERT_NE(mill, nullptr);
  EXPECT_EQ(mill->GetADCtrlMode(), 7);
  VESSELSTATUS2 vs{};
  vs.version = 2;
  mill->GetStatusEx(&vs);
  EXPECT_EQ(vs.status, 1);
  EXPECT_NEAR(vs.surf_lng * 180 / 3.14159265358979323846, 23.473, 1e-12);
  EXPECT_NEAR(vs.surf_hdg * 180 / 3.14159265358979323846, 90, 1e-12);
  VESSEL *flyer = oapiGetVesselInterface(oapiGetVesselByName(const_cast<char *>("Flyer")));
  VESSELSTATUS s;
  flyer->GetStatus(s);
  EXPECT_EQ(s.status, 0);
  EXPECT_DOUBLE_EQ(s.rpos.x, 1000000.125);
  EXPECT_DOUBLE_EQ(s.rvel.z, 30.5);
  EXPECT_NEAR(s.arot.z * 180 / 3.14159265358979323846, 30, 1e-9);
  // The focus is the first vessel when the file names none.
  EXPECT_EQ(oapiGetFocusObject(), mill->GetHandle());
}

TEST_F(Scenarios, ParseScenarioLineExTakesOnlyTheHostsLines) {
  tree.write("Scenarios/a.scn", simtest::scenario(kShips));
  simhost::Simulation sim(tree.root());
  std::string error;
  ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/a.scn"), error)) << error;
  VESSEL *mill = oapiGetVesselInterface(oapiGetVesselByIndex(0));
  struct Case {
    const char *line;
    bool taken;
  } cases[] = {{"STATUS Landed Moon", true}, {"status orbiting moon", true}, {"Status 3", false},
               {"POS 1 2", true},            {"heading 5", true},             {"RPOS 1 2 3", true},
               {"AFCMODE 2", true},          {"OreTankLevel 100", false},     {"UCGO @@0,1,0,0,", false},
               {"", false}};
  for (const auto &c : cases) {
    VESSELSTATUS2 vs{};
    vs.version = 2;
    char buf[128];
    snprintf(buf, sizeof buf, "%s", c.line);
    EXPECT_EQ(mill->ParseScenarioLineEx(buf, &vs), c.taken) << c.line;
  }
  VESSELSTATUS2 vs{};
  vs.version = 2;
  char pos[] = "POS -10.5 20.25";
  mill->ParseScenarioLineEx(pos, &vs);
  EXPECT_NEAR(vs.surf_lat * 180 / 3.14159265358979323846, 20.25, 1e-12);
}

TEST_F(Scenarios, MalformedFilesAreRefusedWithTheirLine) {
  const std::string good = simtest::landedShip("A", "Crate", 1, 2, 3);
  std::string longLine(1100, 'x');
  struct Case {
    const char *what;
    std::string text;
    int line;
    const char *message;
  } cases[] = {
      {"malformed class file", simtest::scenario("A:Broken\nEND\n"), 11, "vessel class Broken"},
      {"missing END", "BEGIN_SHIPS\nA:Crate\n  STATUS Landed Moon\nEND_SHIPS\n", 2, "missing END of vessel A"},
      {"missing END at file end", "BEGIN_SHIPS\nA:Crate\n", 2, "missing END of vessel A"},
      {"ship line without its END", "BEGIN_SHIPS\n" + good + "JustAName\nEND_SHIPS\n", 7,
       "missing END of vessel JustAName"},
      {"bad POS number", "BEGIN_SHIPS\nA:Crate\n  STATUS Landed Moon\n  POS 1 x\nEND\nEND_SHIPS\n", 4, "POS"},
      {"bad RPOS count", "BEGIN_SHIPS\nA:Crate\n  RPOS 1 2\nEND\nEND_SHIPS\n", 3, "RPOS"},
      {"latitude beyond the pole", "BEGIN_SHIPS\nA:Crate\n  POS 1 91\nEND\nEND_SHIPS\n", 3, "latitude"},
      {"duplicate name", "BEGIN_SHIPS\n" + good + "a:Crate\nEND\nEND_SHIPS\n", 7, "duplicate vessel name a"},
      {"missing END_SHIPS", "BEGIN_SHIPS\n" + good, 1, "missing END_SHIPS"},
      {"body missing", "BEGIN_SHIPS\nA:Crate\n  STATUS Orbiting\nEND\nEND_SHIPS\n", 3, "needs one body"},
      {"line too long", "BEGIN_SHIPS\nA:Crate\n  " + longLine + "\nEND\nEND_SHIPS\n", 3, "line too long"},
      {"bad date", "BEGIN_ENVIRONMENT\n  Date MJD soon\nEND_ENVIRONMENT\n", 2, "Date"},
      {"bad Julian date", "BEGIN_ENVIRONMENT\n  Date JD 2451545.0.0\nEND_ENVIRONMENT\n", 2, "Date"},
      {"unknown date scale", "BEGIN_ENVIRONMENT\n  Date TAI 3\nEND_ENVIRONMENT\n", 2, "Date"},
      {"unclosed section with an argument", "BEGIN_MFD Left\n  TYPE Orbit\nEND_MFD Left\n", 1, "missing END_MFD"},
      {"other system", "BEGIN_ENVIRONMENT\n  System Vega\nEND_ENVIRONMENT\n", 2, "System Sol"},
      {"unclosed section", "BEGIN_CAMERA\n  MODE Extern\n", 1, "missing END_CAMERA"},
      {"text outside sections", "hello\n", 1, "outside a section"},
      {"focus on nobody", simtest::scenario(good, "Ghost"), 11, "Ghost"},
      {"bad AFCMODE", "BEGIN_SHIPS\nA:Crate\n  AFCMODE lots\nEND\nEND_SHIPS\n", 3, "AFCMODE"},
      {"module refuses", "BEGIN_SHIPS\n" + good + "NullOne:Probe\nEND\nEND_SHIPS\n", 7, "ovcInit"},
      {"module block bad line", "BEGIN_SHIPS\nP:Probe\n  PROBE x\n  HEADING north\nEND\nEND_SHIPS\n", 4,
       "HEADING"},
      {"bad empty mass", "BEGIN_SHIPS\nA:Crate\n  SIMHOST_EMPTYMASS -5\nEND\nEND_SHIPS\n", 3, "SIMHOST_EMPTYMASS"},
      {"a body file without a number", "BEGIN_SHIPS\nA:Crate\n  STATUS Landed Venus\n  POS 1 2\nEND\nEND_SHIPS\n", 2,
       "Config/Venus.cfg:3: Size needs a positive number"},
      {"a body file without its mass", "BEGIN_SHIPS\nA:Crate\n  STATUS Orbiting Io\n  RPOS 1 2 3\nEND\nEND_SHIPS\n", 2,
       "Config/Io.cfg: no Mass"},
      {"ATTACHED to a point that is not there", "BEGIN_SHIPS\n" + good + "B:Crate\n  ATTACHED 0:3,A\nEND\nEND_SHIPS\n",
       8, "cannot attach B to A"},
  };
  tree.write("Config/Vessels/Broken.cfg", "Size = big\n");
  tree.write("Config/Venus.cfg", "; a body file with a fault\nMass = 4.8675e24\nSize = big\n");
  tree.write("Config/Io.cfg", "Name = Io\nSize = 1821600\nAlbedo = 0.63\n");
  for (const auto &c : cases) {
    tree.write("Scenarios/bad.scn", c.text);
    simhost::Simulation sim(tree.root());
    simtest::EventLog log;
    log.attach(sim);
    std::string error;
    std::string file = tree.path("Scenarios/bad.scn");
    EXPECT_FALSE(sim.loadScenario(file, error)) << c.what;
    EXPECT_EQ(error.rfind(file + ":" + std::to_string(c.line) + ": ", 0), 0u) << c.what << ": " << error;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
    EXPECT_EQ(oapiGetVesselCount(), 0u) << c.what;
    EXPECT_EQ(oapiGetFocusObject(), nullptr) << c.what;
    EXPECT_TRUE(log.of("created").empty()) << c.what;
  }
}

// A part of a scenario in the simulator's style, and what a load and a save
// make of it beside a landed crate A.
struct KeptCase {
  const char *what;
  std::string before, ships, after;  // sections before the ships, ship blocks, sections after
  size_t inWorld;                     // vessels in the world, A among them
  const char *note;                   // a load note's text, or "" for none
  const char *saved = nullptr;        // what the save holds instead of the case's text
  bool crlf = false;                  // the file's lines end in CR LF
};

std::string withCrLf(const std::string &text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

TEST_F(Scenarios, WhatSimhostDoesNotModelIsKeptAsReadAndSavedInItsPlace) {
  const std::string crate = simtest::landedShip("A", "Crate", 1, 2, 3);
  const std::string base = "GL-01:DeltaGlider\n  STATUS Landed Moon\n  BASE Brighton Beach:1\n  HEADING 330.00\n"
                           "  PRPLEVEL 0:1.000000 1:1.000000\nEND\n";
  const KeptCase cases[] = {
      {"sections with an argument", "BEGIN_MFD Left\n  TYPE Orbit\n  REF Moon\nEND_MFD\n\nBEGIN_MFD Right\n  TYPE Map\nEND_MFD\n\n",
       "", "", 1, ""},
      {"HTML", "BEGIN_HYPERDESC\n<h1>Site</h1>\n<p>A <b>mill</b> &amp; rock.</p>\n  <br>\nEND_HYPERDESC\n\n", "", "", 1, ""},
      {"a plugin's section after the ships", "", "", "\nBEGIN_TrackLogger v2\n  INTERVAL 10\nEND_TrackLogger\n", 1, ""},
      {"a stand-in landed, its line without a class", "",
       "Relay\n  STATUS Landed Moon\n  POS 1.001 2\n  HEADING 0\n  XPDR 12\nEND\n", "", 2,
       "stand-in: no Config/Vessels/Relay.cfg; it stands in the world as read"},
      {"a line without a class of a known class", "", "Crate\n  STATUS Landed Moon\n  POS 1.001 2\n  HEADING 0\nEND\n",
       "", 2, "", "Crate:Crate\n  STATUS Landed Moon\n"},
      {"a stand-in orbiting a body the tree lacks", "",
       "ISS:ProjectAlpha_ISS\n  STATUS Orbiting Earth\n  RPOS -4578853.42 -3325524.15 3335227.75\n  AFCMODE 7\n"
       "  IDS 0:588 100 1:586 100\nEND\n",
       "", 1, "held as read, not in the world: orbiting Earth, a body the tree has no Config/Earth.cfg for"},
      {"a stand-in orbiting the Moon", "",
       "Luna-OB1\n  STATUS Orbiting Moon\n  RPOS 1912462.81 -38261.71 -1130415.44\n  RVEL 738.114 14.605 1249.012\nEND\n", "",
       1, "stand-in: no Config/Vessels/Luna-OB1.cfg; only a landed one with POS has a known place"},
      {"a known class around a body the tree lacks", "", "Flyer:Crate\n  STATUS Orbiting Jupiter\n  RPOS 1 2 3\nEND\n", "",
       1, "orbiting Jupiter, a body the tree has no Config/Jupiter.cfg for"},
      {"a ship landed at a base", "", base, "", 1, "landed at base Brighton Beach:1, and simhost has no bases"},
      {"a ship attached to one held as read", "", base + "B:Crate\n  STATUS Landed Moon\n  ATTACHED 0:0,GL-01\nEND\n", "",
       1, "attached to GL-01, which simhost does not hold"},
      {"a ship attached to a stand-in", "",
       "Relay\n  STATUS Landed Moon\n  POS 1.001 2\nEND\nB:Crate\n  STATUS Landed Moon\n  ATTACHED 0:0,Relay\nEND\n", "", 2,
       "attached to Relay, a stand-in without attachment points"},
      {"a ship attached to nobody", "", "B:Crate\n  ATTACHED 0:0,Ghost\nEND\n", "", 1,
       "attached to Ghost, which simhost does not hold"},
      {"a module's line neither it nor simhost takes", "",
       "P:Probe\n  STATUS Landed Moon\n  POS 1.001 2\n  FrobnicatorSetting 12\nEND\n", "", 2,
       "\"FrobnicatorSetting 12\" was taken neither by the module nor by simhost; a save will not write it",
       "P:Probe\n  STATUS Landed Moon\n"},
      {"a ship landed on Mars", "", "M:Crate\n  STATUS Landed Mars\n  POS 137.4 -4.5\n  HEADING 10\nEND\n", "", 2, "",
       "M:Crate\n  STATUS Landed Mars\n  POS 137.4000000000 -4.5000000000\n  HEADING 10.000000\n"},
      {"a ship orbiting Mars", "", "O:Crate\n  STATUS Orbiting Mars\n  RPOS 3500000 0 0\n  RVEL 0 0 3500\nEND\n", "", 2, "",
       "O:Crate\n  STATUS Orbiting Mars\n"},
      {"a ship below the ground", "", "Low:Crate\n  STATUS Orbiting Moon\n  RPOS 1000 0 0\n  RVEL 0 0 0\nEND\n", "", 2,
       "m below the ground; set down on it", "Low:Crate\n  STATUS Landed Moon\n"},
      {"comments and blank lines between and inside sections",
       "; the camera, as the simulator left it\nBEGIN_CAMERA\n  ; outside\n  MODE Extern\nEND_CAMERA\n\n\n;; the ships\n", "",
       "; after the ships\nBEGIN_TrackLogger v2\n\n  INTERVAL 10\nEND_TrackLogger\n; the last line\n\n", 1, ""},
      {"comments and blank lines among the ships", "",
       "\n; a relay beside the crate\nRelay\n  STATUS Landed Moon\n  POS 1.001 2\nEND\n  ; held: at a base\n" + base +
           "\n; the end of the ships\n",
       "", 2, "landed at base Brighton Beach:1"},
      {"a file whose lines end in CR LF", "; kept\nBEGIN_MFD Left\n  TYPE Orbit\nEND_MFD\n\n", "; a comment\n" + base,
       "\nBEGIN_TrackLogger v2\nEND_TrackLogger\n", 1, "landed at base", nullptr, true},
  };
  tree.addBody("Mars");
  for (const KeptCase &c : cases) {
    const std::string text = simtest::scenario(crate + c.ships, "A", c.before) + c.after;
    tree.write("Scenarios/a.scn", c.crlf ? withCrLf(text) : text);
    auto asRead = [&c](const std::string &part) { return c.crlf ? withCrLf(part) : part; };
    std::string error, first;
    {
      simhost::Simulation sim(tree.root());
      ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/a.scn"), error)) << c.what << ": " << error;
      EXPECT_EQ(oapiGetVesselCount(), c.inWorld) << c.what;
      std::string notes;
      for (const auto &n : sim.scenarioRead().notes) notes += n.text + "\n";
      EXPECT_NE(notes.find(c.note), std::string::npos) << c.what << ": " << notes;
      if (*c.note == '\0') {
        EXPECT_EQ(notes, "") << c.what;
      }
      for (int i = 0; i < 3; ++i) sim.frame();
      ASSERT_TRUE(sim.saveScenario(tree.path("Scenarios/b.scn"), error)) << c.what << ": " << error;
    }
    first = tree.read("Scenarios/b.scn");
    EXPECT_NE(first.find(asRead(c.before + "BEGIN_SHIPS\n")), std::string::npos) << c.what << ":\n" << first;
    EXPECT_NE(first.find(asRead(c.saved ? std::string(c.saved) : c.ships)), std::string::npos) << c.what << ":\n" << first;
    EXPECT_NE(first.find(asRead("END_SHIPS\n" + c.after)), std::string::npos) << c.what << ":\n" << first;
    EXPECT_EQ(first.find(asRead("END_SHIPS\n" + c.after)) + asRead("END_SHIPS\n" + c.after).size(), first.size())
        << c.what << ": the file's last lines are its last";
    std::string lineFeeds = first;
    lineFeeds.erase(std::remove(lineFeeds.begin(), lineFeeds.end(), '\r'), lineFeeds.end());
    EXPECT_EQ(first, c.crlf ? withCrLf(lineFeeds) : lineFeeds) << c.what << ": every line ends as the file's first";
    simhost::Simulation sim(tree.root());
    ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/b.scn"), error)) << c.what << ": " << error;
    ASSERT_TRUE(sim.saveScenario(tree.path("Scenarios/c.scn"), error)) << c.what << ": " << error;
    EXPECT_EQ(tree.read("Scenarios/c.scn"), first) << c.what;
  }
}

struct DateCase {
  const char *line;
  double mjd;
  bool noted;  // the default date, said
};

TEST_F(Scenarios, DatesAreReadInEachScaleAndADateWithoutANumberIsTheDefault) {
  const DateCase cases[] = {
      {"Date MJD", 51544.5, true},          {"Date MJD ; saved without a date", 51544.5, true},
      {"Date", 51544.5, true},              {"Date JD 2451545.0", 51544.5, false},
      {"Date JE 2000.0", 51544.5, false},   {"Date JE 2001", 51544.5 + 365.25, false},
      {"Date MJD 60000.5 ; a comment", 60000.5, false},
  };
  for (const DateCase &c : cases) {
    tree.write("Scenarios/a.scn", std::string("BEGIN_ENVIRONMENT\n  System Sol\n  ") + c.line +
                                      "\n\n  ; kept in its place\nEND_ENVIRONMENT\n" + "BEGIN_SHIPS\n" +
                                      simtest::landedShip("A", "Crate", 1, 2, 3) + "END_SHIPS\n");
    simhost::Simulation sim(tree.root());
    std::string error;
    ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/a.scn"), error)) << c.line << ": " << error;
    EXPECT_NEAR(sim.mjd(), c.mjd, 1e-9) << c.line;
    const auto &notes = sim.scenarioRead().notes;
    ASSERT_EQ(notes.size(), c.noted ? 1u : 0u) << c.line;
    if (c.noted) {
      EXPECT_EQ(notes[0].line, 3) << c.line;
      EXPECT_NE(notes[0].text.find("default date, MJD 51544.5"), std::string::npos) << notes[0].text;
    }
    // A save writes its date in place of the Date line, the line's comment
    // and the section's other lines kept.
    ASSERT_TRUE(sim.saveScenario(tree.path("Scenarios/b.scn"), error)) << c.line << ": " << error;
    const std::string line = c.line, comment = line.find(';') == std::string::npos ? "" : " " + line.substr(line.find(';'));
    EXPECT_NE(tree.read("Scenarios/b.scn").find("  System Sol\n  Date MJD "), std::string::npos) << c.line;
    EXPECT_NE(tree.read("Scenarios/b.scn").find(comment + "\n\n  ; kept in its place\nEND_ENVIRONMENT\n"), std::string::npos)
        << c.line << ":\n" << tree.read("Scenarios/b.scn");
  }
}

TEST_F(Scenarios, ARefusedModuleVesselIsEndedAgain) {
  tree.write("Scenarios/bad.scn", "BEGIN_SHIPS\nGood:Probe\nEND\nBad:Crate\n  POS x\nEND\nEND_SHIPS\n");
  simtest::clearProbeLog(tree);
  simhost::Simulation sim(tree.root());
  std::string error;
  EXPECT_FALSE(sim.loadScenario(tree.path("Scenarios/bad.scn"), error));
  std::string log = simtest::probeLog(tree);
  EXPECT_NE(log.find("exit Good"), std::string::npos) << log;
}

TEST_F(Scenarios, ModuleLinesCannotBreakTheFile) {
  tree.write("Scenarios/a.scn", simtest::scenario(simtest::landedShip("P", "Probe", 1, 1, 0)));
  simhost::Simulation sim(tree.root());
  std::string error;
  ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/a.scn"), error)) << error;
  ASSERT_TRUE(sim.pressKey(OAPI_KEY_N, false, false, error)) << error;
  ASSERT_TRUE(sim.saveScenario(tree.path("Scenarios/b.scn"), error)) << error;
  EXPECT_NE(tree.read("Scenarios/b.scn").find("  PROBE a END\nEND\n"), std::string::npos);
  ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/b.scn"), error)) << error;
  ASSERT_TRUE(sim.pressKey(OAPI_KEY_L, false, false, error)) << error;
  std::string earlier = tree.read("Scenarios/b.scn");
  EXPECT_FALSE(sim.saveScenario(tree.path("Scenarios/b.scn"), error));
  EXPECT_NE(error.find("longer than 1023"), std::string::npos) << error;
  EXPECT_EQ(tree.read("Scenarios/b.scn"), earlier);  // the earlier file is kept
}

TEST_F(Scenarios, AttachedChildrenAreSavedAndRestored) {
  tree.write("Scenarios/a.scn", simtest::scenario(simtest::landedShip("Lifter", "UCGO\\Cargos\\Box", 5, 5, 0) +
                                                  simtest::landedShip("Load", "Crate", 5.001, 5, 0)));
  std::string error;
  {
    simhost::Simulation sim(tree.root());
    ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/a.scn"), error)) << error;
    ASSERT_TRUE(sim.attach("Load", "Lifter", error)) << error;
    ASSERT_TRUE(sim.saveScenario(tree.path("Scenarios/b.scn"), error)) << error;
  }
  EXPECT_NE(tree.read("Scenarios/b.scn").find("  ATTACHED 0:0,Lifter\n"), std::string::npos);
  simhost::Simulation sim(tree.root());
  ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/b.scn"), error)) << error;
  VESSEL *lifter = oapiGetVesselInterface(oapiGetVesselByIndex(0));
  EXPECT_EQ(lifter->GetAttachmentStatus(lifter->GetAttachmentHandle(false, 0)), oapiGetVesselByIndex(1));
}

TEST_F(Scenarios, LoadAndSaveAreReported) {
  tree.write("Scenarios/a.scn", simtest::scenario(simtest::landedShip("A", "Crate", 1, 2, 3) +
                                                  simtest::landedShip("B", "Crate", 1.0001, 2, 3)));
  simhost::Simulation sim(tree.root());
  simtest::EventLog log;
  log.attach(sim);
  std::string error;
  ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/a.scn"), error)) << error;
  ASSERT_TRUE(sim.saveScenario(tree.path("Scenarios/b.scn"), error)) << error;
  auto created = log.of("created");
  ASSERT_EQ(created.size(), 2u);
  EXPECT_EQ(created[1]["name"], "B");
  EXPECT_EQ(created[1]["class"], "Crate");
  EXPECT_EQ(created[1]["status"], "landed");
  EXPECT_NEAR(created[1]["lon"].get<double>(), 1.0001, 1e-9);
  EXPECT_NEAR(created[1]["lat"].get<double>(), 2, 1e-9);
  // B lies 0.0001 degrees east of A, which faces 3 degrees east of north.
  const double rad = 3.14159265358979323846 / 180;
  double east = 0.0001 * rad * (1737.4e3 + 1) * std::cos(2 * rad);
  EXPECT_NEAR(created[1]["local"][0].get<double>(), east * std::cos(3 * rad), 0.01);
  EXPECT_NEAR(created[1]["local"][2].get<double>(), east * std::sin(3 * rad), 0.01);
  EXPECT_EQ(created[1]["empty_mass"], 100.0);
  EXPECT_TRUE(created[1].contains("t") && created[1].contains("sys"));
  ASSERT_EQ(log.of("loaded").size(), 1u);
  EXPECT_EQ(log.of("loaded")[0]["file"], tree.path("Scenarios/a.scn"));
  ASSERT_EQ(log.of("saved").size(), 1u);
  EXPECT_FALSE(sim.saveScenario(tree.path("NoSuchFolder/x.scn"), error));
  EXPECT_NE(error.find("cannot be written"), std::string::npos);
}

}  // namespace
