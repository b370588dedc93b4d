// Releasing cargo: the cargo of a slot becomes a free cargo vessel of the
// add-on again, set down beside the vessel when it stands on the ground, or
// let go at the slot's place with a push when it flies.
#include <cmath>
#include <cstdio>

#include "cargo_bay.h"

namespace {

const double Pi = 3.14159265358979;
// Released vessels are named <prefix>01, <prefix>02 ... up to this number.
const int LastReleaseNumber = 399;

VECTOR3 Add(const VECTOR3 &a, const VECTOR3 &b) { return _V(a.x + b.x, a.y + b.y, a.z + b.z); }

VECTOR3 Scale(const VECTOR3 &v, double f) { return _V(v.x * f, v.y * f, v.z * f); }

VECTOR3 TransposedTimes(const MATRIX3 &m, const VECTOR3 &v) {
  return _V(m.m11 * v.x + m.m21 * v.y + m.m31 * v.z, m.m12 * v.x + m.m22 * v.y + m.m32 * v.z,
            m.m13 * v.x + m.m23 * v.y + m.m33 * v.z);
}

MATRIX3 Times(const MATRIX3 &a, const MATRIX3 &b) {
  MATRIX3 product;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      double sum = 0;
      for (int k = 0; k < 3; ++k) {
        sum += a.data[row * 3 + k] * b.data[k * 3 + column];
      }
      product.data[row * 3 + column] = sum;
    }
  }
  return product;
}

MATRIX3 ElementaryRotation(int axis, double c, double s) {
  switch (axis) {
    case 0:
      return _M(1, 0, 0, 0, c, s, 0, -s, c);
    case 1:
      return _M(c, 0, s, 0, 1, 0, -s, 0, c);
    default:
      return _M(c, s, 0, -s, c, 0, 0, 0, 1);
  }
}

// "<forceName>NN", or "CARGNN" for cargo without a name prefix: the first
// number whose name no object has yet; the last number when all are taken.
void ComposeReleaseName(const CargoSlot &s, char *name, size_t capacity) {
  for (int number = 1; number <= LastReleaseNumber; ++number) {
    if (s.forceName[0] != '\0') {
      std::snprintf(name, capacity, "%s%02i", s.forceName, number);
    } else {
      std::snprintf(name, capacity, "CARG%02i", number);
    }
    if (!oapiGetObjectByName(name)) {
      return;
    }
  }
}

}  // namespace

int CargoBay::ReleaseCargo(int slot) {
  if (!addonPresent || slot < -1 || slot >= SlotCount || !vessel || !vesselHandle) {
    return 0;
  }
  SyncBaseEmptyMass();
  if (slot == -1) {
    for (int candidate = 0; candidate < SlotCount; ++candidate) {
      const CargoSlot &c = slots[candidate];
      if (c.declared == 1 && c.occupied == 1 && c.releasable == 1) {
        slot = candidate;
        break;
      }
    }
    if (slot == -1) {
      return 0;
    }
  }
  CargoSlot &s = slots[slot];
  if (!s.declared || !s.occupied || !s.releasable) {
    return 0;
  }
  VESSELSTATUS status;
  vessel->GetStatus(status);
  status.fuel = 0;
  status.eng_main = 0;
  status.eng_hovr = 0;
  // Below twice its centre-of-gravity height the vessel stands on the ground.
  const bool onGround = vessel->GetAltitude() < 2 * vessel->GetCOG_elev();

  char name[50];
  ComposeReleaseName(s, name, sizeof name);
  char className[sizeof s.cargoName + 16];
  std::snprintf(className, sizeof className, "UCGO\\Cargos\\%s", s.cargoName);

  const OBJHANDLE created =
      onGround ? CreateLandedCargo(s, name, className) : CreateFlyingCargo(s, status, name, className);
  if (!created) {
    return 0;  // the cargo stays aboard as it was
  }
  const double releasedMass = s.mass;
  EmptySlot(slot);
  if (onGround) {
    if (VESSEL *cargo = oapiGetVesselInterface(created)) {
      cargo->SetEmptyMass(releasedMass);
    }
  }
  return 1;
}

OBJHANDLE CargoBay::CreateLandedCargo(const CargoSlot &s, const char *name, const char *className) {
  VESSELSTATUS2 record{};
  record.version = 2;
  vessel->GetStatusEx(&record);
  VECTOR3 vesselPos;
  vessel->GetRelativePos(record.rbody, vesselPos);
  VECTOR3 releasePoint;
  vessel->Local2Rel(s.releasePosition, releasePoint);
  // Only the direction counts: a point just short of the release point,
  // seen from the body's centre.
  VECTOR3 direction = Add(vesselPos, Scale(releasePoint, 720));
  MATRIX3 bodyRotation;
  oapiGetRotationMatrix(record.rbody, &bodyRotation);
  VECTOR3 onBody = TransposedTimes(bodyRotation, direction);
  VECTOR3 unusedVelocity = _V(0, 0, 0);
  CartesianToPolar(onBody, unusedVelocity);
  record.surf_lng = onBody.y;
  record.surf_lat = onBody.z;
  record.status = 1;  // landed, with the vessel's own heading
  return oapiCreateVesselEx(name, className, &record);
}

OBJHANDLE CargoBay::CreateFlyingCargo(const CargoSlot &s, VESSELSTATUS &status, const char *name,
                                      const char *className) {
  vessel->Local2Rel(s.position, status.rpos);
  status.status = 0;
  const OBJHANDLE created = oapiCreateVessel(name, className, status);
  if (!created) {
    return nullptr;
  }
  // Undo the slot's mesh rotation so the cargo keeps the attitude it had
  // aboard.
  for (int axis = 0; axis < 3; ++axis) {
    RotateVesselAboutAxis(axis, -(s.rotation.data[axis] * Pi / 180), created);
  }
  if (VESSEL *cargo = oapiGetVesselInterface(created)) {
    cargo->SetEmptyMass(s.mass);
    const double mass = cargo->GetMass();
    cargo->AddForce(_V(0, 200 * releasePushFactor * mass, 0), _V(0, 0, 0));
  }
  return created;
}

void CargoBay::RotateVesselAboutAxis(int axis, double angle, OBJHANDLE target) {
  if (!target || axis < 0 || axis > 2) {
    return;
  }
  VESSEL *turned = oapiGetVesselInterface(target);
  if (!turned) {
    return;
  }
  MATRIX3 rotation;
  turned->GetRotationMatrix(rotation);
  const double a = static_cast<float>(angle);
  turned->SetRotationMatrix(Times(rotation, ElementaryRotation(axis, std::cos(a), std::sin(a))));
}

void CargoBay::CartesianToPolar(VECTOR3 &position, VECTOR3 &velocity) {
  const double x = position.x, y = position.y, z = position.z;
  const double vx = velocity.x, vy = velocity.y, vz = velocity.z;
  const double r = std::sqrt(x * x + y * y + z * z);
  const double vr = (x * vx + y * vy + z * vz) / r;
  position = _V(r, std::atan2(z, x), std::asin(y / r));
  velocity = _V(vr, (vz * x - vx * z) / (x * x + z * z), (vy * r - y * vr) / (r * std::sqrt(r * r - y * y)));
}
