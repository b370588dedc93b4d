// Consuming cargo: the vessel takes a mass of cargo of a kind (a piece of
// its description) out of the world, from free cargo vessels lying within
// reach first and from matching cargo aboard when none is near.
#include <cmath>
#include <cstring>

#include "cargo_bay.h"

namespace {

// A consumption is complete once it is this close to the mass asked for.
const double ConsumeTolerance = 45.0;
// Cargo whose vessel has both of these control-mode bits set is not free.
const int HeldControlModeBits = 0x18;

// Free cargo of the add-on: a parent attachment point with the cargo id,
// and no parent point attached to anything.
bool IsFreeCargoVessel(const VESSEL &candidate) {
  const DWORD points = candidate.AttachmentCount(true);
  if (points == 0) {
    return false;
  }
  bool attached = false;
  bool hasCargoPoint = false;
  for (DWORD j = 0; j < points; ++j) {
    ATTACHMENTHANDLE point = candidate.GetAttachmentHandle(true, j);
    if (!point) {
      continue;
    }
    if (candidate.GetAttachmentStatus(point)) {
      attached = true;
    }
    const char *id = candidate.GetAttachmentId(point);
    if (id && std::strcmp(id, "UCGOCG") == 0) {
      hasCargoPoint = true;
    }
  }
  return hasCargoPoint && !attached;
}

double Distance(const VECTOR3 &a, const VECTOR3 &b) {
  const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The vessel's frame is the global frame turned and shifted, which keeps
// distances: a vessel farther than limit in the global frame, by more than
// rounding could ever add (here a millimetre and a millionth), is farther
// in the vessel's frame too and needs no conversion to be turned away.
bool SurelyFartherThan(const VECTOR3 &a, const VECTOR3 &b, double limit) {
  if (!(limit >= 0)) {
    return false;
  }
  const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  const double rough = limit * (1 + 1e-6) + 1e-3;
  return dx * dx + dy * dy + dz * dz > rough * rough;
}

}  // namespace

double CargoBay::ConsumeCargo(const char *description, double kg) {
  if (!addonPresent || !vessel || !vesselHandle || !description) {
    return -1;
  }
  if (baseEmptyMass < 0) {
    baseEmptyMass = vessel->GetEmptyMass();
  }
  double taken = 0;
  while (taken < kg - ConsumeTolerance) {
    const double t = TakeCargoMass(description, kg - taken);
    if (t <= -1) {
      break;
    }
    taken += t;
  }
  return taken != 0 ? taken : -1;
}

double CargoBay::TakeCargoMass(const char *description, double kg) {
  if (!addonPresent || !vessel || !vesselHandle || !description || !(kg > 0)) {
    return -1;
  }
  SyncBaseEmptyMass();
  CargoSearchResult found;
  if (FindNearestFreeCargo(&found, description)) {
    if (kg >= found.mass) {
      // A cargo vessel that cannot be deleted gave nothing; it must not be
      // counted again and again.
      return oapiDeleteVessel(found.handle) ? found.mass : -1;
    }
    found.vessel->SetEmptyMass(found.mass - kg);
    return kg;
  }
  return TakeFromCargoAboard(description, kg);
}

double CargoBay::TakeFromCargoAboard(const char *description, double kg) {
  for (int slot = 0; slot < SlotCount; ++slot) {
    CargoSlot &s = slots[slot];
    if (s.declared != 1 || s.occupied != 1 || !(s.mass > 0) || !FindNoCase(s.description, description)) {
      continue;
    }
    if (kg >= s.mass) {
      const double taken = s.mass;
      EmptySlot(slot);
      return taken;
    }
    s.mass -= kg;
    RecountCargo();
    ApplyEmptyMass();
    return kg;
  }
  return -1;
}

OBJHANDLE CargoBay::FindNearestFreeCargo(CargoSearchResult *result, const char *description) {
  if (!result || !addonPresent) {
    return nullptr;
  }
  *result = CargoSearchResult{};
  if (!vessel) {
    return nullptr;
  }
  double best = 10000;
  OBJHANDLE found = nullptr;
  VECTOR3 ownGlobal;
  oapiGetGlobalPos(vesselHandle, &ownGlobal);
  VECTOR3 own;
  vessel->Global2Local(ownGlobal, own);
  // The list may shrink while the mill consumes, so its length is read
  // for every vessel.
  for (DWORD i = 0; i < oapiGetVesselCount(); ++i) {
    OBJHANDLE h = oapiGetVesselByIndex(i);
    if (!h || h == vesselHandle) {
      continue;
    }
    // The distance first: it turns away almost every vessel of a busy world
    // with one or two host calls. The tests it overtakes only read, and a
    // vessel turned away by any test leaves the best so far as it was, so
    // the vessel found is the one the add-on's order of tests gives, and the
    // cargo file, still the last test, is read for the same vessels.
    VECTOR3 global;
    oapiGetGlobalPos(h, &global);
    if (SurelyFartherThan(global, ownGlobal, grappleDistance < best ? grappleDistance : best)) {
      continue;
    }
    VECTOR3 local;
    vessel->Global2Local(global, local);
    const double d = Distance(local, own);
    // At equal distance the later vessel wins.
    if (d > grappleDistance || d > best) {
      continue;
    }
    VESSEL *candidate = oapiGetVesselInterface(h);
    if (!candidate) {
      continue;
    }
    const char *className = candidate->GetClassNameA();
    if (!className || !IsFreeCargoVessel(*candidate)) {
      continue;
    }
    if ((candidate->GetADCtrlMode() & HeldControlModeBits) == HeldControlModeBits) {
      continue;
    }
    // The cargo file is read last: only for free cargo near enough to win.
    if (description && description[0] != '\0' && ClassDescriptionContains(className, description) != 1) {
      continue;
    }
    best = d;
    result->distance = d;
    result->mass = candidate->GetMass();
    result->handle = h;
    result->vessel = candidate;
    found = h;
  }
  return found;
}
