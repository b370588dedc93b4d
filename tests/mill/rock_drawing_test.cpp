// Drawing mined rock: with processing on, the finished mill takes up to
// 2000 kg of "Mined Rock (Lunar)" from cargo within reach at every step
// while its tank holds less than 8001 kg; what goes above 10000 kg is lost
// at the end of the step. The status line shows the level before that cut.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mill_world.h"

namespace {

using millworld::MillWorld;

struct RockSpot {
  const char *name;
  double mass;  // kg, 0 for the type's 2000 kg
  double x, z;
};

struct DrawCase {
  const char *what;
  std::vector<std::string> millLines;
  bool switchOnByKey;  // key 4 before the first step: processing on, no production for 300 s
  std::vector<RockSpot> rocks;
  const char *tankAfter;  // as saved after one step
  std::string status;     // the status line, empty for none
  std::vector<double> rockMassLeft;  // per rock, -1 when it is gone
};

const std::string Enabled = "Status: Autoprocessing enabled. Rock tank at ";
// 10000.5 kg shown in whole kilograms is a tie the formatting may round
// either way.
const std::string Unchecked = "(not checked)";

const DrawCase DrawCases[] = {
    {"empty tank", {"Status 3"}, true, {{"Rock1", 0, 5, 0}}, "2000.0", Enabled + "2000kg", {-1}},
    {"6000 kg", {"Status 3", "OreTankLevel 6000"}, true, {{"Rock1", 0, 5, 0}}, "8000.0", Enabled + "8000kg", {-1}},
    {"8000 kg", {"Status 3", "OreTankLevel 8000"}, true, {{"Rock1", 0, 5, 0}}, "10000.0", Enabled + "10000kg", {-1}},
    // Drawn, and the step's cut takes the half kilogram above 10000 kg.
    {"8000.5 kg", {"Status 3", "OreTankLevel 8000.5"}, true, {{"Rock1", 0, 5, 0}}, "10000.0", Unchecked, {-1}},
    {"8000.75 kg: the line shows the level before the cut", {"Status 3", "OreTankLevel 8000.75"}, true,
     {{"Rock1", 0, 5, 0}}, "10000.0", Enabled + "10001kg", {-1}},
    {"8001 kg draws nothing", {"Status 3", "OreTankLevel 8001"}, true, {{"Rock1", 0, 5, 0}}, "8001.0",
     Enabled + "8001kg", {2000}},
    {"9000 kg draws nothing", {"Status 3", "OreTankLevel 9000"}, true, {{"Rock1", 0, 5, 0}}, "9000.0",
     Enabled + "9000kg", {2000}},
    {"12000 kg from the scenario is cut", {"Status 3", "OreTankLevel 12000"}, true, {{"Rock1", 0, 5, 0}}, "10000.0",
     Enabled + "12000kg", {2000}},
    {"a 1200 kg rock, then part of the next", {"Status 3", "OreTankLevel 1000"}, true,
     {{"Near", 1200, 4, 0}, {"Far", 0, 6, 0}}, "3000.0", Enabled + "3000kg", {-1, 1200}},
    {"a 1980 kg rock is near enough to 2000", {"Status 3"}, true, {{"Rock1", 1980, 5, 0}, {"Rock2", 0, 6, 0}},
     "1980.0", Enabled + "1980kg", {-1, 2000}},
    {"a 5000 kg rock gives 2000", {"Status 3"}, true, {{"Rock1", 5000, 5, 0}}, "2000.0", Enabled + "2000kg", {3000}},
    {"rock beyond reach", {"Status 3"}, true, {{"Rock1", 0, 0, 10.5}}, "0.0", Enabled + "0kg", {2000}},
    {"only construction boxes near", {"Status 3"}, true, {}, "0.0", Enabled + "0kg", {}},
    {"processing off", {"Status 3", "OreTankLevel 1000"}, false, {{"Rock1", 0, 5, 0}}, "1000.0",
     "Status: Autoprocessing disabled. Rock tank at 1000kg", {2000}},
    {"flag 2 is neither on nor off", {"Status 3", "Autospawn 2"}, false, {{"Rock1", 0, 5, 0}}, "0.0", "", {2000}},
    {"processing on before the mill is finished", {"Status 2"}, true, {{"Rock1", 0, 5, 0}}, "0.0", "", {2000}},
};

TEST(MillRockDrawing, TakesUpTo2000KgPerStepWhileTheTankHoldsLessThan8001Kg) {
  for (const DrawCase &c : DrawCases) {
    SCOPED_TRACE(c.what);
    MillWorld w;
    ASSERT_TRUE(w.Start(c.millLines));
    for (const RockSpot &rock : c.rocks) {
      ASSERT_TRUE(w.PlaceCargo(rock.name, millworld::Rock, rock.x, rock.z));
      std::string error;
      if (rock.mass > 0) {
        ASSERT_TRUE(w.sim().setEmptyMass(rock.name, rock.mass, error)) << error;
      }
    }
    ASSERT_TRUE(w.PlaceCargo("Kit", millworld::BoxD, -3, 3));
    if (c.switchOnByKey) {
      ASSERT_EQ(w.Key(OAPI_KEY_4), 0);
    }
    w.Frames(1);
    EXPECT_EQ(w.Fields().oreTankLevel, c.tankAfter);
    if (c.status != Unchecked) {
      EXPECT_EQ(w.HudLineAt(252), c.status);
    }
    for (size_t i = 0; i < c.rocks.size(); ++i) {
      const RockSpot &rock = c.rocks[i];
      if (c.rockMassLeft[i] < 0) {
        EXPECT_FALSE(w.Exists(rock.name)) << rock.name;
      } else {
        ASSERT_TRUE(w.Exists(rock.name)) << rock.name;
        EXPECT_EQ(w.EmptyMass(rock.name), c.rockMassLeft[i]) << rock.name;
      }
    }
    EXPECT_TRUE(w.Exists("Kit"));
    EXPECT_EQ(w.EmptyMass("Mill"), 2000.0);
  }
}

TEST(MillRockDrawing, FillsStepByStepUntilTheTankIsFullAndDrawsAgainAfterAProduction) {
  struct Step {
    const char *action;  // "" for a plain step, "7" to press the key first
    const char *tank;
    int rocksLeft;
  };
  const Step steps[] = {
      {"", "2000.0", 5},    {"", "4000.0", 4},  {"", "6000.0", 3},  {"", "8000.0", 2},
      {"", "10000.0", 1},   {"", "10000.0", 1}, {"7", "8000.0", 0}, {"", "8000.0", 0},
  };
  MillWorld w;
  ASSERT_TRUE(w.Start({"Status 3"}));
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(w.PlaceCargo("Rock" + std::to_string(i), millworld::Rock, 3.0 + i, -2.0));
  }
  ASSERT_EQ(w.Key(OAPI_KEY_4), 0);
  int number = 0;
  for (const Step &s : steps) {
    SCOPED_TRACE(++number);
    // Key 7 makes a box of 4000 kg; the step after it draws the last rock.
    if (*s.action) {
      ASSERT_EQ(w.Key(OAPI_KEY_7), 1);
    }
    w.Frames(1);
    EXPECT_EQ(w.Fields().oreTankLevel, s.tank);
    int left = 0;
    for (int i = 0; i < 6; ++i) left += w.Exists("Rock" + std::to_string(i)) ? 1 : 0;
    EXPECT_EQ(left, s.rocksLeft);
  }
  // Nearest first.
  std::vector<nlohmann::json> deleted = w.EventsOf("deleted");
  ASSERT_EQ(deleted.size(), 6u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(deleted[i].value("name", ""), "Rock" + std::to_string(i));
}

}  // namespace
