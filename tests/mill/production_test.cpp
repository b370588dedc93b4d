// Producing ore: on its timer (or key 7) the mill turns 4000 kg of its tank
// into an ore box in slot 0 and sets the box down beside itself at the first
// step ten or more whole seconds later, at the next of its six set-down
// positions. The box lands 2.1 m further along -x than the set-down
// position, where the cargo component puts slot 0's release point.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mill_world.h"

namespace {

using millworld::MillWorld;

struct Spot {
  double x, z;
};

// The set-down positions in the mill's frame, in turn.
const Spot SetDown[] = {{-6.5, 0}, {-6.5, 1.5}, {-6.5, -1.5}, {-8, 0}, {-8, 1.5}, {-8, -1.5}};
const double SlotZeroOffsetX = -2.1;

// A released box is set down at 720/721 of the way to its release point.
const double LandingTolerance = 0.02;

std::string OreBoxName(int number) {
  char name[16];
  std::snprintf(name, sizeof name, "KVTOre%02d", number);
  return name;
}

// Where a "created" event put the vessel, in the focus mill's frame.
Spot LandedAt(const nlohmann::json &created) {
  const nlohmann::json &local = created.at("local");
  return {local.at(0).get<double>(), local.at(2).get<double>()};
}

void ExpectLandedAtSetDown(const nlohmann::json &created, int position) {
  SCOPED_TRACE(created.dump());
  Spot at = LandedAt(created);
  EXPECT_NEAR(at.x, SetDown[position].x + SlotZeroOffsetX, LandingTolerance);
  EXPECT_NEAR(at.z, SetDown[position].z, LandingTolerance);
  EXPECT_EQ(created.value("status", ""), "landed");
  EXPECT_EQ(created.value("class", ""), "UCGO\\Cargos\\KVT_Ore_Cargo");
  EXPECT_EQ(created.value("empty_mass", 0.0), 4000.0);
}

// Times at which the mill's own mass changed to kg.
std::vector<double> MillMassTimes(const MillWorld &w, double kg) {
  std::vector<double> times;
  for (const nlohmann::json &e : w.EventsOf("mass", "Mill")) {
    if (e.value("empty_mass", 0.0) == kg) times.push_back(e.value("t", -1.0));
  }
  return times;
}

TEST(MillProduction, SevenTimedProductionsUseTheSixSetDownPositionsInTurnOnEveryBody) {
  // Mars turns 27 times as fast as the Moon and stands far from the origin:
  // the mill works on it exactly as on the Moon.
  for (const std::string body : {"Moon", "Mars"}) {
  SCOPED_TRACE(body);
  MillWorld w;
  w.sim().setFrameLength(1.0);
  std::string scenario = millworld::MillScenario({"Status 3", "Autospawn 1", "SpawnTime 20", "OreTankLevel 10000"});
  scenario.replace(scenario.find("Landed Moon"), 11, "Landed " + body);
  ASSERT_TRUE(w.Load(w.dir().write("Mill.scn", scenario)));
  for (int i = 0; i < 12; ++i) {
    ASSERT_TRUE(w.PlaceCargo("Rock" + std::to_string(i), millworld::Rock, 3.0 + 0.4 * i, 2.0));
  }
  w.RunUntil(135);

  const int positions[] = {0, 1, 2, 3, 4, 5, 0};
  std::vector<nlohmann::json> created;
  for (const nlohmann::json &e : w.EventsOf("created")) {
    if (e.value("name", "").rfind("KVTOre", 0) == 0) created.push_back(e);
  }
  ASSERT_EQ(created.size(), 7u);
  std::vector<double> produced, released;
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(created[i].value("name", ""), OreBoxName(i + 1));
    ExpectLandedAtSetDown(created[i], positions[i]);
    // Produced at once and then every 20 s; each set down 10 s later.
    produced.push_back(1.0 + 20.0 * i);
    released.push_back(11.0 + 20.0 * i);
    EXPECT_EQ(created[i].value("t", -1.0), released.back());
  }
  EXPECT_EQ(MillMassTimes(w, 6000), produced);
  EXPECT_EQ(MillMassTimes(w, 2000), released);
  const std::string saved = w.Save();
  EXPECT_NE(saved.find("KVTOre07:UCGO\\Cargos\\KVT_Ore_Cargo\n  STATUS Landed " + body), std::string::npos) << saved;
  }
}

