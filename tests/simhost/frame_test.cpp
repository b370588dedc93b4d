// The frame loop: simulation and system time, pause and warp, the steps of
// module vessels, the HUD drawn into the recording surface, the debug text
// and buffered keys, each reported when it changes.
#include <cstring>

#include "Orbitersdk.h"
#include "sim_tree.h"
#include "host_extras.h"

using simtest::SimTree;

namespace {

class Frames : public ::testing::Test {
protected:
  void SetUp() override {
    tree.addProbe();
    tree.addPassiveClass("Crate");
    tree.write("Scenarios/a.scn", simtest::scenario(simtest::landedShip("P", "Probe", 0, 0, 0) +
                                                    simtest::landedShip("C", "Crate", 0.001, 0, 0)));
    std::string error;
    ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/a.scn"), error)) << error;
    log.attach(sim);
  }
  void press(DWORD key, bool shift = false, bool ctrl = false) {
    std::string error;
    ASSERT_TRUE(sim.pressKey(key, shift, ctrl, error)) << error;
  }
  SimTree tree;
  simhost::Simulation sim{tree.root()};
  simtest::EventLog log;
};

TEST_F(Frames, TimeRunsWithWarpAndStopsWhilePaused) {
  simtest::clearProbeLog(tree);
  sim.frame();
  EXPECT_DOUBLE_EQ(oapiGetSimTime(), 0.1);
  EXPECT_DOUBLE_EQ(oapiGetSimStep(), 0.1);
  EXPECT_DOUBLE_EQ(oapiGetSysTime(), 0.1);
  EXPECT_EQ(simtest::probeLog(tree), "first poststep P 1\n");
  sim.setWarp(10);
  sim.frame();
  EXPECT_DOUBLE_EQ(oapiGetSimStep(), 1.0);
  EXPECT_DOUBLE_EQ(oapiGetTimeAcceleration(), 10);
  EXPECT_NEAR(oapiGetSimTime(), 1.1, 1e-12);
  EXPECT_NEAR(oapiGetSimMJD(), 60000.25 + 1.1 / 86400, 1e-12);
  sim.setPaused(true);
  sim.frame();
  EXPECT_DOUBLE_EQ(oapiGetSimStep(), 0.0);
  EXPECT_NEAR(oapiGetSimTime(), 1.1, 1e-12);
  EXPECT_NEAR(oapiGetSysTime(), 0.3, 1e-12);
  EXPECT_DOUBLE_EQ(oapiGetSysStep(), 0.1);
  sim.setFrameLength(0.5);
  sim.setPaused(false);
  sim.frame();
  EXPECT_NEAR(oapiGetSimTime(), 6.1, 1e-12);
  EXPECT_NEAR(sim.sysTime(), 0.8, 1e-12);
}

// Frame n of a steady step is at n x step exactly, not at a drifting sum,
// also after the step changed, and a step made of a decimal frame length
// and acceleration (0.7 s at 3x) lands on the decimal times it adds up to:
// whole-second timers must fire neither early nor late.
TEST_F(Frames, TimeAtASteadyStepIsTheFrameCountTimesTheStep) {
  const struct {
    double frameLength, warp;
    int frames;
    double simt;
  } steps[] = {{0.1, 1, 3, 0.3},   {0.1, 1, 137, 14.0}, {0.1, 1, 98, 23.8}, {0.02, 5, 50, 28.8},
               {0.1, 1, 2, 29.0},  {0.7, 3, 10, 50.0},  {0.7, 1, 90, 113.0}, {0.3, 3, 30, 140.0},
               {0.1, 0.1, 7, 140.07}, {0.1, 1000, 3, 440.07}, {0.1, 1, 1, 440.17}};
  for (const auto &s : steps) {
    sim.setFrameLength(s.frameLength);
    sim.setWarp(s.warp);
    for (int i = 0; i < s.frames; ++i) sim.frame();
    EXPECT_EQ(sim.simTime(), s.simt) << s.frameLength << " s at " << s.warp << "x";
  }
  EXPECT_EQ(sim.sysTime(), 105.1);
}

TEST_F(Frames, HudIsRecordedAndReportedWhenItChanges) {
  sim.setHudSize(600, 600);
  sim.frame();
  EXPECT_TRUE(log.of("hud").empty());  // nothing drawn, nothing before
  press(OAPI_KEY_C);
  sim.frame();
  sim.frame();  // the same drawing again: no new event
  auto hud = log.of("hud");
  ASSERT_EQ(hud.size(), 1u);
  ASSERT_EQ(hud[0]["lines"].size(), 1u);
  EXPECT_EQ(hud[0]["lines"][0]["text"], "probe on");
  EXPECT_EQ(hud[0]["lines"][0]["x"], 5);
  EXPECT_EQ(hud[0]["lines"][0]["y"], 120);
  ASSERT_EQ(sim.hud().size(), 1u);
  EXPECT_EQ(sim.hud()[0].text, "probe on");
  sim.setHudVisible(false);
  sim.frame();
  hud = log.of("hud");
  ASSERT_EQ(hud.size(), 2u);
  EXPECT_TRUE(hud[1]["lines"].empty());  // became empty
  EXPECT_TRUE(sim.hud().empty());
}

TEST_F(Frames, TextOutOnlyDrawsIntoTheOpenSurface) {
  HDC stray = reinterpret_cast<HDC>(&sim);
  EXPECT_EQ(TextOutA(nullptr, 0, 0, "x", 1), FALSE);
  EXPECT_EQ(TextOutA(stray, 0, 0, "x", 1), FALSE);
  sim.frame();
  EXPECT_TRUE(log.of("hud").empty());
}

TEST_F(Frames, DebugTextIsReportedWhenItChanges) {
  press(OAPI_KEY_7);
  sim.frame();
  sim.frame();
  std::snprintf(oapiDebugString(), DEBUG_STRING_CAPACITY, "%s", "");
  sim.frame();
  auto debug = log.of("debug");
  ASSERT_EQ(debug.size(), 2u);
  EXPECT_EQ(debug[0]["text"], "seven");
  EXPECT_EQ(debug[1]["text"], "");
  // A writer that fills the whole buffer without a terminator is read to
  // the buffer's end only.
  std::memset(oapiDebugString(), 'a', DEBUG_STRING_CAPACITY);
  EXPECT_EQ(sim.debugText().size(), static_cast<size_t>(DEBUG_STRING_CAPACITY));
}

TEST_F(Frames, KeysReachTheFocusVessel) {
  std::string error;
  simtest::clearProbeLog(tree);
  press(OAPI_KEY_C, true, false);
  press(OAPI_KEY_7, false, true);
  ASSERT_TRUE(sim.pressKey(OAPI_KEY_C, simhost::Simulation::RightShift | simhost::Simulation::RightCtrl, error));
  EXPECT_EQ(simtest::probeLog(tree), "key 46 down shift\nkey 46 up shift\nkey 8 down ctrl\nkey 8 up ctrl\n"
                                     "key 46 down shift ctrl\nkey 46 up shift ctrl\n");
  auto keys = log.of("key");
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[2]["name"], "rshift+rctrl+C");
  EXPECT_EQ(keys[2]["rshift"], true);
  EXPECT_EQ(keys[0]["up_result"], 0);
  EXPECT_EQ(keys[0]["name"], "shift+C");
  EXPECT_EQ(keys[0]["code"], 0x2E);
  EXPECT_EQ(keys[0]["shift"], true);
  EXPECT_EQ(keys[0]["ctrl"], false);
  EXPECT_EQ(keys[0]["result"], 1);
  EXPECT_EQ(keys[1]["name"], "ctrl+7");
  EXPECT_EQ(keys[1]["result"], 0);
  EXPECT_FALSE(sim.pressKey(300, false, false, error));
  // A passive vessel in focus takes no keys.
  ASSERT_TRUE(sim.setFocus("C", error));
  press(OAPI_KEY_C);
  EXPECT_EQ(log.of("key").back()["result"], 0);
  EXPECT_FALSE(sim.setFocus("Nobody", error));
}

TEST_F(Frames, AVesselMayDeleteItselfInItsCallback) {
  simtest::clearProbeLog(tree);
  press(OAPI_KEY_D);
  EXPECT_EQ(oapiGetVesselCount(), 1u);
  EXPECT_NE(simtest::probeLog(tree).find("key 32 down\nexit P\n"), std::string::npos) << simtest::probeLog(tree);
  sim.frame();
  auto deleted = log.of("deleted");
  ASSERT_EQ(deleted.size(), 1u);
  EXPECT_EQ(deleted[0]["name"], "P");
}

TEST_F(Frames, RandomNumbersRepeatFromRunToRun) {
  double first[3] = {oapiRand(), oapiRand(), oapiRand()};
  for (double d : first) {
    EXPECT_GE(d, 0.0);
    EXPECT_LE(d, 1.0);
  }
  SimTree other;
  simhost::Simulation again(other.root());
  for (double d : first) EXPECT_EQ(oapiRand(), d);
}

}  // namespace
