// A celestial body vessels stand on and fly around, as the tree's
// Config/<Name>.cfg describes it: its mean radius, its mass (for gravity),
// its sidereal rotation, and where simhost keeps it. Its address is its
// OBJHANDLE.
//
// Bodies stand still in simhost's global frame, each at its own place, and
// turn about their own y axis: a landed vessel's place in the global frame
// is its body's position plus the body's rotation of its place in the body's
// frame.
#pragma once

#include <string>

#include "OrbiterAPI.h"

namespace simhost {

constexpr double kGravitationalConstant = 6.67430e-11;  // m^3 / (kg s^2)
// The date at which a body's rotation angle is its SidRotOffset.
constexpr double kRotationEpochMjd = 51544.5;

struct CelestialBody {
  std::string name;
  std::string file;            // the configuration it was read from, for messages
  double radius = 0;           // Size, m
  double mass = 0;             // kg
  double gm = 0;               // gravitational parameter, m^3/s^2
  double siderealPeriod = 0;   // SidRotPeriod, s; 0: the body does not turn
  double rotationOffset = 0;   // SidRotOffset, rad
  VECTOR3 position{};          // in the global frame, m

  // Set with the run's date: the rotation angle at simulation time 0, and
  // the rate from the period.
  double angleAtStart = 0;
  double angularRate = 0;  // rad/s
  void setDate(double mjd);

  // The rotation angle at a date, in [0, 2 pi).
  double rotationAngle(double mjd) const;
  double angleAt(double simt) const { return angleAtStart + angularRate * simt; }

  // The body's rotation, cached for the angle it was last asked at: a busy
  // world asks for it once per landed vessel.
  const MATRIX3 &rotationAt(double angle) const;

private:
  mutable double cachedAngle_ = -1;
  mutable MATRIX3 cachedRotation_{};
};

// Where a vessel is before its state names a body: no body of the world,
// at the origin, without size or gravity. A state is never applied on it.
const CelestialBody &nowhere();

// A body's OBJHANDLE: the simulator's handles are not const.
inline OBJHANDLE handleOf(const CelestialBody &body) { return const_cast<CelestialBody *>(&body); }

}  // namespace simhost
