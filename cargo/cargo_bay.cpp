// Set-up of the cargo bay and its slots: the add-on check, slot
// declarations, the setters, the release-point grid and the slot meshes'
// orientation.
#include "cargo_bay.h"

#include <cstdio>

#include "host_extras.h"

namespace {

// The cargo add-on counts as installed when this file of it exists.
const char *const AddonMarkerFile = "Meshes\\UniversalCars\\bin\\ConfigDarkScreen.msh";
const double Pi = 3.14159265358979;

void ClearSlot(CargoSlot &s) {
  s.declared = 0;
  s.occupied = 0;
  s.releasable = 1;
  s.position = _V(0, 0, 0);
  s.releasePosition = _V(0, 0, 0);
  s.rotation = _V(0, 0, 0);
  s.description[0] = '\0';
  s.cargoName[0] = '\0';
  s.forceName[0] = '\0';
  s.mass = 0;
  s.meshVisibilityMode = 1;
}

bool AddonMarkerExists() {
  FILE *marker = hostOpenFile(AddonMarkerFile, "r");
  if (!marker) {
    return false;
  }
  std::fclose(marker);
  return true;
}

}  // namespace

int CargoBay::Init(OBJHANDLE handle) {
  // Init always starts afresh, also over an earlier set-up.
  for (CargoSlot &s : slots) {
    ClearSlot(s);
  }
  setupState = 0;
  keptLineCount = 0;
  addonPresent = AddonMarkerExists() ? 1 : 0;
  vesselHandle = handle;
  vessel = nullptr;
  adjustEmptyMass = 1;
  grappleDistance = 50;
  cargoCount = 0;
  releasePushFactor = 0.05;
  cargoMassTotal = 0;
  maxCargoMass = 1000000;
  SetReleasePosition(_V(0, 0, 0));
  if (!vesselHandle) {
    return 0;
  }
  vessel = oapiGetVesselInterface(vesselHandle);
  if (!vessel) {
    return 0;
  }
  baseEmptyMass = -1;
  advisoryUntil = -1;
  if (!addonPresent) {
    advisoryUntil = oapiGetSysTime() + 30;
    return 0;
  }
  setupState = SetupInitialised;
  return 1;
}

void CargoBay::DeclareCargoSlot(int slot, VECTOR3 meshPosition, VECTOR3 meshRotationDeg) {
  if (!IsSlotIndex(slot) || !addonPresent) {
    return;
  }
  if (setupState != SetupInitialised && setupState != SetupReady) {
    // Declaring before a complete Init is a set-up fault of the vessel:
    // the bay switches itself off rather than act on half a set-up.
    addonPresent = 0;
    return;
  }
  CargoSlot &s = slots[slot];
  s.position = meshPosition;
  s.rotation = meshRotationDeg;
  s.declared = 1;
  s.releasable = 1;
  s.meshVisibilityMode = 1;
  s.occupied = 0;
  s.description[0] = '\0';
  s.cargoName[0] = '\0';
  s.forceName[0] = '\0';
  setupState = SetupReady;
}

void CargoBay::SetMaxCargoMass(double kg) {
  if (addonPresent && kg >= 0 && kg <= 10000000) {
    maxCargoMass = kg;
  }
}

void CargoBay::SetGrappleDistance(int metres) {
  if (addonPresent && metres >= 3 && metres <= 10000) {
    grappleDistance = metres;
  }
}

void CargoBay::SetSlotMeshVisibilityMode(int slot, int mode) {
  if (!addonPresent || !IsSlotIndex(slot) || !slots[slot].declared) {
    return;
  }
  slots[slot].meshVisibilityMode = mode;
  if (slots[slot].occupied && vessel) {
    vessel->SetMeshVisibilityMode(static_cast<UINT>(slot + FirstSlotMesh), static_cast<WORD>(mode));
  }
}

void CargoBay::ResetSlot(int slot) {
  if (addonPresent && IsSlotIndex(slot)) {
    ClearSlot(slots[slot]);
  }
}

void CargoBay::SetReleasePosition(VECTOR3 p) {
  if (!addonPresent) {
    return;
  }
  // Four release points a row, 1.4 m apart, rows stepping towards -z.
  for (int k = 0; k < SlotCount; ++k) {
    const int column = k % 4 + 1;
    const int row = k / 4;
    slots[k].releasePosition = _V(p.x + 1.4 * column - 3.5, p.y, p.z - 1.4 * row);
  }
}

void CargoBay::ApplySlotRotation(int slot, VISHANDLE visual) {
  if (!IsSlotIndex(slot) || !vessel || !vesselHandle) {
    return;
  }
  const CargoSlot &s = slots[slot];
  if (!s.declared || !s.occupied) {
    return;
  }
  if (!visual) {
    VISHANDLE *current = oapiObjectVisualPtr(vesselHandle);
    if (!current || !*current) {
      return;  // applied when the next visual is created
    }
    visual = *current;
  }
  MESHGROUP_TRANSFORM turn{};
  turn.transform = MESHGROUP_TRANSFORM::ROTATE;
  turn.nmesh = slot + FirstSlotMesh;
  turn.ngrp = -1;
  turn.P.rotparam.ref = _V(0, 0, 0);
  const VECTOR3 axes[3] = {_V(1, 0, 0), _V(0, 1, 0), _V(0, 0, 1)};
  for (int axis = 0; axis < 3; ++axis) {
    const double degrees = s.rotation.data[axis];
    if (degrees == 0) {
      continue;
    }
    turn.P.rotparam.axis = axes[axis];
    turn.P.rotparam.angle = static_cast<float>(degrees * Pi / 180);
    vessel->MeshgroupTransform(visual, turn);
  }
}

void CargoBay::VisualCreated(VISHANDLE visual) {
  if (!addonPresent || !visual) {
    return;
  }
  for (int slot = 0; slot < SlotCount; ++slot) {
    ApplySlotRotation(slot, visual);
  }
}