TEST(MillProduction, TheBoxIsReleasedAtTheFirstStepTenOrMoreWholeSecondsLater) {
  struct Case {
    double frameLength;  // s; the first step produces
    double producedAt, releasedAt;
  };
  // The timers count whole seconds: a box made at 0.75 s (second 0) is due
  // from second 10.
  const Case cases[] = {{1.0, 1.0, 11.0}, {0.25, 0.25, 10.0}, {0.75, 0.75, 10.5}, {3.0, 3.0, 15.0}, {4.0, 4.0, 16.0}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.frameLength);
    MillWorld w;
    w.sim().setFrameLength(c.frameLength);
    ASSERT_TRUE(w.Start({"Autospawn 1", "OreTankLevel 4000"}));
    w.RunUntil(c.releasedAt - c.frameLength);
    EXPECT_EQ(MillMassTimes(w, 6000), std::vector<double>{c.producedAt});
    EXPECT_TRUE(w.EventsOf("created", "KVTOre01").empty());
    EXPECT_EQ(w.HudLineAt(216), "Ore cargo produced.");
    w.Frames(1);
    std::vector<nlohmann::json> created = w.EventsOf("created", "KVTOre01");
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].value("t", -1.0), c.releasedAt);
    ExpectLandedAtSetDown(created[0], 0);
    EXPECT_EQ(w.EmptyMass("Mill"), 2000.0);
    // Before the mill is finished nothing replaces the status line.
    EXPECT_EQ(w.HudLineAt(252), "Ore cargo released.");
    EXPECT_EQ(w.Fields().oreTankLevel, "0.0");
  }
}

TEST(MillProduction, AProductionWithinTenSecondsSetsTheWaitingBoxDownFirst) {
  // Every 4 s from 10000 kg: the second production finds the first box
  // still aboard, sets it down at its own position and makes the next; the
  // third finds too little rock but still moves the release point on.
  struct Moment {
    double t;
    const char *millLine;
    double millMass;
    const char *landed;  // the box set down at this step, or null
    int position;
  };
  const Moment moments[] = {
      {1, "Ore cargo produced.", 6000, nullptr, 0},
      {4, "Ore cargo produced.", 6000, nullptr, 0},
      {5, "Ore cargo produced.", 6000, "KVTOre01", 1},
      {9, "Not enough ore processed.", 6000, nullptr, 0},
      {14, "Not enough ore processed.", 6000, nullptr, 0},
      {15, "Not enough ore processed.", 2000, "KVTOre02", 2},
  };
  MillWorld w;
  w.sim().setFrameLength(1.0);
  ASSERT_TRUE(w.Start({"Autospawn 1", "SpawnTime 4", "OreTankLevel 10000"}));
  for (const Moment &m : moments) {
    SCOPED_TRACE(m.t);
    w.ClearEvents();
    w.RunUntil(m.t);
    EXPECT_EQ(w.HudLineAt(216), m.millLine);
    EXPECT_EQ(w.EmptyMass("Mill"), m.millMass);
    std::vector<nlohmann::json> created = w.EventsOf("created");
    if (!m.landed) {
      EXPECT_TRUE(created.empty());
      continue;
    }
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].value("name", ""), m.landed);
    EXPECT_EQ(created[0].value("t", -1.0), m.t);
    ExpectLandedAtSetDown(created[0], m.position);
  }
  // Only the automatic release speaks on the status line.
  EXPECT_EQ(w.HudLineAt(252), "Ore cargo released.");
  EXPECT_EQ(w.Fields().oreTankLevel, "2000.0");
}

