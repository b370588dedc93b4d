// Building the mill: a crew member outside activates the action area, and
// at the next step the mill takes one construction box of the stage's kind
// from cargo set down within 10 m. Only a whole 1000 kg box builds the next
// stage; its part of the mill appears with it. Once built, the same area
// switches automatic processing.
#include <gtest/gtest.h>

#include <string>

#include "mill_world.h"

namespace {

using millworld::MillWorld;

struct TakeCase {
  const char *what;
  int stage;
  const char *type;  // cargo type set down as "Kit"
  double mass;       // its empty mass, 0 for the type's 1000 kg
  double x, z;       // where, in the mill's frame
  const char *secondType;  // a second box "Kit2", or null
  double secondMass;
  double secondX, secondZ;
  int stageAfter;
  bool kitLeft;
  double kitMassLeft;
};

// Boxes stand 0.65 m above the ground, so a box 10 m away along the ground
// is beyond the mill's 10 m reach.
const TakeCase TakeCases[] = {
    {"BoxB at stage 0", 0, millworld::BoxB, 0, 5, 5, nullptr, 0, 0, 0, 1, false, 0},
    {"BoxB just within reach", 0, millworld::BoxB, 0, 9.9, 0, nullptr, 0, 0, 0, 1, false, 0},
    {"BoxB beyond reach", 0, millworld::BoxB, 0, 10.0, 0, nullptr, 0, 0, 0, 0, true, 1000},
    {"BoxB behind the mill", 0, millworld::BoxB, 0, -3, -6, nullptr, 0, 0, 0, 1, false, 0},
    {"980 kg BoxB is used up in vain", 0, millworld::BoxB, 980, 5, 5, nullptr, 0, 0, 0, 0, false, 0},
    {"1200 kg BoxB gives 1000", 0, millworld::BoxB, 1200, 5, 5, nullptr, 0, 0, 0, 1, true, 200},
    {"600 and 400 kg make a whole box", 0, millworld::BoxB, 600, 4, 0, millworld::BoxB, 400, 6, 0, 1, false, 0},
    {"600 and 300 kg do not", 0, millworld::BoxB, 600, 4, 0, millworld::BoxB, 300, 6, 0, 0, false, 0},
    {"BoxC at stage 0", 0, millworld::BoxC, 0, 5, 5, nullptr, 0, 0, 0, 0, true, 1000},
    {"rock at stage 0", 0, millworld::Rock, 0, 5, 5, nullptr, 0, 0, 0, 0, true, 2000},
    {"BoxC at stage 1", 1, millworld::BoxC, 0, 5, 5, nullptr, 0, 0, 0, 2, false, 0},
    {"BoxB at stage 1", 1, millworld::BoxB, 0, 5, 5, nullptr, 0, 0, 0, 1, true, 1000},
    {"BoxD at stage 2", 2, millworld::BoxD, 0, 5, 5, nullptr, 0, 0, 0, 3, false, 0},
    {"BoxD at stage 3", 3, millworld::BoxD, 0, 5, 5, nullptr, 0, 0, 0, 3, true, 1000},
    {"BoxB at stage 4", 4, millworld::BoxB, 0, 5, 5, nullptr, 0, 0, 0, 4, true, 1000},
    {"BoxB at stage -1", -1, millworld::BoxB, 0, 5, 5, nullptr, 0, 0, 0, -1, true, 1000},
};

TEST(MillConstruction, AnActivationTakesOneWholeBoxOfTheStagesKindWithinReach) {
  for (const TakeCase &c : TakeCases) {
    SCOPED_TRACE(c.what);
    MillWorld w;
    ASSERT_TRUE(w.Start({"Status " + std::to_string(c.stage)}));
    ASSERT_TRUE(w.PlaceCargo("Kit", c.type, c.x, c.z));
    std::string error;
    if (c.mass > 0) {
      ASSERT_TRUE(w.sim().setEmptyMass("Kit", c.mass, error)) << error;
    }
    if (c.secondType) {
      ASSERT_TRUE(w.PlaceCargo("Kit2", c.secondType, c.secondX, c.secondZ));
      ASSERT_TRUE(w.sim().setEmptyMass("Kit2", c.secondMass, error)) << error;
    }
    w.Frames(1);
    EXPECT_EQ(w.Activate(), 1);
    w.Frames(2);
    // A mill outside the stages never takes its activation.
    if (c.stage < 0 || c.stage > 3) w.TakeStrayActivation();
    EXPECT_EQ(w.Fields().status, std::to_string(c.stageAfter));
    ASSERT_EQ(w.Exists("Kit"), c.kitLeft);
    if (c.kitLeft) {
      EXPECT_EQ(w.EmptyMass("Kit"), c.kitMassLeft);
    }
    if (c.secondType) {
      EXPECT_FALSE(w.Exists("Kit2"));
    }
    // Cargo lying free is not the mill's: its own mass stays.
    EXPECT_EQ(w.EmptyMass("Mill"), 2000.0);
    // Construction shows no message; the finished mill shows its status.
    if (c.stageAfter < 3) {
      EXPECT_TRUE(w.Hud().empty());
    }
  }
}

TEST(MillConstruction, NothingIsTakenWithoutAnActivationOfTheMillsArea) {
  struct Case {
    const char *what;
    bool activate;
    double x, z;  // where the crew member stands
  };
  const Case cases[] = {
      {"crew member out of the area's reach", true, 15, 2.2},
      {"crew member at the area, no activation", false, 5, 2.2},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    MillWorld w;
    ASSERT_TRUE(w.Start({}));
    ASSERT_TRUE(w.PlaceCargo("Kit", millworld::BoxB, 5, 5));
    if (c.activate) {
      EXPECT_EQ(w.Activate(c.x, 0, c.z), -1);
    }
    w.Frames(3);
    EXPECT_EQ(w.Fields().status, "0");
    EXPECT_TRUE(w.Exists("Kit"));
  }
}

TEST(MillConstruction, ThreeBoxesBuildTheMillStageByStageAndItsPartsAppear) {
  struct Step {
    const char *kit;  // null: the state before any activation
    int stage;
    int shown[4];  // visibility of meshes 0 to 3
  };
  const Step steps[] = {
      {nullptr, 0, {MESHVIS_ALWAYS, MESHVIS_NEVER, MESHVIS_NEVER, MESHVIS_NEVER}},
      {"KitB", 1, {MESHVIS_ALWAYS, MESHVIS_ALWAYS, MESHVIS_NEVER, MESHVIS_NEVER}},
      {"KitC", 2, {MESHVIS_ALWAYS, MESHVIS_ALWAYS, MESHVIS_ALWAYS, MESHVIS_NEVER}},
      {"KitD", 3, {MESHVIS_ALWAYS, MESHVIS_ALWAYS, MESHVIS_ALWAYS, MESHVIS_ALWAYS}},
  };
  MillWorld w;
  ASSERT_TRUE(w.Start({}));
  // The kits are set down in the order they are needed; nearer is not first.
  ASSERT_TRUE(w.PlaceCargo("KitD", millworld::BoxD, 2, 3));
  ASSERT_TRUE(w.PlaceCargo("KitC", millworld::BoxC, 3, 3));
  ASSERT_TRUE(w.PlaceCargo("KitB", millworld::BoxB, 4, 3));
  for (const Step &s : steps) {
    SCOPED_TRACE(s.stage);
    if (s.kit) {
      EXPECT_EQ(w.Activate(), 1);
    }
    w.Frames(2);
    EXPECT_EQ(w.Fields().status, std::to_string(s.stage));
    if (s.kit) {
      EXPECT_FALSE(w.Exists(s.kit));
    }
    for (size_t mesh = 0; mesh < 4; ++mesh) EXPECT_EQ(w.MeshVisibility("Mill", mesh), s.shown[mesh]) << mesh;
  }
  // Each kit went whole, and the finished mill switches processing instead.
  EXPECT_EQ(w.EventsOf("deleted").size(), 3u);
  EXPECT_EQ(w.HudLineAt(252), "Status: Autoprocessing disabled. Rock tank at 0kg");
}

TEST(MillConstruction, TheFinishedMillsAreaSwitchesAutomaticProcessing) {
  struct Case {
    const char *what;
    int flag;         // Autospawn as loaded
    double tank;      // kg
    int flagAfter;
    const char *status;   // the status line after the activation's step
    const char *millLine; // the mill's line, empty for none
    double millMass;      // 6000 with a box made at once
  };
  const Case cases[] = {
      {"off to on, tank empty", 0, 0, 1, "Status: Autoprocessing enabled. Rock tank at 0kg", "Not enough ore processed.",
       2000},
      // Nothing was scheduled yet: switched on by the area, the first
      // production is due at once.
      {"off to on, tank holding 4000 kg", 0, 4000, 1, "Status: Autoprocessing enabled. Rock tank at 4000kg",
       "Ore cargo produced.", 6000},
      {"on to off", 1, 0, 0, "Status: Autoprocessing disabled. Rock tank at 0kg", "", 2000},
      {"neither to on", 2, 0, 1, "Status: Autoprocessing enabled. Rock tank at 0kg", "Not enough ore processed.", 2000},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    MillWorld w;
    w.sim().setFrameLength(1.0);
    std::string tank = std::to_string(c.tank);
    ASSERT_TRUE(w.Start({"Status 3", "Autospawn " + std::to_string(c.flag), "OreTankLevel " + tank}));
    // A flag of 1 from the scenario tries a production at the first step;
    // the key 7 line it may leave is replaced below or has gone by then.
    w.Frames(20);
    ASSERT_EQ(w.HudLineAt(216), "");
    EXPECT_EQ(w.Activate(), 1);
    w.Frames(1);
    EXPECT_EQ(w.Fields().autospawn, std::to_string(c.flagAfter));
    EXPECT_EQ(w.HudLineAt(252), c.status);
    EXPECT_EQ(w.HudLineAt(216), c.millLine);
    EXPECT_EQ(w.EmptyMass("Mill"), c.millMass);
  }
}

}  // namespace
