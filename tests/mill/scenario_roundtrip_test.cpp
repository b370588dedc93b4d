// A scenario with the mill survives saving: the host's lines of the mill's
// block are written, and loading the saved file puts the mill back where it
// stood, defined as before.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "mill_world.h"

namespace {

using millworld::MillRun;
using millworld::TempTree;

struct Place {
  const char *what;
  const char *pos;
  const char *heading;
  double lonDeg, latDeg, headingDeg;
};

const double Degree = std::acos(-1.0) / 180.0;

class MillScenario : public ::testing::TestWithParam<Place> {};

// The lines of the block of the named vessel in a scenario text.
std::string VesselBlock(const std::string &scenario, const std::string &name) {
  std::string header = name + ":Calvane\n";
  size_t start = scenario.find(header);
  if (start == std::string::npos) return "";
  size_t end = scenario.find("\nEND\n", start);
  return scenario.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

TEST_P(MillScenario, SavesItsHostLinesAndLoadsBackWhereItStood) {
  const Place &place = GetParam();
  TempTree dir;
  ASSERT_TRUE(dir.ok());
  std::string original = dir.write("Original.scn", millworld::LandedMillScenario("Mill", place.pos, place.heading));
  std::string firstSave = dir.path("First.scn");
  std::string secondSave = dir.path("Second.scn");

  double lon = 0, lat = 0, hdg = 0;
  {
    MillRun run;
    ASSERT_TRUE(run.Load(original));
    const simhost::VesselRecord *mill = run.Record("Mill");
    ASSERT_NE(mill, nullptr);
    EXPECT_NEAR(mill->lon, place.lonDeg * Degree, 1e-12);
    EXPECT_NEAR(mill->lat, place.latDeg * Degree, 1e-12);
    EXPECT_NEAR(mill->hdg, place.headingDeg * Degree, 1e-12);
    lon = mill->lon, lat = mill->lat, hdg = mill->hdg;
    run.sim().frame();
    ASSERT_TRUE(run.Save(firstSave));
  }

  std::string block = VesselBlock(millworld::readFile(firstSave), "Mill");
  EXPECT_NE(block.find("STATUS Landed Moon"), std::string::npos) << block;
  EXPECT_NE(block.find("POS "), std::string::npos) << block;
  EXPECT_NE(block.find("HEADING "), std::string::npos) << block;

  {
    MillRun run;
    ASSERT_TRUE(run.Load(firstSave));
    const simhost::VesselRecord *mill = run.Record("Mill");
    ASSERT_NE(mill, nullptr);
    EXPECT_NEAR(mill->lon, lon, 1e-12);
    EXPECT_NEAR(mill->lat, lat, 1e-12);
    EXPECT_NEAR(mill->hdg, hdg, 1e-12);
    EXPECT_TRUE(mill->landed);
    VESSEL *vessel = run.Interface("Mill");
    ASSERT_NE(vessel, nullptr);
    EXPECT_EQ(vessel->GetEmptyMass(), 2000.0);
    EXPECT_NEAR(vessel->GetCOG_elev(), 0.00001, 1e-12);
    ASSERT_TRUE(run.Save(secondSave));
  }
  EXPECT_EQ(millworld::readFile(secondSave), millworld::readFile(firstSave));
}

INSTANTIATE_TEST_SUITE_P(
    Places, MillScenario,
    ::testing::Values(Place{"Demo", "23.4730000 0.6740000", "90.00", 23.473, 0.674, 90.0},
                      Place{"SouthWest", "-45.5000000 -12.2500000", "359.50", -45.5, -12.25, 359.5},
                      Place{"Origin", "0.0000000 0.0000000", "0.00", 0.0, 0.0, 0.0},
                      Place{"FarSide", "179.9000000 -80.0000000", "180.00", 179.9, -80.0, 180.0}),
    [](const ::testing::TestParamInfo<Place> &info) { return std::string(info.param.what); });

}  // namespace
