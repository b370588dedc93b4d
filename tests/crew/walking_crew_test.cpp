// The walking crew of the stand-in crew module, driven through simhost,
// reaching a roster's polls and reading its published airlock.
#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <cstring>

#include "crew_world.h"
#include "ummu/ummu_exports.h"

using namespace crew_test;

namespace {

class WalkingCrew : public testing::Test {
protected:
  void SetUp() override {
    world.start();
    ActionStructure *table = world.actionTable();
    ASSERT_NE(table, nullptr);
    std::memset(static_cast<void *>(table), 0, sizeof *table);
    base = world.vessel("Base");
    setUpLikeMill(roster, base, 1);
    ASSERT_EQ(roster.DeclareActionArea(1, _V(5, 0, 2.2), 5, 1, "action_clickOk.wav", nullptr), 1);
  }

  // Puts the crew member out at (x, y, z) of Base and activates.
  void activateFrom(double x, double y, double z) {
    std::string error;
    ASSERT_TRUE(simhost::crewEva(*world.sim, "Base", x, y, z, error)) << error;
    ASSERT_TRUE(simhost::crewActivate(*world.sim, "Base", error)) << error;
  }

  nlohmann::json lastActivation() const {
    auto found = world.eventsOf("activate");
    return found.empty() ? nlohmann::json() : found.back();
  }

