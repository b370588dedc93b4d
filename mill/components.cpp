// The mill's two components, set up with the values that make it the ore
// mill: its airlock, its one action area and its one cargo slot.
#include "calvane.h"

namespace {

// Airlock box, vessel frame, m; the door starts closed.
const int AirlockDoorState = 0;
const float AirlockXMin = -3.0f, AirlockXMax = 3.0f;
const float AirlockYMin = 0.0f, AirlockYMax = 4.0f;
const float AirlockZMin = -7.0f, AirlockZMax = 7.0f;

// The action area crew outside activate to build the mill and switch it.
const int ActionArea = 1;
const VECTOR3 ActionAreaCentre = {{5.0, 0.0, 2.2}};
const double ActionAreaRadius = 5.0;  // m
const char ActionAreaSound[] = "action_clickOk.wav";

const VECTOR3 EvaStartPosition = {{1.7, 1.2, -0.2}};
const VECTOR3 EvaStartRotation = {{0.0, 0.0, 0.0}};
const int Seats = 1;

// The single cargo slot, where ore boxes wait for release.
const int OreSlot = 0;
const VECTOR3 OreSlotPosition = {{-7.0, 0.0, 0.0}};
const VECTOR3 OreSlotRotation = {{0.0, 0.0, 0.0}};
const double MaxCargoMass = 1e7;   // kg
const int GrappleDistance = 10;    // m
const int OreSlotMeshVisibility = MESHVIS_ALWAYS;

}  // namespace

void Calvane::SetUpComponents() {
  // Results are not tested: a component that refuses its set-up stays inert
  // and says so in its own advisory, and the mill stands all the same.
  OBJHANDLE self = GetHandle();
  crewRoster.Init(self);
  crewRoster.DefineAirlock(AirlockDoorState, AirlockXMin, AirlockXMax, AirlockYMin, AirlockYMax, AirlockZMin,
                           AirlockZMax);
  crewRoster.DeclareActionArea(ActionArea, ActionAreaCentre, ActionAreaRadius, 1, ActionAreaSound, nullptr);
  crewRoster.SetEvaStartPose(EvaStartPosition, EvaStartRotation);
  crewRoster.SetMaxSeats(Seats);

  cargoBay.Init(self);
  cargoBay.DeclareCargoSlot(OreSlot, OreSlotPosition, OreSlotRotation);
  cargoBay.SetMaxCargoMass(MaxCargoMass);
  cargoBay.SetGrappleDistance(GrappleDistance);
  cargoBay.SetSlotMeshVisibilityMode(OreSlot, OreSlotMeshVisibility);
}

void Calvane::clbkVisualCreated(VISHANDLE vis, int /*refcount*/) { cargoBay.VisualCreated(vis); }
