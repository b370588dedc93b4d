// The ore mill's class definition: the values that make a Calvane what it
// is in the simulator, and the order in which they are handed over.
#include "calvane.h"

namespace {

// First values of the mill's fields.
const double FirstOreTankLevel = 0.0;
const std::uint8_t FirstAutospawn = 0;
const std::int32_t FirstSpawnTime = 300;  // s
const std::int32_t FirstStage = 0;
const std::int32_t FirstSetDownIndex = 0;
const std::int32_t FirstReleaseTime = 0;
// No production is scheduled until processing is switched on or a timed
// production has run; 0 stands for "due as soon as processing is on".
const std::int32_t FirstNextSpawnTime = 0;

const double MillSize = 5.0;           // m
const double MillEmptyMass = 2000.0;   // kg
const VECTOR3 CameraOffset = {{5.0, 1.5, 3.3}};
const VECTOR3 CameraDirection = {{0.0, 0.0, -1.0}};

// The touchdown points lie a hundredth of a millimetre below the vessel's
// origin, so the mill stands with its origin on the ground.
const VECTOR3 TouchdownFront = {{0.0, -0.00001, 2.0}};
const VECTOR3 TouchdownLeft = {{-1.0, -0.00001, -1.5}};
const VECTOR3 TouchdownRight = {{1.0, -0.00001, -1.5}};

// The four parts of the mill, by mesh index: the base stands from the
// start, the others appear as construction reaches them.
struct MillMesh {
  const char *name;
  VECTOR3 shift;  // m; zero for a mesh that stays where it was modelled
  WORD firstVisibility;
};
const MillMesh MillMeshes[] = {
    {"KVT_OREMILL_A", {{0.0, 0.0, 0.0}}, MESHVIS_ALWAYS},  // base platform
    {"KVT_OREMILL_B", {{4.3, 0.0, 0.0}}, MESHVIS_NEVER},   // crusher, stage 1
    {"KVT_OREMILL_C", {{0.0, 0.0, 0.0}}, MESHVIS_NEVER},   // conveyor, stage 2
    {"KVT_OREMILL_D", {{-4.05, 0.15, 0.0}}, MESHVIS_NEVER},  // silo, stage 3
};
const UINT MillMeshCount = sizeof(MillMeshes) / sizeof(MillMeshes[0]);

bool IsShifted(const VECTOR3 &shift) { return shift.x != 0.0 || shift.y != 0.0 || shift.z != 0.0; }

}  // namespace

Calvane::Calvane(OBJHANDLE hVessel, int flightModel) noexcept
    : VESSEL2(hVessel, flightModel),
      oreTankLevel(FirstOreTankLevel),
      autospawn(FirstAutospawn),
      spawnTime(FirstSpawnTime),
      stage(FirstStage),
      setDownIndex(FirstSetDownIndex),
      releaseTime(FirstReleaseTime),
      nextSpawnTime(FirstNextSpawnTime),
      stepSecond(0),
      vcHudSpec{} {}

void Calvane::clbkSetClassCaps(FILEHANDLE /*cfg*/) {
  SetFirstValues();
  SetUpComponents();
  ClearHudMessages();
  DefineVessel();
  DefineMeshes();
}

void Calvane::SetFirstValues() {
  oreTankLevel = FirstOreTankLevel;
  setDownIndex = FirstSetDownIndex;
  autospawn = FirstAutospawn;
  spawnTime = FirstSpawnTime;
  releaseTime = FirstReleaseTime;
  stage = FirstStage;
  nextSpawnTime = FirstNextSpawnTime;
}

void Calvane::ClearHudMessages() {
  releaseMessage.Clear();
  millMessage.Clear();
  statusMessage.Clear();
}

void Calvane::DefineVessel() const {
  SetSize(MillSize);
  SetEmptyMass(MillEmptyMass);
  SetCameraOffset(CameraOffset);
  SetCameraDefaultDirection(CameraDirection);
  SetTouchdownPoints(TouchdownFront, TouchdownLeft, TouchdownRight);
}

void Calvane::DefineMeshes() const {
  // Added first, all without offset, so the indices are 0 to 3 whatever
  // the visibility and shift steps below do.
  for (UINT i = 0; i < MillMeshCount; ++i) AddMesh(MillMeshes[i].name);
  for (UINT i = 0; i < MillMeshCount; ++i) SetMeshVisibilityMode(i, MillMeshes[i].firstVisibility);
  for (UINT i = 0; i < MillMeshCount; ++i) {
    if (IsShifted(MillMeshes[i].shift)) ShiftMesh(i, MillMeshes[i].shift);
  }
}
