#include "world/world_at_time.h"

namespace simhost {

void WorldAtTime::turnMoonMatrix(double phi) {
  matrix_ = moon::rotation(phi);
  matrixPhi_ = phi;
}

void WorldAtTime::rememberLandedFrame(const VesselRecord &v, double phi) {
  LandedFrame &f = landedFrame_;
  f.rot = geo::mul(moonMatrix(), moon::surfaceFrame(v.lon, v.lat, v.hdg));
  f.pos = geo::mul(moonMatrix(), v.bodyPos);
  f.bodyPos = v.bodyPos;
  f.vessel = &v;
  f.serial = v.serial;
  f.phi = phi;
  f.lon = v.lon;
  f.lat = v.lat;
  f.hdg = v.hdg;
}

}  // namespace simhost
