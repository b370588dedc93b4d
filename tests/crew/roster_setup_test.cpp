// Init, SetMaxSeats, the crew module version and the process-wide count.
#include <gtest/gtest.h>

#include <ostream>

#include <cmath>

#include "crew_world.h"

using namespace crew_test;

namespace {

enum class Target { Null, Moon, Hut };

struct InitCase {
  const char *name;
  TreeOptions tree;
  Target target;
  int expected;
};

void PrintTo(const InitCase &c, std::ostream *os) { *os << c.name; }

class InitResults : public testing::TestWithParam<InitCase> {};

TEST_P(InitResults, ReportAndLeaveTheRosterAsTheirResultSays) {
  const InitCase &c = GetParam();
  CrewWorld world(c.tree);
  world.start();
  OBJHANDLE target = nullptr;
  if (c.target == Target::Moon) target = oapiGetObjectByName(const_cast<char *>("Moon"));
  if (c.target == Target::Hut) target = world.vessel("Base");

  CrewRoster roster;
  const double before = world.sim->sysTime();
  EXPECT_EQ(roster.Init(target), c.expected);

  if (c.expected == 1) {
    EXPECT_EQ(roster.SetupFlags(), 1);
    EXPECT_EQ(roster.MemberCount(), 0);
    EXPECT_EQ(roster.SeatCount(), 8);
    EXPECT_EQ(roster.LoadMarker(), -1);
    EXPECT_EQ(roster.DoorState(), 1);
    EXPECT_EQ(roster.EvaPosition().z, 3.0);
    EXPECT_EQ(roster.VesselHandle(), target);
    EXPECT_GE(roster.AirlockIndex(), 0);
    EXPECT_EQ(roster.AdvisoryDeadline(), 0.0);
    return;
  }
  EXPECT_EQ(roster.SetupFlags(), 0);
  EXPECT_EQ(roster.DefineAirlock(0, -3, 3, 0, 4, -7, 7), 0);
  EXPECT_EQ(roster.SetMaxSeats(1), 0);
  EXPECT_FALSE(roster.ModuleOutdated());
  // The crew lines it cannot read are kept, in order, and written back.
  char crew[] = "UMMUCREW Doc-Ann_Lee-42-65-70", other[] = "Status 3", more[] = "ummucrew -Bo-30-60-80";
  EXPECT_EQ(roster.LoadStateLine(crew), 0);
  EXPECT_EQ(roster.LoadStateLine(other), 0);
  EXPECT_EQ(roster.LoadStateLine(more), 0);
  EXPECT_EQ(roster.MemberCount(), 0);
  int written = 0;
  EXPECT_EQ(savedBy(roster, &written), "  UMMUCREW Doc-Ann_Lee-42-65-70\n  ummucrew -Bo-30-60-80\n");
  EXPECT_EQ(written, 1);
  if (c.target == Target::Null) {
    EXPECT_EQ(roster.AdvisoryDeadline(), 0.0) << "a null handle changes nothing";
    EXPECT_EQ(roster.AirlockIndex(), -1);
  } else {
    EXPECT_EQ(roster.AdvisoryDeadline(), before + 20);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Crew, InitResults,
    testing::Values(InitCase{"NullHandle", {}, Target::Null, -1},
                    InitCase{"NotAVessel", {}, Target::Moon, -1},
                    InitCase{"CrewModuleMissing", {.crewModule = false}, Target::Hut, -999},
                    InitCase{"NullHandleWithoutCrewModule", {.crewModule = false}, Target::Null, -1},
                    InitCase{"Vessel", {}, Target::Hut, 1}),
    [](const testing::TestParamInfo<InitCase> &info) { return std::string(info.param.name); });

TEST(CrewSetup, SeatsNeedTheAirlockFirst) {
  CrewWorld world;
  world.start();
  CrewRoster roster;
  ASSERT_EQ(roster.Init(world.vessel("Base")), 1);
  EXPECT_EQ(roster.SetMaxSeats(1), 0);
  EXPECT_EQ(roster.SeatCount(), 8);
  ASSERT_EQ(roster.DefineAirlock(0, -3, 3, 0, 4, -7, 7), 1);
  EXPECT_EQ(roster.SetMaxSeats(1), 1);
}

struct SeatsCase {
  int seats;
  int expected;
};

void PrintTo(const SeatsCase &c, std::ostream *os) { *os << "seats " << c.seats; }

class SeatNumbers : public testing::TestWithParam<SeatsCase> {};

TEST_P(SeatNumbers, AreTakenFromOneToAHundred) {
  CrewWorld world;
  world.start();
  CrewRoster roster;
  setUpLikeMill(roster, world.vessel("Base"), 8);
  EXPECT_EQ(roster.SetMaxSeats(GetParam().seats), GetParam().expected);
  const int seats = GetParam().expected == 1 ? GetParam().seats : 8;
  EXPECT_EQ(roster.SeatCount(), seats);
  EXPECT_EQ(readPublishedAirlock(world.vessel("Base")).freeSeats, seats);
}

INSTANTIATE_TEST_SUITE_P(Crew, SeatNumbers,
                         testing::Values(SeatsCase{0, 0}, SeatsCase{101, 0}, SeatsCase{-1, 0}, SeatsCase{1, 1},
                                         SeatsCase{100, 1}, SeatsCase{8, 1}));

TEST(CrewSetup, FewerSeatsThanMembersPublishNegativeFreeSeatsAndBlockLaterChanges) {
  CrewWorld world;
  world.start();
  CrewRoster roster;
  setUpLikeMill(roster, world.vessel("Base"), 3);
  char lines[3][40] = {"UMMUCREW -Ann-30-60-70", "UMMUCREW -Bob-30-60-70", "UMMUCREW -Cy-30-60-70"};
  for (char *line : lines) ASSERT_EQ(roster.LoadStateLine(line), 1);
  EXPECT_EQ(roster.SetMaxSeats(1), 1);
  EXPECT_EQ(readPublishedAirlock(world.vessel("Base")).freeSeats, -2);
  EXPECT_EQ(roster.SetMaxSeats(5), 0) << "three members aboard one seat";
  EXPECT_EQ(roster.SeatCount(), 1);
}

// ---- the crew module version, cached for the process

struct VersionCase {
  const char *name;
  const char *text;
  float expected;
};

void PrintTo(const VersionCase &c, std::ostream *os) { *os << c.name; }

class VersionFiles : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionFiles, ReadTheDecimalNumberAtTheStartOfTheFirstLine) {
  if (!InFreshProcess()) return;
  CrewWorld world({.version = GetParam().text});
  world.start();
  EXPECT_FLOAT_EQ(CrewRoster::ReadCrewModuleVersion(), GetParam().expected);

