// The published airlock and the stored EVA pose.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "airlock_record.h"
#include "crew_world.h"

using namespace crew_test;

namespace {

struct AirlockCase {
  const char *name;
  int door;
  float box[6];
  int expected;
};

void PrintTo(const AirlockCase &c, std::ostream *os) { *os << c.name; }

class AirlockDefinitions : public testing::TestWithParam<AirlockCase> {};

TEST_P(AirlockDefinitions, PublishOnlyValidBoxesAndDoorStates) {
  const AirlockCase &c = GetParam();
  CrewWorld world;
  world.start();
  CrewRoster roster;
  ASSERT_EQ(roster.Init(world.vessel("Base")), 1);

  EXPECT_EQ(roster.DefineAirlock(c.door, c.box[0], c.box[1], c.box[2], c.box[3], c.box[4], c.box[5]), c.expected);
  const PublishedAirlock airlock = readPublishedAirlock(world.vessel("Base"));
  if (c.expected == 0) {
    EXPECT_EQ(roster.SetupFlags(), 1);
    EXPECT_EQ(airlock.points, 0);
    return;
  }
  EXPECT_EQ(roster.SetupFlags(), 3);
  EXPECT_EQ(roster.DoorState(), c.door);
  ASSERT_EQ(airlock.points, 1);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(airlock.box[i], c.box[i]) << "bound " << i;
  EXPECT_EQ(airlock.door, c.door);
  EXPECT_EQ(airlock.aux, 1000);
  EXPECT_EQ(airlock.freeSeats, 8);
}

INSTANTIATE_TEST_SUITE_P(
    Crew, AirlockDefinitions,
    testing::Values(AirlockCase{"Mill", 0, {-3, 3, 0, 4, -7, 7}, 1},
                    AirlockCase{"DoorOpen", 1, {-3, 3, 0, 4, -7, 7}, 1},
                    AirlockCase{"DoorStateTwo", 2, {-3, 3, 0, 4, -7, 7}, 0},
                    AirlockCase{"DoorStateNegative", -1, {-3, 3, 0, 4, -7, 7}, 0},
                    AirlockCase{"XInverted", 0, {3, -3, 0, 4, -7, 7}, 0},
                    AirlockCase{"YInverted", 0, {-3, 3, 4, 0, -7, 7}, 0},
                    AirlockCase{"ZInverted", 0, {-3, 3, 0, 4, 7, -7}, 0},
                    AirlockCase{"FlatBox", 0, {1.5f, 1.5f, 2, 2, -0.5f, -0.5f}, 1}),
    [](const testing::TestParamInfo<AirlockCase> &info) { return std::string(info.param.name); });

TEST(CrewAirlock, NeedsAnInitFirst) {
  CrewWorld world;
  world.start();
  CrewRoster roster;
  EXPECT_EQ(roster.DefineAirlock(0, -3, 3, 0, 4, -7, 7), 0);
  EXPECT_EQ(roster.SetupFlags(), 0);
}

TEST(CrewAirlock, MillSetUpPublishesItsNumbersAfterEachCall) {
  CrewWorld world;
  world.start();
  OBJHANDLE base = world.vessel("Base");
  CrewRoster roster;
  ASSERT_EQ(roster.Init(base), 1);
  EXPECT_EQ(readPublishedAirlock(base).points, 0) << "Init publishes nothing";

  ASSERT_EQ(roster.DefineAirlock(0, -3, 3, 0, 4, -7, 7), 1);
  PublishedAirlock airlock = readPublishedAirlock(base);
  EXPECT_EQ(airlock.points, 1);
  EXPECT_EQ(airlock.door, 0);
  EXPECT_EQ(airlock.aux, 1000);
  EXPECT_EQ(airlock.freeSeats, 8);

  ASSERT_EQ(roster.SetEvaStartPose(_V(1.7, 1.2, -0.2), _V(0, 0, 0)), 1);
  ASSERT_EQ(roster.SetMaxSeats(1), 1);
  airlock = readPublishedAirlock(base);
  EXPECT_EQ(airlock.points, 1);
  EXPECT_EQ(airlock.door, 0);
  EXPECT_EQ(airlock.aux, 0);
  EXPECT_EQ(airlock.freeSeats, 1);
}

// What the crew add-on sees between the mill's calls: the record publishes
// its first numbers when the point is made, then each number as it is set.
TEST(CrewAirlock, TheRecordPublishesEachNumberAsItIsSet) {
  CrewWorld world;
  world.start();
  OBJHANDLE hut = world.place("Other", "Hut", 20, 0);
  AirlockRecord record;
  record.Clear();
  ASSERT_EQ(record.Reset(hut), 1);
  EXPECT_EQ(record.SetFreeSeats(1), -1) << "no point yet";
  struct Step {
    const char *what;
    std::function<int()> call;
    int door, aux, freeSeats;
  };
  const Step steps[] = {
      {"defined", [&] { return record.Define(0, -3, 3, 0, 4, -7, 7); }, 0, 1000, 1000},
      {"seats set", [&] { return record.SetFreeSeats(1); }, 0, 1000, 1},
      {"aux value set", [&] { return record.SetAuxValue(0); }, 0, 0, 1},
  };
  for (const Step &step : steps) {
    ASSERT_EQ(step.call(), 1) << step.what;
    const PublishedAirlock airlock = readPublishedAirlock(hut);
    EXPECT_EQ(airlock.points, 1) << step.what;
    EXPECT_EQ(airlock.door, step.door) << step.what;
    EXPECT_EQ(airlock.aux, step.aux) << step.what;
    EXPECT_EQ(airlock.freeSeats, step.freeSeats) << step.what;
  }
}

TEST(CrewAirlock, DefiningAgainUpdatesTheOnePoint) {
  CrewWorld world;
  world.start();
  OBJHANDLE base = world.vessel("Base");
  CrewRoster roster;
  setUpLikeMill(roster, base, 1);
  ASSERT_EQ(roster.DefineAirlock(1, -1, 1, 0, 2, -2, 2), 1);
  const PublishedAirlock airlock = readPublishedAirlock(base);
  EXPECT_EQ(airlock.points, 1);
  EXPECT_EQ(airlock.box[0], -1);
  EXPECT_EQ(airlock.box[5], 2);
  EXPECT_EQ(airlock.door, 1);
  EXPECT_EQ(airlock.aux, 0);
  EXPECT_EQ(airlock.freeSeats, 1);
  EXPECT_EQ(roster.DoorState(), 1);
}

TEST(CrewAirlock, EvaPoseIsStoredOnlyOnAReadyRoster) {
  CrewWorld world;
  world.start();
  CrewRoster roster;
  EXPECT_EQ(roster.SetEvaStartPose(_V(1, 2, 3), _V(0, 1, 0)), 0);
  ASSERT_EQ(roster.Init(world.vessel("Base")), 1);
  EXPECT_EQ(roster.SetEvaStartPose(_V(1, 2, 3), _V(0, 1, 0)), 0);
  EXPECT_EQ(roster.EvaPosition().z, 3.0);
  ASSERT_EQ(roster.DefineAirlock(0, -3, 3, 0, 4, -7, 7), 1);
  EXPECT_EQ(roster.SetEvaStartPose(_V(1.7, 1.2, -0.2), _V(0, 0.5, 0)), 1);
  EXPECT_EQ(roster.EvaPosition().x, 1.7);
  EXPECT_EQ(roster.EvaPosition().z, -0.2);
  EXPECT_EQ(roster.EvaRotation().y, 0.5);
}

TEST(CrewAirlock, InitAgainStartsOverUnready) {
  CrewWorld world;
  world.start();
  OBJHANDLE base = world.vessel("Base");
  CrewRoster roster;
  setUpLikeMill(roster, base, 1);
  ASSERT_EQ(roster.Init(base), 1);
  EXPECT_EQ(roster.SetupFlags(), 1);
  EXPECT_EQ(roster.SeatCount(), 8);
  EXPECT_EQ(roster.SetMaxSeats(2), 0);
}

}  // namespace
