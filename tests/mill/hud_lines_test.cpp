// The mill's three HUD lines as the host draws them: their texts, their rows
// (a sixtieth of the HUD's height, whole pixels, times 12, 18 and 21), and
// the 15 s of simulation time each stays up, counted only while drawn.
#include <gtest/gtest.h>

#include <string>

#include "mill_world.h"

namespace {

using millworld::MillWorld;

const int MillRow768 = 216;  // the mill's line on the default 768 px HUD

TEST(MillHudLines, TheThreeLinesAreDrawnInOrderAtTheirRows) {
  struct Case {
    int height;
    int release, mill, status;
  };
  const Case cases[] = {{600, 120, 180, 210}, {768, 144, 216, 252}, {59, 0, 0, 0},
                        {60, 12, 18, 21},     {119, 12, 18, 21},    {120, 24, 36, 42}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.height);
    MillWorld w;
    w.sim().setHudSize(1024, c.height);
    ASSERT_TRUE(w.Start({"Status 3"}));
    // Something for each line: the release key with nothing aboard, key 7
    // with an empty tank, and the finished mill's status.
    EXPECT_EQ(w.Key(OAPI_KEY_C, simhost::Simulation::LeftShift), 1);
    EXPECT_EQ(w.Key(OAPI_KEY_7), 1);
    w.Frames(1);
    const auto &hud = w.Hud();
    ASSERT_EQ(hud.size(), 3u);
    EXPECT_EQ(hud[0].text, "Cargo not released (empty slot, no cargo aboard?)");
    EXPECT_EQ(hud[1].text, "Not enough ore processed.");
    EXPECT_EQ(hud[2].text, "Status: Autoprocessing disabled. Rock tank at 0kg");
    EXPECT_EQ(hud[0].y, c.release);
    EXPECT_EQ(hud[1].y, c.mill);
    EXPECT_EQ(hud[2].y, c.status);
    for (const auto &line : hud) EXPECT_EQ(line.x, 5);
  }
}

// Frames in a row, from the next one, in which the mill's line is drawn.
int FramesShowingTheMillLine(MillWorld &w, int limit = 200) {
  int shown = 0;
  for (int i = 0; i < limit; ++i) {
    w.Frames(1);
    if (w.HudLineAt(MillRow768).empty()) break;
    ++shown;
  }
  return shown;
}

TEST(MillHudLines, ALineStaysUpFor15SecondsOfSimulationTimeAtAnyAcceleration) {
  struct Case {
    double frameLength, warp;
    int framesShown;  // 15 s / step, rounded up; exactly 0 left is not drawn
  };
  const Case cases[] = {{1.0, 1, 15},  {0.5, 1, 30},  {0.25, 4, 15}, {0.1, 10, 15},
                        {0.5, 8, 4},   {0.1, 100, 2}, {1.0, 15, 1},  {0.5, 60, 1}};
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.frameLength << " s x " << c.warp);
    MillWorld w;
    w.sim().setFrameLength(c.frameLength);
    w.sim().setWarp(c.warp);
    ASSERT_TRUE(w.Start({}));
    EXPECT_EQ(w.Key(OAPI_KEY_7), 1);
    EXPECT_EQ(FramesShowingTheMillLine(w), c.framesShown);
  }
}

TEST(MillHudLines, ALineKeepsItsTimeWhileTheHudIsOffOrTheSimulationPaused) {
  struct Case {
    const char *what;
    bool postWhileInterrupted;
    int shownBefore;  // frames drawn after the post before the interruption
    bool hide;        // else pause
    int interrupted;  // frames
    int shownAfter;
  };
  const Case cases[] = {
      {"posted while the HUD is off", true, 0, true, 40, 15},
      {"HUD off after 5 s", false, 5, true, 30, 10},
      {"HUD off after 14 s", false, 14, true, 100, 1},
      {"paused after 5 s", false, 5, false, 30, 10},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    MillWorld w;
    w.sim().setFrameLength(1.0);
    ASSERT_TRUE(w.Start({}));
    if (!c.postWhileInterrupted) {
      EXPECT_EQ(w.Key(OAPI_KEY_7), 1);
      w.Frames(c.shownBefore);
      ASSERT_EQ(w.HudLineAt(MillRow768), "Not enough ore processed.");
    }
    if (c.hide) {
      w.sim().setHudVisible(false);
    } else {
      w.sim().setPaused(true);
    }
    if (c.postWhileInterrupted) {
      EXPECT_EQ(w.Key(OAPI_KEY_7), 1);
    }
    for (int i = 0; i < c.interrupted; ++i) {
      w.Frames(1);
      // Paused, the line is drawn but does not count down.
      ASSERT_EQ(w.HudLineAt(MillRow768), c.hide ? "" : "Not enough ore processed.");
    }
    w.sim().setHudVisible(true);
    w.sim().setPaused(false);
    EXPECT_EQ(FramesShowingTheMillLine(w), c.shownAfter);
  }
}

TEST(MillHudLines, APostRestartsTheLinesFull15Seconds) {
  MillWorld w;
  w.sim().setFrameLength(1.0);
  ASSERT_TRUE(w.Start({}));
  EXPECT_EQ(w.Key(OAPI_KEY_7), 1);
  w.Frames(10);
  EXPECT_EQ(w.Key(OAPI_KEY_4), 0);
  w.Frames(1);
  EXPECT_EQ(w.HudLineAt(MillRow768), "Autoprocessing enabled");
  EXPECT_EQ(FramesShowingTheMillLine(w), 14);
}

}  // namespace
