// The operator's keys on the focused mill: Shift+C sets the box aboard down,
// 7 produces at once, 4 switches automatic processing (and is left to the
// host as well). Other keys and other modifiers are the host's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mill_world.h"

namespace {

using millworld::MillWorld;

const int ReleaseRow768 = 144, MillRow768 = 216;

const unsigned None = 0, Shift = simhost::Simulation::LeftShift, Ctrl = simhost::Simulation::LeftCtrl,
               RShift = simhost::Simulation::RightShift, RCtrl = simhost::Simulation::RightCtrl;

const char *const BoxAboard = "@@0,1,1,4000,KVT_Ore_Cargo,";
const char *const SlotEmpty = "@@0,1,0,0,";

struct KeyCase {
  const char *what;
  bool boxAboard;
  int tank;  // kg
  int flag;  // Autospawn as loaded
  DWORD key;
  unsigned modifiers;  // held with the key
  int result;          // to the press; the release is always left to the host
  const char *releaseLine, *millLine;
  int flagAfter;
  const char *cargoAfter;
};

const char *const NotReleased = "Cargo not released (empty slot, no cargo aboard?)";

const KeyCase KeyCases[] = {
    {"Shift+C with a box aboard", true, 0, 0, OAPI_KEY_C, Shift, 1, "Ore Cargo released", "", 0, SlotEmpty},
    {"Shift+C with nothing aboard", false, 0, 0, OAPI_KEY_C, Shift, 1, NotReleased, "", 0, SlotEmpty},
    {"C alone", true, 0, 0, OAPI_KEY_C, None, 0, "", "", 0, BoxAboard},
    {"Ctrl+C", true, 0, 0, OAPI_KEY_C, Ctrl, 0, "", "", 0, BoxAboard},
    {"Shift+Ctrl+C", true, 0, 0, OAPI_KEY_C, Shift | Ctrl, 0, "", "", 0, BoxAboard},
    {"7 with an empty tank", false, 0, 0, OAPI_KEY_7, None, 1, "", "Not enough ore processed.", 0, SlotEmpty},
    {"7 with 4000 kg", false, 4000, 0, OAPI_KEY_7, None, 1, "", "Ore cargo produced.", 0, BoxAboard},
    {"7 with a box aboard", true, 4000, 0, OAPI_KEY_7, None, 1, "", "Ore cargo produced.", 0, BoxAboard},
    {"Shift+7", false, 4000, 0, OAPI_KEY_7, Shift, 0, "", "", 0, SlotEmpty},
    {"Ctrl+7", false, 4000, 0, OAPI_KEY_7, Ctrl, 0, "", "", 0, SlotEmpty},
    {"4 switches on", false, 0, 0, OAPI_KEY_4, None, 0, "", "Autoprocessing enabled", 1, SlotEmpty},
    {"4 switches off", false, 0, 1, OAPI_KEY_4, None, 0, "", "Autoprocessing disabled", 0, SlotEmpty},
    {"4 with the flag at 2", false, 0, 2, OAPI_KEY_4, None, 0, "", "Autoprocessing enabled", 1, SlotEmpty},
    {"Shift+4", false, 0, 0, OAPI_KEY_4, Shift, 0, "", "", 0, SlotEmpty},
    {"Ctrl+4", false, 0, 0, OAPI_KEY_4, Ctrl, 0, "", "", 0, SlotEmpty},
    {"5", true, 4000, 0, OAPI_KEY_5, None, 0, "", "", 0, BoxAboard},
    {"Shift+P", true, 4000, 0, OAPI_KEY_P, Shift, 0, "", "", 0, BoxAboard},
    {"right Shift+C", true, 0, 0, OAPI_KEY_C, RShift, 1, "Ore Cargo released", "", 0, SlotEmpty},
    {"right Shift+C with nothing aboard", false, 0, 0, OAPI_KEY_C, RShift, 1, NotReleased, "", 0, SlotEmpty},
    {"both Shifts+C", true, 0, 0, OAPI_KEY_C, Shift | RShift, 1, "Ore Cargo released", "", 0, SlotEmpty},
    {"right Ctrl+C", true, 0, 0, OAPI_KEY_C, RCtrl, 0, "", "", 0, BoxAboard},
    {"Shift+right Ctrl+C", true, 0, 0, OAPI_KEY_C, Shift | RCtrl, 0, "", "", 0, BoxAboard},
    {"right Shift+right Ctrl+C", true, 0, 0, OAPI_KEY_C, RShift | RCtrl, 0, "", "", 0, BoxAboard},
    {"right Shift+7", false, 4000, 0, OAPI_KEY_7, RShift, 0, "", "", 0, SlotEmpty},
    {"right Ctrl+7", false, 4000, 0, OAPI_KEY_7, RCtrl, 0, "", "", 0, SlotEmpty},
    {"right Shift+4", false, 0, 0, OAPI_KEY_4, RShift, 0, "", "", 0, SlotEmpty},
    {"right Ctrl+4", false, 0, 0, OAPI_KEY_4, RCtrl, 0, "", "", 0, SlotEmpty},
};

// Each key once, before the first step: a box aboard from the scenario is
// still there (the first step would set it down).
TEST(MillKeys, EachKeyWithAndWithoutModifiersAndWhatItReturns) {
  for (const KeyCase &c : KeyCases) {
    SCOPED_TRACE(c.what);
    MillWorld w;
    std::vector<std::string> lines = {"OreTankLevel " + std::to_string(c.tank), "Autospawn " + std::to_string(c.flag)};
    if (c.boxAboard) lines.push_back(std::string("UCGO ") + BoxAboard);
    ASSERT_TRUE(w.Start(lines));
    int released = -99;
    EXPECT_EQ(w.Key(c.key, c.modifiers, &released), c.result);
    EXPECT_EQ(released, 0);
    millworld::MillFields fields = w.Fields();
    EXPECT_EQ(fields.autospawn, std::to_string(c.flagAfter));
    EXPECT_EQ(fields.cargo, c.cargoAfter);
    // A box leaves the mill only through Shift+C or to make room for a new one.
    EXPECT_EQ(w.EventsOf("created", "KVTOre01").size(), c.boxAboard && c.result == 1 ? 1u : 0u);
    w.Frames(1);
    EXPECT_EQ(w.HudLineAt(ReleaseRow768), c.releaseLine);
    EXPECT_EQ(w.HudLineAt(MillRow768), c.millLine);
  }
}

TEST(MillKeys, TheReleaseKeyDoesNotWaitForTheTenSeconds) {
  MillWorld w;
  w.sim().setFrameLength(1.0);
  ASSERT_TRUE(w.Start({"OreTankLevel 8000"}));
  EXPECT_EQ(w.Key(OAPI_KEY_7), 1);
  w.Frames(3);
  EXPECT_EQ(w.Key(OAPI_KEY_C, Shift), 1);
  EXPECT_EQ(w.EventsOf("created", "KVTOre01").size(), 1u);
  // The second box still waits its ten seconds from its own production.
  EXPECT_EQ(w.Key(OAPI_KEY_7), 1);
  w.Frames(9);
  EXPECT_TRUE(w.EventsOf("created", "KVTOre02").empty());
  w.Frames(1);
  ASSERT_EQ(w.EventsOf("created", "KVTOre02").size(), 1u);
  EXPECT_EQ(w.EventsOf("created", "KVTOre02")[0].value("t", -1.0), 13.0);
  EXPECT_EQ(w.HudLineAt(ReleaseRow768), "Ore Cargo released");
}

// Production times: when the mill's mass rose by a box.
std::vector<double> ProductionTimes(const MillWorld &w) {
  std::vector<double> times;
  for (const nlohmann::json &e : w.EventsOf("mass", "Mill")) {
    if (e.value("empty_mass", 0.0) == 6000.0) times.push_back(e.value("t", -1.0));
  }
  return times;
}

TEST(MillKeys, SwitchedOnByKeyTheFirstProductionComesOneIntervalLater) {
  struct Case {
    double keyAt;  // s of simulation time
    double step;   // frame length after the key
    double producedAt;
  };
  // The interval is added to the time before truncating: from 1000.x s the
  // first production is due when the whole seconds reach 1300.
  const Case cases[] = {{1000.0, 0.25, 1300.0}, {1000.5, 0.25, 1300.0}, {1000.75, 0.5, 1300.25},
                        {1000.5, 1.0, 1300.5},  {1000.25, 2.0, 1300.25}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.keyAt);
    MillWorld w;
    w.sim().setFrameLength(10.0);
    ASSERT_TRUE(w.Start({"OreTankLevel 8000"}));
    w.RunUntil(1000);
    if (c.keyAt > 1000) {
      w.sim().setFrameLength(c.keyAt - 1000);
      w.Frames(1);
    }
    ASSERT_EQ(w.sim().simTime(), c.keyAt);
    EXPECT_EQ(w.Key(OAPI_KEY_4), 0);
    w.sim().setFrameLength(c.step);
    w.RunUntil(1302);
    EXPECT_EQ(ProductionTimes(w), std::vector<double>{c.producedAt});
  }
}

TEST(MillKeys, OnlyTheKeyReschedulesAnActivationKeepsTheSchedule) {
  struct Case {
    const char *what;
    bool onAgainByKey;  // else by the action area
    double producedAt;
  };
  // On by key at 0 s (due at 300 s), off by key at 100 s, on again at 200 s.
  const Case cases[] = {{"on again by key", true, 500}, {"on again by the area", false, 300}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    MillWorld w;
    w.sim().setFrameLength(1.0);
    ASSERT_TRUE(w.Start({"Status 3", "OreTankLevel 8000"}));
    EXPECT_EQ(w.Key(OAPI_KEY_4), 0);
    w.RunUntil(100);
    EXPECT_EQ(w.Key(OAPI_KEY_4), 0);
    w.RunUntil(200);
    if (c.onAgainByKey) {
      EXPECT_EQ(w.Key(OAPI_KEY_4), 0);
    } else {
      EXPECT_EQ(w.Activate(), 1);
    }
    w.RunUntil(600);
    EXPECT_EQ(ProductionTimes(w).at(0), c.producedAt);
  }
}

}  // namespace
