// More than a hundred rosters in one process: the airlock records run out
// at a hundred living vessels, and no roster ever acts through the record
// of another vessel or of a destroyed one.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "crew_world.h"

using namespace crew_test;

namespace {

struct HutWithRoster {
  std::string name;
  OBJHANDLE vessel = nullptr;
  std::unique_ptr<CrewRoster> roster;
};

void expectMillAirlock(OBJHANDLE vessel, int freeSeats, const std::string &who) {
  const PublishedAirlock airlock = readPublishedAirlock(vessel);
  EXPECT_EQ(airlock.points, 1) << who;
  EXPECT_EQ(airlock.box[0], -3) << who;
  EXPECT_EQ(airlock.aux, 0) << who;
  EXPECT_EQ(airlock.freeSeats, freeSeats) << who;
}

TEST(CrewProcess, TheHundredAndFirstRosterTakesOnlyAFreedRecord) {
  if (!InFreshProcess()) return;
  CrewWorld world;
  world.start();
  std::vector<HutWithRoster> huts(101);
  for (int i = 0; i < 101; ++i) {
    huts[i].name = "Hut" + std::to_string(i);
    huts[i].vessel = world.place(huts[i].name, "Hut", 10.0 * (i % 10), 10.0 * (i / 10) + 10);
    huts[i].roster = std::make_unique<CrewRoster>();
  }
  for (int i = 0; i < 100; ++i) setUpLikeMill(*huts[i].roster, huts[i].vessel, 1);
  EXPECT_EQ(CrewRoster::InstanceCount(), 99);

  // All hundred records serve living vessels.
  CrewRoster &late = *huts[100].roster;
  EXPECT_EQ(late.Init(huts[100].vessel), CREW_INIT_NO_AIRLOCK_RECORD);
  EXPECT_EQ(late.AirlockIndex(), -1);
  EXPECT_EQ(late.SetupFlags(), 0);
  EXPECT_EQ(late.DefineAirlock(0, -3, 3, 0, 4, -7, 7), 0);
  EXPECT_EQ(readPublishedAirlock(huts[100].vessel).points, 0);
  // Its vessel's crew is not read, but it is not lost either.
  char lateCrew[] = "UMMUCREW Eng-Bo-30-60-80";
  EXPECT_EQ(late.LoadStateLine(lateCrew), 0);
  EXPECT_EQ(savedBy(late), "  UMMUCREW Eng-Bo-30-60-80\n");

  // The hundredth still publishes on its own vessel only.
  char line[] = "UMMUCREW Doc-Ann-42-65-70";
  ASSERT_EQ(huts[99].roster->LoadStateLine(line), 1);
  expectMillAirlock(huts[99].vessel, 0, "the hundredth");
  EXPECT_EQ(readPublishedAirlock(huts[100].vessel).points, 0);

  // A destroyed vessel's record goes to the next roster.
  huts[50].roster.reset();
  ASSERT_TRUE(world.remove(huts[50].name));
  setUpLikeMill(late, huts[100].vessel, 1);
  EXPECT_EQ(late.AirlockIndex(), 50);
  expectMillAirlock(huts[100].vessel, 1, "the late one");
  EXPECT_EQ(CrewRoster::InstanceCount(), 99);

  for (int i = 0; i < 101; ++i)
    if (i != 50) expectMillAirlock(huts[i].vessel, i == 99 ? 0 : 1, huts[i].name);
}

TEST(CrewProcess, RostersComingAndGoingKeepToTheirOwnVessels) {
  if (!InFreshProcess()) return;
  CrewWorld world;
  world.start();
  // Ninety vessels stay; three hundred more come and go one after another,
  // each with an airlock of its own size so a mix-up shows.
  std::vector<HutWithRoster> staying(90);
  for (int i = 0; i < 90; ++i) {
    staying[i].name = "Stay" + std::to_string(i);
    staying[i].vessel = world.place(staying[i].name, "Hut", 10.0 * (i % 10), 10.0 * (i / 10) + 10);
    staying[i].roster = std::make_unique<CrewRoster>();
    setUpLikeMill(*staying[i].roster, staying[i].vessel, 1);
  }
  for (int i = 0; i < 300; ++i) {
    const std::string name = "Visitor" + std::to_string(i);
    OBJHANDLE vessel = world.place(name, "Hut", -20, 5.0 * (i % 20));
    auto roster = std::make_unique<CrewRoster>();
    ASSERT_EQ(roster->Init(vessel), 1) << name;
    ASSERT_EQ(roster->DefineAirlock(0, -1.0f - i, 1, 0, 4, -7, 7), 1) << name;
    ASSERT_EQ(roster->SetMaxSeats(2), 1) << name;
    const PublishedAirlock airlock = readPublishedAirlock(vessel);
    EXPECT_EQ(airlock.points, 1) << name;
    EXPECT_EQ(airlock.box[0], -1.0 - i) << name;
    EXPECT_EQ(airlock.freeSeats, 2) << name;
    roster.reset();
    ASSERT_TRUE(world.remove(name));
  }
  for (const HutWithRoster &hut : staying) expectMillAirlock(hut.vessel, 1, hut.name);
}

// The same through vessels that carry their roster, as the ore mill does:
// deleting the vessel destroys the roster with it.
TEST(CrewProcess, MoreThanAHundredProbeVesselsCreatedAndDeleted) {
  if (!InFreshProcess()) return;
  CrewWorld world;
  world.start();
  std::vector<std::string> alive;
  for (int i = 0; i < 99; ++i) {
    alive.push_back("Probe" + std::to_string(i));
    world.place(alive.back(), "CrewProbe", 10.0 * (i % 10), 10.0 * (i / 10) + 10);
  }
  for (int i = 0; i < 150; ++i) {
    const std::string name = "Passing" + std::to_string(i);
    OBJHANDLE probe = world.place(name, "CrewProbe", -20, 5.0 * (i % 20));
    ASSERT_NE(probe, nullptr);
    const CrewProbeState state = world.probeState(probe);
    EXPECT_EQ(state.initResult, 1) << name;
    EXPECT_EQ(state.setupFlags, 3) << name;
    expectMillAirlock(probe, 1, name);
    ASSERT_TRUE(world.remove(name));
  }
  EXPECT_EQ(world.probeState(world.vessel("Probe0")).instanceCount, 99);

  // A hundred living probes take every record; the next one is refused and
  // publishes nothing, and takes a record as soon as one is freed.
  world.place("Hundredth", "CrewProbe", -40, 0);
  OBJHANDLE extra = world.place("Extra", "CrewProbe", -40, 20);
  EXPECT_EQ(world.probeState(extra).initResult, CREW_INIT_NO_AIRLOCK_RECORD);
  EXPECT_EQ(readPublishedAirlock(extra).points, 0);
  EXPECT_EQ(world.probeState(extra).liveProbes, 101);
  ASSERT_TRUE(world.remove("Extra"));
  ASSERT_TRUE(world.remove("Probe7"));
  OBJHANDLE next = world.place("Next", "CrewProbe", -40, 40);
  EXPECT_EQ(world.probeState(next).initResult, 1);
  EXPECT_EQ(world.probeState(next).airlockIndex, 7);
  expectMillAirlock(next, 1, "Next");
  for (int i = 0; i < 99; ++i)
    if (i != 7) expectMillAirlock(world.vessel(alive[i]), 1, alive[i]);
}

}  // namespace
