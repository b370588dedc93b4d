// The module's entry points as the simulator calls them, taken from the
// built plugin: a vessel object bound exactly as asked, and an exit that
// tolerates a null object.
#include <gtest/gtest.h>

#include <string>

#include "mill_world.h"
#include "test_platform.h"

namespace {

using millworld::MillRun;

using OvcInit = VESSEL *(*)(OBJHANDLE, int);
using OvcExit = void (*)(VESSEL *);

class MillEntryPoints : public ::testing::Test {
protected:
  void SetUp() override {
    // The world loads the plugin; this finds the same loaded module.
    ASSERT_TRUE(run.Load(millworld::PlainMillScenarioFile()));
    module = kvt_test::loadedModule(millworld::PluginPath());
    ASSERT_NE(module, nullptr) << "the world did not load " << millworld::PluginPath();
    ovcInit = reinterpret_cast<OvcInit>(kvt_test::moduleSymbol(module, "ovcInit"));
    ovcExit = reinterpret_cast<OvcExit>(kvt_test::moduleSymbol(module, "ovcExit"));
    ASSERT_NE(ovcInit, nullptr);
    ASSERT_NE(ovcExit, nullptr);
    ASSERT_NE(kvt_test::moduleSymbol(module, "InitModule"), nullptr);
  }

  MillRun run;
  void *module = nullptr;
  OvcInit ovcInit = nullptr;
  OvcExit ovcExit = nullptr;
};

TEST_F(MillEntryPoints, ExitWithoutAVesselDoesNothing) {
  size_t vessels = oapiGetVesselCount();
  ovcExit(nullptr);
  EXPECT_EQ(oapiGetVesselCount(), vessels);
  EXPECT_NE(run.Record("Mill"), nullptr);
}

class MillVesselObject : public MillEntryPoints, public ::testing::WithParamInterface<int> {};

TEST_P(MillVesselObject, IsBoundToTheHandleAndFlightModelAsGiven) {
  OBJHANDLE handle = run.Handle("Mill");
  VESSEL *vessel = ovcInit(handle, GetParam());
  ASSERT_NE(vessel, nullptr);
  EXPECT_EQ(vessel->GetHandle(), handle);
  EXPECT_EQ(vessel->GetFlightModel(), GetParam());
  EXPECT_NE(dynamic_cast<VESSEL2 *>(vessel), nullptr);
  // The sanitizer build reports the object as leaked unless this frees it.
  ovcExit(vessel);
}

INSTANTIATE_TEST_SUITE_P(FlightModels, MillVesselObject, ::testing::Values(0, 1));

}  // namespace
