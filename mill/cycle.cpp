// The mill's working cycle, one step at a time: construction from boxes on
// activation, rock drawing, timed production of ore boxes and their release
// ten seconds later.
#include "calvane.h"
#include "whole_seconds.h"

namespace {

const char DisplayName[] = "KVT Duz Ovov MkI";
const int ActionArea = 1;
const int OreSlot = 0;
const int AnySlot = -1;

const double ConstructionBoxMass = 1000.0;  // kg
const double RockDrawPerStep = 2000.0;      // kg
// Rock is drawn only below this level (8001, not 8000: a tank between 8000
// and 8001 kg still draws, and the step's cut keeps it at the capacity).
const double RockDrawBelow = 8001.0;        // kg
const double RockPerOreBox = 4000.0;        // kg
const std::int32_t ReleaseDelay = 10;       // s
const char OreCargoType[] = "KVT_Ore_Cargo";
const char RockDescription[] = "Mined Rock (Lunar)";

// The box each unfinished stage takes to advance, and the meshes it shows.
struct StageStep {
  const char *boxDescription;
  int shownMeshes;  // meshes 1 .. shownMeshes are shown
};
const StageStep Stages[] = {{"BoxB", 0}, {"BoxC", 1}, {"BoxD", 2}, {nullptr, 3}};
const std::int32_t FinalStage = 3;

// Where ore boxes are set down, vessel frame, used in turn.
const VECTOR3 SetDownPositions[] = {
    {{-6.5, 0.0, 0.0}}, {{-6.5, 0.0, 1.5}}, {{-6.5, 0.0, -1.5}},
    {{-8.0, 0.0, 0.0}}, {{-8.0, 0.0, 1.5}}, {{-8.0, 0.0, -1.5}},
};
const std::int32_t SetDownPositionCount = sizeof(SetDownPositions) / sizeof(SetDownPositions[0]);

}  // namespace

void Calvane::clbkPostStep(double simt, double /*simdt*/, double /*mjd*/) {
  HandleStage();
  UpdateProcessingLine();
  if (oreTankLevel > OreTankCapacity) oreTankLevel = OreTankCapacity;
  stepSecond = WholeSeconds(simt);
  RunTimedProduction(simt);
  ReleaseProducedBox();
  cargoBay.UpdateAdvisory(DisplayName);
  crewRoster.UpdateAdvisory(DisplayName);
}

void Calvane::HandleStage() {
  if (stage < 0 || stage > FinalStage) return;
  const StageStep &step = Stages[stage];
  for (int mesh = 1; mesh <= step.shownMeshes; ++mesh) SetMeshVisibilityMode(mesh, MESHVIS_ALWAYS);
  crewRoster.SetActionAreaEnabled(ActionArea, 1);
  if (crewRoster.PollActionArea() != ActionArea) return;
  if (stage == FinalStage) {
    autospawn = autospawn == 1 ? 0 : 1;
    return;
  }
  // Only a whole box builds the next stage; a partial take is lost.
  if (cargoBay.ConsumeCargo(step.boxDescription, ConstructionBoxMass) == ConstructionBoxMass) ++stage;
}

void Calvane::UpdateProcessingLine() {
  if (stage != FinalStage) return;
  if (autospawn == 1) {
    // The label says what the next activation will do.
    crewRoster.SetActionAreaText(ActionArea, "Autoprocessing disabled");
    if (oreTankLevel < RockDrawBelow) {
      double drawn = cargoBay.ConsumeCargo(RockDescription, RockDrawPerStep);
      if (drawn > 0) oreTankLevel += drawn;
    }
    statusMessage.Post("Status: Autoprocessing enabled. Rock tank at %.0fkg", oreTankLevel);
  } else if (autospawn == 0) {
    crewRoster.SetActionAreaText(ActionArea, "Autoprocessing enabled");
    statusMessage.Post("Status: Autoprocessing disabled. Rock tank at %.0fkg", oreTankLevel);
  }
}

void Calvane::RunTimedProduction(double simt) {
  if (stepSecond < nextSpawnTime || autospawn != 1) return;
  ProduceOreCargo();
  nextSpawnTime = WholeSeconds(simt + spawnTime);
}

void Calvane::ReleaseProducedBox() {
  if (cargoBay.GetSlotStatus(OreSlot) != 1) return;
  if (stepSecond < releaseTime) return;
  if (cargoBay.ReleaseCargo(AnySlot) == 1) statusMessage.Post("Ore cargo released.");
}

void Calvane::ProduceOreCargo() {
  if (setDownIndex < 0 || setDownIndex >= SetDownPositionCount) setDownIndex = 0;
  cargoBay.SetReleasePosition(SetDownPositions[setDownIndex]);
  if (oreTankLevel < RockPerOreBox) {
    millMessage.Post("Not enough ore processed.");
    return;
  }
  bool made = cargoBay.AddCargoByName(OreCargoType, AnySlot) == 1;
  if (!made) {
    // Make room by setting the waiting box down now, then try once more.
    millMessage.Post("No free cargo slots.");
    made = cargoBay.ReleaseCargo(AnySlot) == 1 && cargoBay.AddCargoByName(OreCargoType, AnySlot) == 1;
  }
  if (made) {
    oreTankLevel -= RockPerOreBox;
    millMessage.Post("Ore cargo produced.");
    releaseTime = SaturatingAdd(stepSecond, ReleaseDelay);
  }
  setDownIndex = (setDownIndex + 1) % SetDownPositionCount;
}
