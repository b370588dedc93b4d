// The mill's HUD lines: what a post leaves in the line, and how long it is
// shown.
#include <gtest/gtest.h>

#include <string>

#include "hud_message.h"

namespace {

struct PostCase {
  const char *what;
  std::string text;
  double tankLevel;
  std::string shown;
};

const std::string Long300(300, 'x');
const std::string Long255(255, 'x');
const std::string Long250(250, 'x');

class HudMessagePost : public ::testing::TestWithParam<PostCase> {};

TEST_P(HudMessagePost, LeavesTheTextCutToCapacityAndShowsItFor15Seconds) {
  const PostCase &c = GetParam();
  HudMessage line;
  line.Post(c.text.c_str(), c.tankLevel);
  EXPECT_EQ(std::string(line.Text()), c.shown);
  EXPECT_EQ(line.Countdown(), 15.0);
  EXPECT_TRUE(line.IsShown());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HudMessagePost,
    ::testing::Values(
        PostCase{"plain", "Ore cargo produced.", 0.0, "Ore cargo produced."},
        PostCase{"tank level", "Status: Autoprocessing enabled. Rock tank at %.0fkg", 8000.4,
                 "Status: Autoprocessing enabled. Rock tank at 8000kg"},
        PostCase{"level rounded up", "Rock tank at %.0fkg", 2500.6, "Rock tank at 2501kg"},
        PostCase{"empty", "", 0.0, ""},
        PostCase{"too long", Long300, 0.0, Long255},
        PostCase{"exactly full", Long255, 0.0, Long255},
        PostCase{"level cut at capacity", Long250 + "%.0f", 123456789.0, Long250 + "12345"},
        PostCase{"conversion beyond capacity", Long300 + "%.0f", 7.0, Long255},
        // Any other conversion is text: nothing reads an argument that was
        // never passed.
        PostCase{"foreign conversions", "%s%n%d at 100%", 5.0, "%s%n%d at 100%"},
        PostCase{"foreign before level", "%s then %.0f", 42.0, "%s then 42"},
        PostCase{"second level", "%.0f/%.0f", 7.0, "7/%.0f"}),
    [](const ::testing::TestParamInfo<PostCase> &info) {
      std::string name;
      for (const char *p = info.param.what; *p; ++p) name += (*p == ' ') ? '_' : *p;
      return name;
    });

TEST(HudMessage, NullTextPostsAnEmptyLine) {
  HudMessage line;
  line.Post("Autoprocessing enabled");
  line.Post(nullptr);
  EXPECT_STREQ(line.Text(), "");
  EXPECT_EQ(line.Countdown(), 15.0);
}

TEST(HudMessage, RepostingItsOwnTextKeepsIt) {
  HudMessage line;
  line.Post("Rock tank at %.0fkg", 4000.0);
  line.Post(line.Text());
  EXPECT_STREQ(line.Text(), "Rock tank at 4000kg");
}

struct CountdownCase {
  const char *what;
  double steps[3];
  double left;
  bool shown;
};

class HudMessageCountdown : public ::testing::TestWithParam<CountdownCase> {};

TEST_P(HudMessageCountdown, FallsBySimulationStepsAndStopsAtZero) {
  const CountdownCase &c = GetParam();
  HudMessage line;
  line.Post("Ore cargo released.");
  for (double step : c.steps) line.Elapse(step);
  EXPECT_EQ(line.Countdown(), c.left);
  EXPECT_EQ(line.IsShown(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Steps, HudMessageCountdown,
                         ::testing::Values(CountdownCase{"not drawn", {0.0, 0.0, 0.0}, 15.0, true},
                                           CountdownCase{"partly", {1.0, 2.0, 4.0}, 8.0, true},
                                           CountdownCase{"exactly zero", {5.0, 5.0, 5.0}, 0.0, false},
                                           CountdownCase{"past zero", {10.0, 10.0, 0.0}, 0.0, false},
                                           CountdownCase{"time warp", {14.5, 0.0, 0.0}, 0.5, true}));

TEST(HudMessage, PostAfterExpiryShowsAgainForTheFullTime) {
  HudMessage line;
  line.Post("Not enough ore processed.");
  line.Elapse(20.0);
  line.Post("Not enough ore processed.");
  EXPECT_EQ(line.Countdown(), 15.0);
  EXPECT_TRUE(line.IsShown());
}

TEST(HudMessage, ClearHidesAndEmptiesTheLine) {
  HudMessage line;
  line.Post("No free cargo slots.");
  line.Clear();
  EXPECT_STREQ(line.Text(), "");
  EXPECT_FALSE(line.IsShown());
}

}  // namespace
