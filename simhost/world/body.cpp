#include "world/body.h"

#include <cmath>

#include "world/geometry.h"

namespace simhost {

const CelestialBody &nowhere() {
  static const CelestialBody none{};
  return none;
}

void CelestialBody::setDate(double mjd) {
  angularRate = siderealPeriod > 0 ? 2 * geo::kPi / siderealPeriod : 0.0;
  angleAtStart = rotationAngle(mjd);
}

double CelestialBody::rotationAngle(double mjd) const {
  if (!(siderealPeriod > 0)) return std::fmod(rotationOffset, 2 * geo::kPi);
  // The period in days: the same figure a day-based epoch count divides by.
  const double turns = (mjd - kRotationEpochMjd) / (siderealPeriod / 86400.0);
  double phi = 2 * geo::kPi * (turns - std::floor(turns)) + rotationOffset;
  phi = std::fmod(phi, 2 * geo::kPi);
  if (phi < 0) phi += 2 * geo::kPi;
  return phi >= 2 * geo::kPi ? 0.0 : phi;
}

const MATRIX3 &CelestialBody::rotationAt(double angle) const {
  if (angle != cachedAngle_) {
    cachedRotation_ = surface::rotation(angle);
    cachedAngle_ = angle;
  }
  return cachedRotation_;
}

}  // namespace simhost
