// The crew advisory in the debug text, over host system time.
#include <gtest/gtest.h>

#include <ostream>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "crew_world.h"
#include "host_extras.h"

using namespace crew_test;

namespace {

const char DisplayName[] = "KVT Duz Ovov MkI";
const std::string Download =
    "KVT Duz Ovov MkI require \"Universal MMU\" ver 2.0 or higher. Download at your Orbiter add-on repository ";
const std::string SetUpError = "KVT Duz Ovov MkI ERROR UMMU 2.0 not properly initialised in your code.";

void setDebug(const char *text) { std::snprintf(oapiDebugString(), DEBUG_STRING_CAPACITY, "%s", text); }

// Runs frames of a quarter second up to 22 s of system time and keeps what
// the advisory wrote at each, by time in quarter seconds. Before each call
// the debug text is set to "-", so an untouched line reads "-".
std::map<int, std::string> runAdvisory(CrewWorld &world, CrewRoster &roster) {
  std::map<int, std::string> shown;
  while (world.sim->sysTime() < 22.0) {
    world.sim->frame();
    setDebug("-");
    roster.UpdateAdvisory(DisplayName);
    shown[static_cast<int>(world.sim->sysTime() * 4 + 0.5)] = oapiDebugString();
  }
  return shown;
}

int quarter(double seconds) { return static_cast<int>(seconds * 4 + 0.5); }

TEST(CrewProcess, OldCrewModuleAdvisoryCountsDownAndEnds) {
  if (!InFreshProcess()) return;
  CrewWorld world({.version = "1.5\n"});
  world.start();
  world.sim->setFrameLength(0.25);
  ASSERT_EQ(world.sim->sysTime(), 0.0);
  CrewRoster roster;
  setUpLikeMill(roster, world.vessel("Base"), 1);
  ASSERT_EQ(roster.AdvisoryDeadline(), 20.0);

  std::map<int, std::string> shown = runAdvisory(world, roster);
  const std::string outdated = "Your version of UMMU is outdated ";
  EXPECT_EQ(shown[quarter(0.25)], Download + "(20)");
  EXPECT_EQ(shown[quarter(9.75)], Download + "(10)");
  EXPECT_EQ(shown[quarter(10.0)], outdated + "(10)") << "the last 5 s of each 15 s cycle";
  EXPECT_EQ(shown[quarter(14.75)], outdated + "(5)");
  EXPECT_EQ(shown[quarter(15.0)], outdated + "(5)") << "the last 5 s blink";
  EXPECT_EQ(shown[quarter(15.5)], outdated + "(4)");
  EXPECT_EQ(shown[quarter(15.75)], "");
  EXPECT_EQ(shown[quarter(18.25)], outdated + "(2)");
  EXPECT_EQ(shown[quarter(19.75)], "");
  EXPECT_EQ(shown[quarter(20.0)], outdated + "(0)");
  EXPECT_EQ(shown[quarter(20.25)], "") << "cleared once at the end";
  EXPECT_EQ(roster.AdvisoryDeadline(), -1.0);
  EXPECT_EQ(shown[quarter(20.5)], "-") << "and never again";
  EXPECT_EQ(shown[quarter(21.75)], "-");
}

TEST(CrewAdvisory, FailedInitOfAReadyRosterShowsTheOtherTexts) {
  CrewWorld world;
  world.start();
  world.sim->setFrameLength(0.25);
  ASSERT_EQ(world.sim->sysTime(), 0.0);
  CrewRoster roster;
  setUpLikeMill(roster, world.vessel("Base"), 1);
  EXPECT_EQ(roster.AdvisoryDeadline(), 0.0);
  ASSERT_EQ(roster.Init(oapiGetObjectByName(const_cast<char *>("Moon"))), -1);
  EXPECT_EQ(roster.SetupFlags(), 3) << "a failed Init leaves the flags";

  std::map<int, std::string> shown = runAdvisory(world, roster);
  EXPECT_EQ(shown[quarter(5.0)], Download + "(15)");
  EXPECT_EQ(shown[quarter(12.0)], "UMMU 2.0 will push this addon one step further. (8)");
  EXPECT_EQ(shown[quarter(17.0)], "Don't Miss Universal MMU 2.0 for Orbiter (UMMU) (3)");
  EXPECT_EQ(shown[quarter(17.75)], "");
  EXPECT_EQ(shown[quarter(21.0)], "-");
}

TEST(CrewAdvisory, CurrentCrewModuleWritesNothing) {
  CrewWorld world;
  world.start();
  CrewRoster roster;
  setUpLikeMill(roster, world.vessel("Base"), 1);
  for (int i = 0; i < 30; ++i) {
    world.sim->frame();
    setDebug("cargo text");
    roster.UpdateAdvisory(DisplayName);
    ASSERT_STREQ(oapiDebugString(), "cargo text") << "frame " << i;
  }
}

struct SetUpCase {
  const char *name;
  TreeOptions tree;
  int steps;  // 0: no Init; 1: Init only; 2: Init and DefineAirlock
};

void PrintTo(const SetUpCase &c, std::ostream *os) { *os << c.name; }

class CrewAdvisorySetUpError : public testing::TestWithParam<SetUpCase> {};

TEST_P(CrewAdvisorySetUpError, ShowsEveryStepWhileTheRosterIsNotReady) {
  CrewWorld world(GetParam().tree);
  world.start();
  CrewRoster roster;
  if (GetParam().steps >= 1) roster.Init(world.vessel("Base"));
  if (GetParam().steps >= 2) roster.DefineAirlock(0, -3, 3, 0, 4, -7, 7);
  ASSERT_NE(roster.SetupFlags(), 3);
  for (int i = 0; i < 300; ++i) {
    world.sim->frame();
    setDebug("-");
    roster.UpdateAdvisory(DisplayName);
    ASSERT_EQ(std::string(oapiDebugString()), SetUpError) << "frame " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Crew, CrewAdvisorySetUpError,
                         testing::Values(SetUpCase{"NeverInitialised", {}, 0}, SetUpCase{"NoAirlock", {}, 1},
                                         SetUpCase{"NoCrewModule", {.crewModule = false}, 2}),
                         [](const testing::TestParamInfo<SetUpCase> &info) { return std::string(info.param.name); });

TEST(CrewAdvisory, AVesselWithoutTheCrewModuleShowsTheSetUpErrorInTheDebugLine) {
  CrewWorld world({.crewModule = false});
  world.start();
  OBJHANDLE probe = world.place("Probe", "CrewProbe", 15, 0);
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(world.probeState(probe).initResult, -999);
  world.sim->frame();
  EXPECT_EQ(world.sim->debugText(), "Crew Probe ERROR UMMU 2.0 not properly initialised in your code.");
}

}  // namespace
