// The mill's four lines in its scenario block: how each value is read
// ("%lf" for the tank, "%li" for the rest: blanks, sign, 0x and octal
// prefixes, reading stops at the first character that cannot continue),
// what a malformed value leaves, and how the values read steer the cycle.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "mill_world.h"

namespace {

using millworld::MillFields;
using millworld::MillWorld;

struct ReadCase {
  const char *what;
  std::vector<std::string> lines;
  MillFields read;  // as saved before any step; cargo: the empty slot
};

MillFields Read(const char *tank, const char *flag, const char *interval, const char *stage) {
  return {tank, flag, interval, stage, "@@0,1,0,0,"};
}

const MillFields FirstValues = Read("0.0", "0", "300.0", "0");

// The largest single-precision value, as the host writes it.
const char *const LargestFloat = "340282346638528859811704183484516925440.0";

const ReadCase ReadCases[] = {
    {"no mill lines", {}, FirstValues},
    {"all four", {"OreTankLevel 1234.5", "Autospawn 1", "SpawnTime 45", "Status 3"}, Read("1234.5", "1", "45.0", "3")},
    {"keys in any case", {"oretanklevel 77", "AUTOSPAWN 1", "spawntime 9", "status 2"}, Read("77.0", "1", "9.0", "2")},
    {"interval written with decimals", {"SpawnTime 300.000000"}, Read("0.0", "0", "300.0", "0")},
    {"octal interval", {"SpawnTime 010"}, Read("0.0", "0", "8.0", "0")},
    {"hexadecimal interval", {"SpawnTime 0x1E"}, Read("0.0", "0", "30.0", "0")},
    {"negative interval", {"SpawnTime -5"}, Read("0.0", "0", "-5.0", "0")},
    {"interval beyond 32 bits", {"SpawnTime 99999999999"}, Read("0.0", "0", "2147483647.0", "0")},
    {"interval below 32 bits", {"SpawnTime -99999999999"}, Read("0.0", "0", "-2147483648.0", "0")},
    {"interval not a number", {"SpawnTime 45", "SpawnTime soon"}, Read("0.0", "0", "45.0", "0")},
    {"interval without value", {"SpawnTime 45", "SpawnTime"}, Read("0.0", "0", "45.0", "0")},
    {"flag 256 keeps its low eight bits", {"Autospawn 256"}, Read("0.0", "0", "300.0", "0")},
    {"flag 257", {"Autospawn 257"}, Read("0.0", "1", "300.0", "0")},
    {"flag 2", {"Autospawn 2"}, Read("0.0", "2", "300.0", "0")},
    {"flag -1", {"Autospawn -1"}, Read("0.0", "255", "300.0", "0")},
    {"flag beyond 32 bits", {"Autospawn 99999999999"}, Read("0.0", "255", "300.0", "0")},
    {"octal stage", {"Status 010"}, Read("0.0", "0", "300.0", "8")},
    {"negative stage", {"Status -1"}, Read("0.0", "0", "300.0", "-1")},
    {"stage not a number", {"Status 2", "Status done"}, Read("0.0", "0", "300.0", "2")},
    {"tank level narrowed to single precision", {"OreTankLevel 8000.3"}, Read("8000.2998046875", "0", "300.0", "0")},
    {"tank above capacity as read", {"OreTankLevel 12000"}, Read("12000.0", "0", "300.0", "0")},
    // The tank holds 0 to 10000 kg: a level below 0 would draw every rock in
    // reach and never fill, so it is refused and leaves the level as it was.
    {"negative tank", {"OreTankLevel 5000", "OreTankLevel -500"}, Read("5000.0", "0", "300.0", "0")},
    {"tank far below zero", {"OreTankLevel 5000", "OreTankLevel -1e30"}, Read("5000.0", "0", "300.0", "0")},
    {"tank just below zero", {"OreTankLevel 5000", "OreTankLevel -1e-30"}, Read("5000.0", "0", "300.0", "0")},
    {"tank at minus zero is empty", {"OreTankLevel 5000", "OreTankLevel -0"}, Read("0.0", "0", "300.0", "0")},
    {"empty tank", {"OreTankLevel 5000", "OreTankLevel 0"}, Read("0.0", "0", "300.0", "0")},
    {"tank key followed by a letter", {"OreTankLevel 1234.5", "OreTankLevelX 5"}, Read("1234.5", "0", "300.0", "0")},
    {"tank not a number: nan", {"OreTankLevel 5000", "OreTankLevel nan"}, Read("5000.0", "0", "300.0", "0")},
    {"tank not a number: NAN(1)", {"OreTankLevel 5000", "OreTankLevel NAN(1)"}, Read("5000.0", "0", "300.0", "0")},
    {"tank infinite", {"OreTankLevel 5000", "OreTankLevel inf"}, Read("5000.0", "0", "300.0", "0")},
    {"tank minus infinite", {"OreTankLevel 5000", "OreTankLevel -infinity"}, Read("5000.0", "0", "300.0", "0")},
    {"tank beyond a double", {"OreTankLevel 5000", "OreTankLevel 1e999"}, Read("5000.0", "0", "300.0", "0")},
    {"tank without value", {"OreTankLevel 5000", "OreTankLevel"}, Read("5000.0", "0", "300.0", "0")},
    // What the mill saves must load back: a level is saved in single
    // precision, so one beyond its range is refused when read.
    {"tank beyond single precision", {"OreTankLevel 5000", "OreTankLevel 1e39"}, Read("5000.0", "0", "300.0", "0")},
    {"tank below single precision", {"OreTankLevel 5000", "OreTankLevel -1e300"}, Read("5000.0", "0", "300.0", "0")},
    {"largest single-precision tank", {"OreTankLevel 3.4028234663852886e38"}, Read(LargestFloat, "0", "300.0", "0")},
    {"lowest single-precision tank", {"OreTankLevel -3.4028234663852886e38"}, FirstValues},
    {"interval key followed by a letter", {"SpawnTimeX 5"}, FirstValues},
};

TEST(MillScenarioKeys, EachLineIsReadAsItsKeysFormatReadsIt) {
  for (const ReadCase &c : ReadCases) {
    SCOPED_TRACE(c.what);
    MillWorld w;
    ASSERT_TRUE(w.Start(c.lines));
    EXPECT_EQ(w.Fields(), c.read);
  }
}

TEST(MillScenarioKeys, TheHostsStatusLineKeepsTheStageAndStillPlacesTheMill) {
  struct Case {
    const char *what;
    std::string block;  // the mill's block between its name line and END
    const char *stage;
  };
  const std::string place = "  POS 23.4730000 0.6740000\n  HEADING 90.00\n";
  const Case cases[] = {
      {"host line only", "  STATUS Landed Moon\n" + place, "0"},
      {"stage before the host line", "  Status 2\n  STATUS Landed Moon\n" + place, "2"},
      {"stage after the host line", "  STATUS Landed Moon\n" + place + "  Status 2\n", "2"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    MillWorld w;
    std::string scenario = millworld::MillScenario({});
    size_t start = scenario.find("Mill:Calvane\n") + std::string("Mill:Calvane\n").size();
    scenario.replace(start, scenario.find("END\nEND_SHIPS") - start, c.block);
    ASSERT_TRUE(w.Load(w.dir().write("Status.scn", scenario)));
    EXPECT_EQ(w.Fields().status, c.stage);
    const simhost::VesselRecord *mill = w.run().Record("Mill");
    ASSERT_NE(mill, nullptr);
    EXPECT_TRUE(mill->landed);
    EXPECT_NEAR(mill->lon * 180.0 / std::acos(-1.0), 23.473, 1e-9);
    EXPECT_NEAR(mill->lat * 180.0 / std::acos(-1.0), 0.674, 1e-9);
  }
}

TEST(MillScenarioKeys, ATankAboveCapacityIsCutAtTheNextStep) {
  struct Case {
    const char *level, *read, *afterStep;
  };
  const Case cases[] = {{"12000", "12000.0", "10000.0"},
                        {"10000.5", "10000.5", "10000.0"},
                        {"10000", "10000.0", "10000.0"},
                        {"9999.5", "9999.5", "9999.5"},
                        {"1e6", "1000000.0", "10000.0"}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.level);
    MillWorld w;
    ASSERT_TRUE(w.Start({"OreTankLevel " + std::string(c.level)}));
    EXPECT_EQ(w.Fields().oreTankLevel, c.read);
    w.Frames(1);
    EXPECT_EQ(w.Fields().oreTankLevel, c.afterStep);
  }
}

TEST(MillScenarioKeys, Flag2DoesNothingUntilAnActivationSwitchesProcessingOn) {
  MillWorld w;
  w.sim().setFrameLength(1.0);
  ASSERT_TRUE(w.Start({"Status 3", "Autospawn 2", "OreTankLevel 8000"}));
  ASSERT_TRUE(w.PlaceCargo("Rock", millworld::Rock, 5, 0));
  w.Frames(20);
  EXPECT_TRUE(w.Hud().empty());
  EXPECT_TRUE(w.Exists("Rock"));
  EXPECT_EQ(w.EmptyMass("Mill"), 2000.0);
  EXPECT_EQ(w.Fields(), (MillFields{"8000.0", "2", "300.0", "3", "@@0,1,0,0,"}));

  // Nothing was scheduled: the first production follows at once.
  EXPECT_EQ(w.Activate(), 1);
  w.Frames(1);
  EXPECT_FALSE(w.Exists("Rock"));
  EXPECT_EQ(w.HudLineAt(216), "Ore cargo produced.");
  EXPECT_EQ(w.HudLineAt(252), "Status: Autoprocessing enabled. Rock tank at 10000kg");
  EXPECT_EQ(w.EmptyMass("Mill"), 6000.0);
  EXPECT_EQ(w.Fields().autospawn, "1");
  EXPECT_EQ(w.Fields().oreTankLevel, "6000.0");
}

TEST(MillScenarioKeys, AStageOutsideTheFourIgnoresActivationsButProducesOnTime) {
  const char *const stages[] = {"-1", "4", "010", "2147483647"};
  const char *const saved[] = {"-1", "4", "8", "2147483647"};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(stages[i]);
    MillWorld w;
    w.sim().setFrameLength(1.0);
    ASSERT_TRUE(w.Start({std::string("Status ") + stages[i], "Autospawn 1", "OreTankLevel 8000"}));
    ASSERT_TRUE(w.PlaceCargo("Kit", millworld::BoxB, 5, 5));
    ASSERT_TRUE(w.PlaceCargo("Rock", millworld::Rock, 4, -3));
    EXPECT_EQ(w.Activate(), 1);
    w.Frames(10);
    EXPECT_EQ(w.HudLineAt(252), "");
    w.Frames(1);
    EXPECT_EQ(w.HudLineAt(252), "Ore cargo released.");
    w.TakeStrayActivation();
    EXPECT_EQ(w.Fields(), (MillFields{"4000.0", "1", "300.0", saved[i], "@@0,1,0,0,"}));
    EXPECT_TRUE(w.Exists("Kit"));
    EXPECT_TRUE(w.Exists("Rock"));
    for (size_t mesh = 1; mesh < 4; ++mesh) EXPECT_EQ(w.MeshVisibility("Mill", mesh), MESHVIS_NEVER) << mesh;
    // Produced at the first step, set down ten seconds later.
    std::vector<nlohmann::json> created = w.EventsOf("created", "KVTOre01");
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].value("t", -1.0), 11.0);
  }
}