  CrewWorld world;
  OBJHANDLE base = nullptr;
  CrewRoster roster;
};

struct ReachCase {
  const char *name;
  double x, y, z;
  bool reached;
};

void PrintTo(const ReachCase &c, std::ostream *os) { *os << c.name; }

class WalkingCrewReach : public WalkingCrew, public testing::WithParamInterface<ReachCase> {};

TEST_P(WalkingCrewReach, ActivatesOnlyWithinTheAreasRadius) {
  const ReachCase &c = GetParam();
  activateFrom(c.x, c.y, c.z);
  const nlohmann::json event = lastActivation();
  EXPECT_EQ(event.value("vessel", ""), "Base");
  if (c.reached) {
    EXPECT_EQ(event.value("id", -1), 1);
    EXPECT_FALSE(event.contains("miss"));
    EXPECT_EQ(roster.PollActionArea(), 1);
  } else {
    EXPECT_EQ(event.value("miss", false), true);
    EXPECT_FALSE(event.contains("id"));
  }
  EXPECT_EQ(roster.PollActionArea(), -1);
}

INSTANTIATE_TEST_SUITE_P(Crew, WalkingCrewReach,
                         testing::Values(ReachCase{"AtTheCentre", 5, 0, 2.2, true},
                                         ReachCase{"Inside", 5, 1, 6, true},
                                         ReachCase{"OnTheSphere", 5, 0, 7.2, true},
                                         ReachCase{"JustOutside", 5, 0, 7.3, false},
                                         ReachCase{"FarAway", -40, 0, 0, false},
                                         ReachCase{"AtTheAirlock", 0, 1, 0, false}),
                         [](const testing::TestParamInfo<ReachCase> &info) { return std::string(info.param.name); });

TEST_F(WalkingCrew, ADisabledAreaIsOutOfReach) {
  ASSERT_EQ(roster.SetActionAreaEnabled(1, 0), 1);
  activateFrom(5, 0, 2.2);
  EXPECT_TRUE(lastActivation().value("miss", false));
  EXPECT_EQ(roster.PollActionArea(), -1);
}

TEST_F(WalkingCrew, TheNearestAreaInReachWins) {
  ASSERT_EQ(roster.DeclareActionArea(2, _V(5, 0, 6), 3, 1, "a.wav", nullptr), 1);
  activateFrom(5, 0, 5);
  EXPECT_EQ(lastActivation().value("id", -1), 2);
  EXPECT_EQ(roster.PollActionArea(), 2);
  activateFrom(5, 0, 3);
  EXPECT_EQ(roster.PollActionArea(), 1);
}

TEST_F(WalkingCrew, AnotherVesselsAreasAreNotInItsFrame) {
  OBJHANDLE hut = world.place("Hut", "Hut", 30, 0);
  CrewRoster other;
  setUpLikeMill(other, hut, 1);
  ASSERT_EQ(other.DeclareActionArea(7, _V(0, 0, 0), 2, 1, "a.wav", nullptr), 1);

  std::string error;
  ASSERT_TRUE(simhost::crewEva(*world.sim, "Hut", 0, 0, 1, error)) << error;
  ASSERT_TRUE(simhost::crewActivate(*world.sim, "Hut", error)) << error;
  EXPECT_EQ(roster.PollActionArea(), -1) << "Base leaves Hut's event";
  EXPECT_EQ(other.PollActionArea(), 7);
}

TEST_F(WalkingCrew, ActivatingWithNobodyOutsideMisses) {
  std::string error;
  ASSERT_TRUE(simhost::crewActivate(*world.sim, "Base", error)) << error;
  EXPECT_TRUE(lastActivation().value("miss", false));
  EXPECT_EQ(roster.PollActionArea(), -1);
}

TEST_F(WalkingCrew, UnknownVesselsAreRefused) {
  std::string error;
  EXPECT_FALSE(simhost::crewEva(*world.sim, "Nobody", 0, 0, 0, error));
  EXPECT_NE(error.find("Nobody"), std::string::npos) << error;
  error.clear();
  EXPECT_FALSE(simhost::crewActivate(*world.sim, "Nobody", error));
  EXPECT_NE(error.find("Nobody"), std::string::npos) << error;
  EXPECT_FALSE(simhost::crewEva(*world.sim, "Base", NAN, 0, 0, error));
}

TEST_F(WalkingCrew, EvaIsReported) {
  activateFrom(1.7, 1.2, -0.2);
  auto evas = world.eventsOf("eva");
  ASSERT_EQ(evas.size(), 1u);
  EXPECT_EQ(evas[0]["vessel"], "Base");
  EXPECT_EQ(evas[0]["pos"], nlohmann::json({1.7, 1.2, -0.2}));
}

TEST_F(WalkingCrew, TheAirlockIsReportedAsPublished) {
  std::string error;
  ASSERT_TRUE(simhost::crewAirlock(*world.sim, "Base", error)) << error;
  auto airlocks = world.eventsOf("airlock");
  ASSERT_EQ(airlocks.size(), 1u);
  EXPECT_EQ(airlocks[0]["vessel"], "Base");
  EXPECT_EQ(airlocks[0]["box"], nlohmann::json({-3.0, 3.0, 0.0, 4.0, -7.0, 7.0}));
  EXPECT_EQ(airlocks[0]["door"], 0);
  EXPECT_EQ(airlocks[0]["aux"], 0);
  EXPECT_EQ(airlocks[0]["free_seats"], 1);

  OBJHANDLE hut = world.place("Hut", "Hut", 30, 0);
  ASSERT_NE(hut, nullptr);
  EXPECT_FALSE(simhost::crewAirlock(*world.sim, "Hut", error)) << "Hut publishes none";
}

TEST_F(WalkingCrew, TheWatchReportsAirlocksWhenTheyAppearOrChange) {
  simhost::CrewAirlockWatch watch;
  watch.reportChanges(*world.sim);
  EXPECT_EQ(world.eventsOf("airlock").size(), 1u);
  watch.reportChanges(*world.sim);
  EXPECT_EQ(world.eventsOf("airlock").size(), 1u) << "nothing changed";

  char line[] = "UMMUCREW Doc-Ann-42-65-70";
  ASSERT_EQ(roster.LoadStateLine(line), 1);
  watch.reportChanges(*world.sim);
  auto airlocks = world.eventsOf("airlock");
  ASSERT_EQ(airlocks.size(), 2u);
  EXPECT_EQ(airlocks[1]["free_seats"], 0);
}

// The crew module's own answer to "is anybody outside this handle?", bound
// while the tree is running; the module stays loaded for the process.
UMmuCrewOutsideFunc bindCrewOutside() {
  HMODULE module = LoadLibraryA("Modules\\UMmu.dll");
  FARPROC address = module ? GetProcAddress(module, "UMmuCrewOutside") : nullptr;
  return address ? reinterpret_cast<UMmuCrewOutsideFunc>(reinterpret_cast<void (*)()>(address)) : nullptr;
}

// A handle outlives its vessel as a number: a vessel made later may get it,
// and must not find the old vessel's crew member waiting outside.
TEST_F(WalkingCrew, TheCrewOutsideIsGoneWithItsVessel) {
  UMmuCrewOutsideFunc crewOutside = bindCrewOutside();
  ASSERT_NE(crewOutside, nullptr);
  OBJHANDLE hut = world.place("Hut", "Hut", 30, 0);
  std::string error;
  ASSERT_TRUE(simhost::crewEva(*world.sim, "Hut", 1, 0, 2, error)) << error;
  ASSERT_TRUE(simhost::crewEva(*world.sim, "Base", 5, 0, 2.2, error)) << error;
  double position[3] = {};
  ASSERT_EQ(crewOutside(hut, position), 1);
  EXPECT_EQ(position[2], 2.0);

  ASSERT_TRUE(world.remove("Hut"));
  EXPECT_EQ(crewOutside(hut, nullptr), 0) << "deleted in the run";
  EXPECT_EQ(crewOutside(base, nullptr), 1) << "another vessel's crew stays out";

  world.sim.reset();
  EXPECT_EQ(crewOutside(base, nullptr), 0) << "every vessel goes when the run ends";
}

// Through a vessel's own steps: the probe polls area 1 every step.
TEST(WalkingCrewProbe, AnActivationReachesTheVesselsNextPollOnce) {
  CrewWorld world;
  world.start();
  OBJHANDLE probe = world.place("Probe", "CrewProbe", 20, 0);
  ASSERT_NE(probe, nullptr);
  ASSERT_EQ(world.probeState(probe).setupFlags, 3);

  std::string error;
  ASSERT_TRUE(simhost::crewEva(*world.sim, "Probe", 8, 0, 2, error)) << error;
  ASSERT_TRUE(simhost::crewActivate(*world.sim, "Probe", error)) << error;
  world.sim->frame();
  CrewProbeState state = world.probeState(probe);
  EXPECT_EQ(state.activations, 1);
  EXPECT_EQ(state.lastActivatedId, 1);
  world.sim->frame();
  EXPECT_EQ(world.probeState(probe).activations, 1) << "taken once";

  ASSERT_TRUE(simhost::crewEva(*world.sim, "Probe", 20, 0, 2, error)) << error;
  ASSERT_TRUE(simhost::crewActivate(*world.sim, "Probe", error)) << error;
  world.sim->frame();
  EXPECT_EQ(world.probeState(probe).activations, 1) << "out of reach";
}

}  // namespace
