// The mill's cockpit modes, asked of the plugin's own vessel object: the
// mill offers the generic cockpit camera only, a panel view that looks
// ahead, and no virtual cockpit, whatever id the simulator asks for.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "mill_world.h"

namespace {

using millworld::MillRun;

struct CockpitCase {
  const char *what;
  int id;
};

class MillCockpit : public ::testing::TestWithParam<CockpitCase> {
protected:
  void SetUp() override {
    ASSERT_TRUE(run.Load(millworld::PlainMillScenarioFile()));
    mill = dynamic_cast<VESSEL2 *>(run.Interface("Mill"));
    ASSERT_NE(mill, nullptr);
    record = run.Record("Mill");
    ASSERT_NE(record->setShape, nullptr);
  }
  void ExpectCameraDirection(double x, double y, double z) {
    EXPECT_EQ(record->setShape->cameraDir.x, x);
    EXPECT_EQ(record->setShape->cameraDir.y, y);
    EXPECT_EQ(record->setShape->cameraDir.z, z);
  }

  MillRun run;
  VESSEL2 *mill = nullptr;
  const simhost::VesselRecord *record = nullptr;
};

TEST_F(MillCockpit, GenericCockpitIsDeclinedAndLooksDownToTheLeft) {
  EXPECT_FALSE(mill->clbkLoadGenericCockpit());
  ExpectCameraDirection(-0.5, -0.5, 0.0);
}

TEST_P(MillCockpit, PanelIsAcceptedAndLooksAhead) {
  EXPECT_TRUE(mill->clbkLoadPanel(GetParam().id));
  ExpectCameraDirection(0.0, 0.0, -1.0);
}

TEST_P(MillCockpit, VirtualCockpitIsDeclinedAndLooksDownAhead) {
  EXPECT_FALSE(mill->clbkLoadVC(GetParam().id));
  ExpectCameraDirection(0.0, -0.5, -0.5);
}

INSTANTIATE_TEST_SUITE_P(Ids, MillCockpit,
                         ::testing::Values(CockpitCase{"Lowest", INT_MIN}, CockpitCase{"MinusOne", -1},
                                           CockpitCase{"Zero", 0}, CockpitCase{"One", 1},
                                           CockpitCase{"Seven", 7}, CockpitCase{"Highest", INT_MAX}),
                         [](const ::testing::TestParamInfo<CockpitCase> &info) { return std::string(info.param.what); });

}  // namespace