TEST(MillProduction, TakesExactly4000KgFromTheTankOrRefuses) {
  struct Case {
    const char *tank;
    const char *millLine;
    const char *tankAfter;
    double millMass;
    const char *cargo;  // the saved cargo block
  };
  const Case cases[] = {
      {"0", "Not enough ore processed.", "0.0", 2000, "@@0,1,0,0,"},
      {"3999.5", "Not enough ore processed.", "3999.5", 2000, "@@0,1,0,0,"},
      {"4000", "Ore cargo produced.", "0.0", 6000, "@@0,1,1,4000,KVT_Ore_Cargo,"},
      {"4000.25", "Ore cargo produced.", "0.25", 6000, "@@0,1,1,4000,KVT_Ore_Cargo,"},
      {"10000", "Ore cargo produced.", "6000.0", 6000, "@@0,1,1,4000,KVT_Ore_Cargo,"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.tank);
    MillWorld w;
    ASSERT_TRUE(w.Start({"OreTankLevel " + std::string(c.tank)}));
    EXPECT_EQ(w.Key(OAPI_KEY_7), 1);
    w.Frames(1);
    EXPECT_EQ(w.HudLineAt(216), c.millLine);
    millworld::MillFields fields = w.Fields();
    EXPECT_EQ(fields.oreTankLevel, c.tankAfter);
    EXPECT_EQ(fields.cargo, c.cargo);
    EXPECT_EQ(w.EmptyMass("Mill"), c.millMass);
  }
}

TEST(MillProduction, ARefusedProductionKeepsTheTurnOfTheSetDownPositions) {
  MillWorld w;
  w.sim().setFrameLength(1.0);
  ASSERT_TRUE(w.Start({"Status 3", "OreTankLevel 2000"}));
  ASSERT_TRUE(w.PlaceCargo("Rock", millworld::Rock, 5, 0));
  // Refused twice: the position stays the first one.
  EXPECT_EQ(w.Key(OAPI_KEY_7), 1);
  EXPECT_EQ(w.Key(OAPI_KEY_7), 1);
  w.Frames(1);
  EXPECT_EQ(w.HudLineAt(216), "Not enough ore processed.");
  // Processing on by key draws the rock; the timer waits 300 s.
  EXPECT_EQ(w.Key(OAPI_KEY_4), 0);
  w.Frames(1);
  ASSERT_EQ(w.Fields().oreTankLevel, "4000.0");
  EXPECT_EQ(w.Key(OAPI_KEY_7), 1);
  w.Frames(12);
  std::vector<nlohmann::json> created = w.EventsOf("created", "KVTOre01");
  ASSERT_EQ(created.size(), 1u);
  ExpectLandedAtSetDown(created[0], 0);
}

TEST(MillProduction, WhenTheWaitingBoxCannotBeSetDownNoRockIsUsed) {
  // Without the ore box's type file the mill can neither load a new box
  // nor create the waiting one as a vessel: the slot message stays and the
  // tank keeps its rock.
  millworld::TempTree dir;
  ASSERT_TRUE(dir.ok());
  const std::string root = millworld::CopyTree(dir);
  const std::string typeFile = root + "/Config/Vessels/UCGO/Cargos/KVT_Ore_Cargo.cfg";
  MillWorld w(root);
  ASSERT_TRUE(w.Start({"OreTankLevel 10000", "UCGO @@0,1,1,4000,KVT_Ore_Cargo,"}));
  ASSERT_EQ(w.EmptyMass("Mill"), 6000.0);
  std::filesystem::remove(typeFile);
  EXPECT_EQ(w.Key(OAPI_KEY_7), 1);
  EXPECT_TRUE(w.EventsOf("created", "KVTOre01").empty());
  millworld::MillFields fields = w.Fields();
  EXPECT_EQ(fields.oreTankLevel, "10000.0");
  EXPECT_EQ(fields.cargo, "@@0,1,1,4000,KVT_Ore_Cargo,");
  // The automatic release of the step fails as well.
  w.Frames(1);
  EXPECT_EQ(w.HudLineAt(216), "No free cargo slots.");
  EXPECT_EQ(w.EmptyMass("Mill"), 6000.0);
  EXPECT_TRUE(w.EventsOf("created", "KVTOre01").empty());
}

}  // namespace