  CrewRoster roster;
  ASSERT_EQ(roster.Init(world.vessel("Base")), 1);
  const bool outdated = GetParam().expected < 2.0f;
  EXPECT_EQ(roster.ModuleOutdated(), outdated);
  EXPECT_EQ(roster.AdvisoryDeadline(), outdated ? world.sim->sysTime() + 20 : 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Crew, VersionFiles,
    testing::Values(VersionCase{"Current", "2.0\n", 2.0f}, VersionCase{"Old", "1.5\n", 1.5f},
                    VersionCase{"Newer", "2.05 beta\n", 2.05f}, VersionCase{"Blanks", "  2.1\n", 2.1f},
                    VersionCase{"NoNumber", "version two\n", 0.0f}, VersionCase{"Hexadecimal", "0x2\n", 0.0f},
                    VersionCase{"NotANumber", "nan\n", 0.0f}, VersionCase{"Empty", "", 0.0f},
                    VersionCase{"OnlyThirteenCharacters", "2.000000000009\n", 2.0f},
                    VersionCase{"LongLine", "1234567890123456789\n", 1234567890123.0f}),
    [](const testing::TestParamInfo<VersionCase> &info) { return std::string(info.param.name); });

TEST(CrewProcess, VersionIsReadOnlyOnceWhenReadable) {
  if (!InFreshProcess()) return;
  CrewWorld world;
  world.start();
  EXPECT_EQ(CrewRoster::CachedCrewModuleVersion(), 0.0f);
  EXPECT_EQ(CrewRoster::ReadCrewModuleVersion(), 2.0f);
  world.tree.write("Meshes/UMmu/ver.dtf", "1.5\n");
  EXPECT_EQ(CrewRoster::ReadCrewModuleVersion(), 2.0f);
  EXPECT_EQ(CrewRoster::ReadCrewModuleVersionFile(), 1.5f) << "the file itself is read afresh";
  EXPECT_EQ(CrewRoster::CachedCrewModuleVersion(), 2.0f);
  CrewRoster roster;
  ASSERT_EQ(roster.Init(world.vessel("Base")), 1);
  EXPECT_FALSE(roster.ModuleOutdated());
}

TEST(CrewProcess, VersionIsNotCachedWhileUnreadableOrZero) {
  if (!InFreshProcess()) return;
  CrewWorld world({.versionFile = false});
  world.start();
  EXPECT_EQ(CrewRoster::ReadCrewModuleVersion(), -1.0f);
  CrewRoster roster;
  ASSERT_EQ(roster.Init(world.vessel("Base")), 1) << "a missing version file does not stop Init";
  EXPECT_TRUE(roster.ModuleOutdated());
  EXPECT_EQ(CrewRoster::CachedCrewModuleVersion(), 0.0f);

  world.tree.write("Meshes/UMmu/ver.dtf", "none\n");
  EXPECT_EQ(CrewRoster::ReadCrewModuleVersion(), 0.0f);
  world.tree.write("Meshes/UMmu/ver.dtf", "2.5\n");
  EXPECT_EQ(CrewRoster::ReadCrewModuleVersion(), 2.5f);
  EXPECT_EQ(CrewRoster::CachedCrewModuleVersion(), 2.5f);
}

// ---- records and the count of rosters

TEST(CrewProcess, EachSuccessfulInitTakesTheNextRecordUpToTheHundredth) {
  if (!InFreshProcess()) return;
  CrewWorld world;
  world.start();
  OBJHANDLE moon = oapiGetObjectByName(const_cast<char *>("Moon"));
  std::vector<std::unique_ptr<CrewRoster>> rosters;
  CrewRoster failing;
  for (int i = 0; i < 100; ++i) {
    OBJHANDLE hut = world.place("Hut" + std::to_string(i), "Hut", 10.0 * (i % 10), 10.0 * (i / 10) + 10);
    if (i == 40) {
      EXPECT_EQ(failing.Init(moon), -1);
      EXPECT_EQ(failing.AirlockIndex(), 40);
      EXPECT_EQ(CrewRoster::InstanceCount(), 40);
    }
    rosters.push_back(std::make_unique<CrewRoster>());
    ASSERT_EQ(rosters.back()->Init(hut), 1);
    EXPECT_EQ(rosters.back()->AirlockIndex(), i);
    if (i == 40) {
      // A failed Init takes no record for good: the next roster gets it,
      // and the failed one can no longer reach it.
      EXPECT_EQ(failing.AirlockIndex(), -1);
      EXPECT_EQ(failing.DefineAirlock(0, -3, 3, 0, 4, -7, 7), 0);
      EXPECT_EQ(readPublishedAirlock(hut).points, 0);
    }
    EXPECT_EQ(CrewRoster::InstanceCount(), i < 99 ? i + 1 : 99);
  }
  EXPECT_EQ(rosters[99]->AirlockIndex(), 99);
  EXPECT_EQ(CrewRoster::InstanceCount(), 99);
}

}  // namespace
