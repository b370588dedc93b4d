// The crew lines of the scenario, read by a roster in the test process.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "crew_world.h"

using namespace crew_test;

namespace {

// Offers a line as the vessel's loader would: a writable copy.
int offer(CrewRoster &roster, const std::string &text) {
  std::vector<char> line(text.begin(), text.end());
  line.push_back('\0');
  return roster.LoadStateLine(line.data());
}

class CrewLines : public testing::Test {
protected:
  void SetUp() override {
    world.start();
    base = world.vessel("Base");
    setUpLikeMill(roster, base, 10);
    baseMass = world.emptyMass(base);
  }

  CrewWorld world;
  OBJHANDLE base = nullptr;
  CrewRoster roster;
  double baseMass = 0;
};

struct LineCase {
  const char *name;
  std::string line;
  int expected;
  const char *code = "";
  const char *member = "";
  int age = 0, pulse = 0, weight = 0;
};

void PrintTo(const LineCase &c, std::ostream *os) { *os << c.name; }

class CrewLineValues : public CrewLines, public testing::WithParamInterface<LineCase> {};

TEST_P(CrewLineValues, AreTakenOnlyWhenWholeAndInRange) {
  const LineCase &c = GetParam();
  EXPECT_EQ(offer(roster, c.line), c.expected);
  if (c.expected == 0) {
    EXPECT_EQ(roster.MemberCount(), 0);
    EXPECT_EQ(roster.CrewMass(), 0);
    EXPECT_EQ(world.emptyMass(base), baseMass);
    EXPECT_EQ(readPublishedAirlock(base).freeSeats, 10);
    return;
  }
  ASSERT_EQ(roster.MemberCount(), 1);
  const CrewMember *m = roster.Member(0);
  EXPECT_STREQ(m->functionCode, c.code);
  EXPECT_STREQ(m->name, c.member);
  EXPECT_EQ(m->age, c.age);
  EXPECT_EQ(m->pulse, c.pulse);
  EXPECT_EQ(m->weight, c.weight);
  EXPECT_EQ(roster.CrewMass(), c.weight);
  EXPECT_EQ(world.emptyMass(base), baseMass + c.weight);
  EXPECT_EQ(readPublishedAirlock(base).freeSeats, 9);
  EXPECT_EQ(roster.LoadMarker(), 1);
}

const std::string Long(size_t n, char c) { return std::string(n, c); }

INSTANTIATE_TEST_SUITE_P(
    Crew, CrewLineValues,
    testing::Values(
        LineCase{"Doctor", "UMMUCREW Doc-Ann_Lee-42-65-70", 1, "Doc", "Ann Lee", 42, 65, 70},
        LineCase{"CodeCutToFour", "UMMUCREW Captain-Ann-42-65-70", 1, "Capt", "Ann", 42, 65, 70},
        LineCase{"NoCode", "UMMUCREW -Ann_Lee-42-65-70", 1, "", "Ann Lee", 42, 65, 70},
        LineCase{"KeyInAnyCase", "ummuCrew Eng-Bo-30-70-80", 1, "Eng", "Bo", 30, 70, 80},
        LineCase{"ApostropheBecomesBlank", "UMMUCREW Doc-O'Neil-42-65-70", 1, "Doc", "O Neil", 42, 65, 70},
        LineCase{"NameCutToTwentyFive", "UMMUCREW Doc-" + Long(30, 'A') + "-42-65-70", 1, "Doc",
                 "AAAAAAAAAAAAAAAAAAAAAAAAA", 42, 65, 70},
        LineCase{"BytesAboveAsciiBecomeBlanks", "UMMUCREW Doc-Zo\xc3\xab-42-65-70", 1, "Doc", "Zo  ", 42, 65, 70},
        LineCase{"TabsSeparateTheValue", "UMMUCREW\tDoc-Ann-42-65-70\tmore", 1, "Doc", "Ann", 42, 65, 70},
        LineCase{"LowestValues", "UMMUCREW -Ann-1-1-5", 1, "", "Ann", 1, 1, 5},
        LineCase{"HighestValues", "UMMUCREW -Ann-140-180-300", 1, "", "Ann", 140, 180, 300},
        LineCase{"WeightWithDecimals", "UMMUCREW -Ann-42-65-70.9", 1, "", "Ann", 42, 65, 70},
        LineCase{"NumbersCutToFiveCharacters", "UMMUCREW -Ann-0000042-65-70", 0},
        LineCase{"AgeZero", "UMMUCREW Doc-Ann-0-65-70", 0},
        LineCase{"AgeTooHigh", "UMMUCREW Doc-Ann-141-65-70", 0},
        LineCase{"PulseTooHigh", "UMMUCREW Doc-Ann-42-181-70", 0},
        LineCase{"PulseZero", "UMMUCREW Doc-Ann-42-0-70", 0},
        LineCase{"WeightTooLow", "UMMUCREW Doc-Ann-42-65-4", 0},
        LineCase{"WeightTooHigh", "UMMUCREW Doc-Ann-42-65-301", 0},
        LineCase{"NegativeWeight", "UMMUCREW Doc-Ann-42-65--70", 0},
        LineCase{"WeightMissing", "UMMUCREW Doc-Ann-42-65", 0},
        LineCase{"NoDash", "UMMUCREW DocAnn", 0},
        LineCase{"EmptyName", "UMMUCREW Doc--42-65-70", 0},
        LineCase{"NoValue", "UMMUCREW", 0},
        LineCase{"BlanksOnly", "UMMUCREW      ", 0},
        LineCase{"OtherKey", "UMMUCRE Doc-Ann-42-65-70", 0},
        LineCase{"HostLine", "STATUS Landed Moon", 0},
        LineCase{"Empty", "", 0},
        // Long and malformed lines are read within their bounds.
        LineCase{"ValueCutAt399", "UMMUCREW Doc-Ann-42-65-70" + Long(2000, 'x'), 1, "Doc", "Ann", 42, 65, 70},
        LineCase{"NumbersBeyond399", "UMMUCREW Doc-" + Long(400, 'A') + "-42-65-70", 0},
        LineCase{"OnlyDashes", "UMMUCREW " + Long(5000, '-'), 0},
        LineCase{"HugeNumbers", "UMMUCREW Doc-Ann-99999999999999999999-65-70", 0},
        LineCase{"CodeOfThreeHundredCharacters", "UMMUCREW " + Long(300, 'C') + "-Ann-42-65-70", 1, "CCCC", "Ann", 42, 65, 70}),
    [](const testing::TestParamInfo<LineCase> &info) { return std::string(info.param.name); });

TEST_F(CrewLines, AFailedLineLeavesNothingOfItselfInTheNextMember) {
  EXPECT_EQ(offer(roster, "UMMUCREW Capt-Zed_Zed-0-65-70"), 0);
  ASSERT_EQ(offer(roster, "UMMUCREW -Bo-30-60-80"), 1);
  EXPECT_STREQ(roster.Member(0)->functionCode, "");
  EXPECT_STREQ(roster.Member(0)->name, "Bo");
}

TEST_F(CrewLines, TheFirstLineOfferedEmptiesTheRosterWhateverItHolds) {
  EXPECT_EQ(roster.LoadMarker(), -1);
  EXPECT_EQ(offer(roster, "STATUS Landed Moon"), 0);
  EXPECT_EQ(roster.LoadMarker(), 0);
  const PublishedAirlock airlock = readPublishedAirlock(base);
  EXPECT_EQ(airlock.freeSeats, 10);
  EXPECT_EQ(airlock.aux, 0);
  ASSERT_EQ(offer(roster, "UMMUCREW -Ann-30-60-70"), 1);
  EXPECT_EQ(offer(roster, "POS 10 5"), 0);
  EXPECT_EQ(roster.MemberCount(), 1) << "only the first line resets";
  EXPECT_EQ(world.emptyMass(base), baseMass + 70);
}

TEST_F(CrewLines, WeightsGoOnTheEmptyMassAsMembersAreRead) {
  ASSERT_EQ(offer(roster, "UMMUCREW -Ann-30-60-70"), 1);
  ASSERT_EQ(offer(roster, "UMMUCREW -Bo-30-60-85"), 1);
  EXPECT_EQ(roster.CrewMass(), 155);
  EXPECT_EQ(world.emptyMass(base), baseMass + 155);
  EXPECT_EQ(readPublishedAirlock(base).freeSeats, 8);
  EXPECT_EQ(roster.LoadMarker(), 2);
}

TEST_F(CrewLines, NoMemberBeyondTheSeats) {
  ASSERT_EQ(roster.SetMaxSeats(1), 1);
  ASSERT_EQ(offer(roster, "UMMUCREW -Ann-30-60-70"), 1);
  EXPECT_EQ(readPublishedAirlock(base).freeSeats, 0);
  EXPECT_EQ(offer(roster, "UMMUCREW -Bo-30-60-80"), 0);
  EXPECT_EQ(roster.MemberCount(), 1);
  EXPECT_EQ(world.emptyMass(base), baseMass + 70);
}

TEST_F(CrewLines, HundredSeatsTakeAHundredMembers) {
  ASSERT_EQ(roster.SetMaxSeats(100), 1);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(offer(roster, "UMMUCREW -Crew" + std::to_string(i) + "-30-60-70"), 1);
  EXPECT_EQ(offer(roster, "UMMUCREW -Late-30-60-70"), 0);
  EXPECT_EQ(roster.MemberCount(), 100);
  EXPECT_STREQ(roster.Member(99)->name, "Crew99");
  EXPECT_EQ(readPublishedAirlock(base).freeSeats, 0);
}

TEST(CrewLinesRefused, OnAnUnreadyRosterOrANullLine) {
  CrewWorld world;
  world.start();
  CrewRoster roster;
  EXPECT_EQ(offer(roster, "UMMUCREW Doc-Ann-42-65-70"), 0);
  ASSERT_EQ(roster.Init(world.vessel("Base")), 1);
  EXPECT_EQ(offer(roster, "UMMUCREW Doc-Ann-42-65-70"), 0);
  EXPECT_EQ(roster.LoadMarker(), -1) << "no reset before the roster is ready";
  EXPECT_EQ(savedBy(roster), "  UMMUCREW Doc-Ann-42-65-70\n") << "kept since Init, written back";
  ASSERT_EQ(roster.DefineAirlock(0, -3, 3, 0, 4, -7, 7), 1);
  EXPECT_EQ(roster.LoadStateLine(nullptr), 0);
  EXPECT_EQ(roster.LoadMarker(), -1);

  // An unready roster keeps as many lines as a roster ever writes, each of
  // at most CREW_KEPT_LINE_CHARS characters; others are left to the host.
  CrewRoster unready;
  const std::string longest = "UMMUCREW -" + std::string(CREW_KEPT_LINE_CHARS - 10, 'L');
  EXPECT_EQ(offer(unready, longest + "L"), 0);
  EXPECT_EQ(offer(unready, longest), 0);
  for (int i = 1; i <= CREW_KEPT_LINES; ++i) offer(unready, "UMMUCREW -Crew" + std::to_string(i) + "-30-60-70");
  const std::string saved = savedBy(unready);
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), CREW_KEPT_LINES);
  EXPECT_EQ(saved.substr(0, longest.size() + 3), "  " + longest + "\n");
  EXPECT_NE(saved.find("-Crew99-"), std::string::npos);
  EXPECT_EQ(saved.find("-Crew100-"), std::string::npos);
}

TEST(CrewSave, WritesNothingWithoutMembersOrReadiness) {
  CrewWorld world;
  world.start();
  CrewRoster roster;
  char marker = 0;
  EXPECT_EQ(roster.SaveState(&marker), 0) << "not ready";
  setUpLikeMill(roster, world.vessel("Base"), 1);
  EXPECT_EQ(roster.SaveState(&marker), 0) << "no member";
  ASSERT_EQ(offer(roster, "UMMUCREW Doc-Ann-42-65-70"), 1);
  EXPECT_EQ(roster.SaveState(nullptr), 0) << "no scenario";
}

TEST(CrewNames, SanitizingKeepsLettersAndDigitsOnly) {
  char name[] = "Ann-Lee_9 \x7f\xff!z";
  CrewRoster::SanitizeCrewName(name);
  EXPECT_STREQ(name, "Ann Lee 9    z");
}

}  // namespace
