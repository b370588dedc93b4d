// The ore mill as the simulator defines it, whether it comes from a
// scenario or is placed while the simulation runs: its four meshes, size,
// mass, camera and the touchdown points that stand it on the ground; and
// the first values of the mill's own fields.
#include <gtest/gtest.h>

#include <string>

#include "calvane.h"
#include "mill_world.h"

namespace {

using millworld::MillRun;

struct Origin {
  const char *what;
  bool placed;  // placed at run time beside the scenario's mill
};

// The defined mill: "Mill" from a plain scenario, or "Mill2" placed
// beside it once the scenario is running.
const char *DefinedMill(MillRun &run, const Origin &origin) {
  if (!run.Load(millworld::PlainMillScenarioFile())) return nullptr;
  if (!origin.placed) return "Mill";
  run.sim().frame();
  return run.Place("Mill2", "Mill", 30.0, 0.0) ? "Mill2" : nullptr;
}

std::string OriginName(const ::testing::TestParamInfo<Origin> &info) {
  return info.param.placed ? "PlacedAtRunTime" : "LoadedFromScenario";
}

const Origin Origins[] = {{"loaded from a scenario", false}, {"placed at run time", true}};

class MillDefinition : public ::testing::TestWithParam<Origin> {};

struct MeshExpectation {
  const char *name;
  WORD visibility;
  VECTOR3 offset;
};

const MeshExpectation MillMeshes[] = {
    {"KVT_OREMILL_A", MESHVIS_ALWAYS, {{0.0, 0.0, 0.0}}},
    {"KVT_OREMILL_B", MESHVIS_NEVER, {{4.3, 0.0, 0.0}}},
    {"KVT_OREMILL_C", MESHVIS_NEVER, {{0.0, 0.0, 0.0}}},
    {"KVT_OREMILL_D", MESHVIS_NEVER, {{-4.05, 0.15, 0.0}}},
};

TEST_P(MillDefinition, ShowsOnlyTheBaseOfItsFourShiftedMeshes) {
  MillRun run;
  const char *mill = DefinedMill(run, GetParam());
  ASSERT_NE(mill, nullptr);
  const simhost::VesselRecord *record = run.Record(mill);
  ASSERT_NE(record, nullptr);

  size_t used = 0;
  for (const simhost::MeshSlot &slot : record->meshes) used += slot.used ? 1 : 0;
  EXPECT_EQ(used, 4u);
  ASSERT_GE(record->meshes.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE("mesh " + std::to_string(i));
    const simhost::MeshSlot &slot = record->meshes[i];
    EXPECT_TRUE(slot.used);
    EXPECT_EQ(slot.name, MillMeshes[i].name);
    EXPECT_NE(slot.mesh, nullptr) << "the tree's mesh file did not load";
    EXPECT_EQ(slot.visibility, MillMeshes[i].visibility);
    EXPECT_EQ(slot.offset.x, MillMeshes[i].offset.x);
    EXPECT_EQ(slot.offset.y, MillMeshes[i].offset.y);
    EXPECT_EQ(slot.offset.z, MillMeshes[i].offset.z);
  }
}

TEST_P(MillDefinition, StandsOnItsTouchdownPointsWithItsSizeMassAndCamera) {
  MillRun run;
  const char *mill = DefinedMill(run, GetParam());
  ASSERT_NE(mill, nullptr);
  VESSEL *vessel = run.Interface(mill);
  ASSERT_NE(vessel, nullptr);

  EXPECT_EQ(vessel->GetSize(), 5.0);
  EXPECT_EQ(vessel->GetEmptyMass(), 2000.0);
  EXPECT_EQ(oapiGetSize(vessel->GetHandle()), 5.0);
  // Its origin stands a hundredth of a millimetre above the ground.
  EXPECT_NEAR(vessel->GetCOG_elev(), 0.00001, 1e-12);
  EXPECT_NEAR(vessel->GetAltitude(), 0.00001, 1e-6);

  const simhost::VesselRecord *record = run.Record(mill);
  ASSERT_NE(record->setShape, nullptr);
  EXPECT_EQ(record->setShape->cameraOffset.x, 5.0);
  EXPECT_EQ(record->setShape->cameraOffset.y, 1.5);
  EXPECT_EQ(record->setShape->cameraOffset.z, 3.3);
  EXPECT_EQ(record->setShape->cameraDir.z, -1.0);
  EXPECT_EQ(record->setShape->touchdown[0].z, 2.0);
  EXPECT_EQ(record->setShape->touchdown[1].x, -1.0);
  EXPECT_EQ(record->setShape->touchdown[2].x, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Origins, MillDefinition, ::testing::ValuesIn(Origins), OriginName);

// The plugin's own object keeps its fields to itself; a Calvane of this
// process, bound to the placed mill as the simulator would bind one, shows
// what the definition gives them.
TEST(MillFirstValues, ADefinedMillStartsEmptyIdleAndUnbuilt) {
  MillRun run;
  const char *mill = DefinedMill(run, Origins[1]);
  ASSERT_NE(mill, nullptr);

  Calvane calvane(run.Handle(mill), 1);
  calvane.clbkSetClassCaps(nullptr);

  EXPECT_EQ(calvane.OreTankLevel(), 0.0);
  EXPECT_EQ(calvane.Autospawn(), 0);
  EXPECT_EQ(calvane.SpawnTime(), 300);
  EXPECT_EQ(calvane.Stage(), 0);
  EXPECT_EQ(calvane.SetDownIndex(), 0);
  EXPECT_EQ(calvane.ReleaseTime(), 0);
  for (const HudMessage *line : {&calvane.ReleaseMessage(), &calvane.MillMessage(), &calvane.StatusMessage()}) {
    EXPECT_STREQ(line->Text(), "");
    EXPECT_FALSE(line->IsShown());
  }
}

}  // namespace