// Times at which the mill's mass rose by a box: its productions.
std::vector<double> ProductionTimes(const MillWorld &w) {
  std::vector<double> times;
  for (const nlohmann::json &e : w.EventsOf("mass", "Mill")) {
    if (e.value("empty_mass", 0.0) == 6000.0) times.push_back(e.value("t", -1.0));
  }
  return times;
}

std::vector<double> ReleaseTimes(const MillWorld &w) {
  std::vector<double> times;
  for (const nlohmann::json &e : w.EventsOf("created")) {
    if (e.value("name", "").rfind("KVTOre", 0) == 0) times.push_back(e.value("t", -1.0));
  }
  return times;
}

TEST(MillScenarioKeys, TimersHoldAtThe32BitLimitsInsteadOfOverflowing) {
  struct Case {
    const char *what;
    std::vector<std::string> lines;
    bool onByKey;
    double frameLength;
    int frames;
    std::vector<double> produced, released;
    const char *spawnTime;  // as saved
  };
  const Case cases[] = {
      // The next production would lie beyond 2^31 s: it is held there.
      {"interval read beyond 32 bits", {"Autospawn 1", "SpawnTime 99999999999"}, false, 1.0, 30, {1}, {11},
       "2147483647.0"},
      {"largest interval switched on by key", {"SpawnTime 2147483647"}, true, 1.0, 30, {}, {}, "2147483647.0"},
      // Taken as read: always due, so every step produces while rock lasts.
      {"interval read below 32 bits", {"Autospawn 1", "SpawnTime -99999999999"}, false, 1.0, 30, {1, 2}, {2, 12},
       "-2147483648.0"},
      // Whole seconds beyond 2^31 are held at the limit: the release is
      // due at once and the next production at every step.
      {"a run beyond 2^31 s", {"Autospawn 1"}, false, 3e9, 2, {3e9, 6e9}, {3e9, 6e9}, "300.0"},
      {"a run reaching 2^31 s", {"Autospawn 1"}, false, 1e9, 3, {1e9, 2e9}, {2e9, 3e9}, "300.0"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    MillWorld w;
    w.sim().setFrameLength(c.frameLength);
    std::vector<std::string> lines = c.lines;
    lines.push_back("OreTankLevel 8000");
    ASSERT_TRUE(w.Start(lines));
    if (c.onByKey) {
      EXPECT_EQ(w.Key(OAPI_KEY_4), 0);
    }
    w.Frames(c.frames);
    EXPECT_EQ(ProductionTimes(w), c.produced);
    EXPECT_EQ(ReleaseTimes(w), c.released);
    EXPECT_EQ(w.Fields().spawnTime, c.spawnTime);
  }
}

}  // namespace
