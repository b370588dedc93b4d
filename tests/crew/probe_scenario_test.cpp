// The crew block of a vessel's scenario, through the crew probe's load and
// save callbacks.
#include <gtest/gtest.h>

#include <string>

#include "crew_world.h"

using namespace crew_test;

namespace {

std::string probeBlock(const std::string &crewLines) {
  return "Probe:CrewProbe\n  STATUS Landed Moon\n  POS 10.0005 5.0\n  HEADING 30.0\n" + crewLines + "END\n";
}

size_t countOf(const std::string &text, const std::string &what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(CrewScenario, ACrewLineComesAboardAndIsSavedBack) {
  CrewWorld world;
  world.start(probeBlock("  UMMUCREW Doc-Ann_Lee-42-65-70\n"));
  OBJHANDLE probe = world.vessel("Probe");
  ASSERT_NE(probe, nullptr);
  const CrewProbeState state = world.probeState(probe);
  EXPECT_EQ(state.memberCount, 1);
  EXPECT_STREQ(state.firstMemberCode, "Doc");
  EXPECT_STREQ(state.firstMemberName, "Ann Lee");
  EXPECT_EQ(world.emptyMass(probe), 2070);
  const PublishedAirlock airlock = readPublishedAirlock(probe);
  EXPECT_EQ(airlock.freeSeats, 0);
  EXPECT_EQ(airlock.aux, 0);

  std::string error;
  ASSERT_TRUE(world.sim->saveScenario(world.tree.root() + "/Scenarios/Saved.scn", error)) << error;
  const std::string saved = world.tree.read("Scenarios/Saved.scn");
  EXPECT_EQ(countOf(saved, "UMMUCREW Doc-Ann_Lee-42-65-70\n"), 1u) << saved;
}

TEST(CrewScenario, AMemberWithoutCodeIsSavedWithALeadingDash) {
  CrewWorld world;
  world.start(probeBlock("  UMMUCREW -O'Neil-42-65-70\n"));
  std::string error;
  ASSERT_TRUE(world.sim->saveScenario(world.tree.root() + "/Scenarios/Saved.scn", error)) << error;
  const std::string saved = world.tree.read("Scenarios/Saved.scn");
  EXPECT_EQ(countOf(saved, "UMMUCREW -O_Neil-42-65-70\n"), 1u) << saved;
}

TEST(CrewScenario, TheOneSeatTakesTheFirstValidLineOnly) {
  CrewWorld world;
  world.start(probeBlock("  UMMUCREW Doc-Ann-0-65-70\n  UMMUCREW Eng-Bo-30-60-80\n  UMMUCREW Doc-Cy-40-60-90\n"));
  OBJHANDLE probe = world.vessel("Probe");
  EXPECT_EQ(world.probeState(probe).memberCount, 1);
  EXPECT_STREQ(world.probeState(probe).firstMemberName, "Bo");
  EXPECT_EQ(world.emptyMass(probe), 2080);

  std::string error;
  ASSERT_TRUE(world.sim->saveScenario(world.tree.root() + "/Scenarios/Saved.scn", error)) << error;
  const std::string saved = world.tree.read("Scenarios/Saved.scn");
  EXPECT_EQ(countOf(saved, "UMMUCREW"), 1u) << saved;
  EXPECT_EQ(countOf(saved, "UMMUCREW Eng-Bo-30-60-80\n"), 1u) << saved;
}

TEST(CrewScenario, SavingAndLoadingAgainKeepsTheCrew) {
  CrewWorld world;
  world.start(probeBlock("  UMMUCREW Capt-Ann_Lee-42-65-70\n"));
  std::string error;
  ASSERT_TRUE(world.sim->saveScenario(world.tree.root() + "/Scenarios/Saved.scn", error)) << error;
  const std::string first = world.tree.read("Scenarios/Saved.scn");
  world.sim.reset();

  world.sim = std::make_unique<simhost::Simulation>(world.tree.root());
  ASSERT_TRUE(world.sim->loadScenario(world.tree.root() + "/Scenarios/Saved.scn", error)) << error;
  OBJHANDLE probe = world.vessel("Probe");
  EXPECT_EQ(world.probeState(probe).memberCount, 1);
  EXPECT_EQ(world.emptyMass(probe), 2070) << "the crew's weight is added once";
  ASSERT_TRUE(world.sim->saveScenario(world.tree.root() + "/Scenarios/Again.scn", error)) << error;
  EXPECT_EQ(world.tree.read("Scenarios/Again.scn"), first);
}

TEST(CrewScenario, NoCrewLinesSaveNoCrew) {
  CrewWorld world;
  world.start(probeBlock(""));
  OBJHANDLE probe = world.vessel("Probe");
  EXPECT_EQ(world.probeState(probe).memberCount, 0);
  EXPECT_EQ(readPublishedAirlock(probe).freeSeats, 1);
  std::string error;
  ASSERT_TRUE(world.sim->saveScenario(world.tree.root() + "/Scenarios/Saved.scn", error)) << error;
  EXPECT_EQ(countOf(world.tree.read("Scenarios/Saved.scn"), "UMMUCREW"), 0u);
}

}  // namespace
