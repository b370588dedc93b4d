#include "world/world_at_time.h"

namespace simhost {

void WorldAtTime::setDate(double mjd) {
  mjd0 = mjd;
  for (const auto &b : world.bodies()) b->setDate(mjd);
}

const CelestialBody *WorldAtTime::addBody(std::unique_ptr<CelestialBody> body) {
  body->setDate(mjd0);
  return world.addBody(std::move(body));
}

void WorldAtTime::rememberLandedFrame(const VesselRecord &v, double phi) {
  LandedFrame &f = landedFrame_;
  const MATRIX3 &turn = v.body->rotationAt(phi);
  f.rot = geo::mul(turn, surface::surfaceFrame(v.lon, v.lat, v.hdg));
  f.pos = geo::add(v.body->position, geo::mul(turn, v.bodyPos));
  f.body = v.body;
  f.bodyPos = v.bodyPos;
  f.vessel = &v;
  f.serial = v.serial;
  f.phi = phi;
  f.lon = v.lon;
  f.lat = v.lat;
  f.hdg = v.hdg;
}

}  // namespace simhost
