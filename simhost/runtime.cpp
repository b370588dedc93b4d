#include "runtime.h"

#include "files/body_file.h"
#include "world/geometry.h"
#include "world/vessel_state.h"

namespace simhost {

Runtime::Runtime(std::string treeRoot) : ModuleHost(std::move(treeRoot)), classes(root, this) {}

Runtime::~Runtime() { deleteAllVessels(); }

const CelestialBody *Runtime::loadBody(const std::string &name, std::string &error, bool &missing) {
  missing = false;
  if (const CelestialBody *known = world.body(name)) return known;
  auto body = std::make_unique<CelestialBody>();
  const BodyFile read = readBodyFile(root, name, this, *body, error);
  missing = read == BodyFile::Missing;
  if (read != BodyFile::Read) return nullptr;
  return addBody(std::move(body));
}

void Runtime::moveVessels(double dt) {
  using namespace geo;
  // Only vessels that may be in flight are visited; one that has landed or
  // been attached since leaves the list (its force is already cleared).
  std::vector<VesselRecord *> &flying = world.flightList();
  size_t kept = 0;
  for (size_t i = 0; i < flying.size(); ++i) {
    VesselRecord *v = flying[i];
    FlightState &f = v->flight();
    if (v->landed || v->parentLink) {
      f.force = _V(0, 0, 0);
      v->listedFlying = false;
      continue;
    }
    flying[kept++] = v;
    const CelestialBody &body = *v->body;
    const VECTOR3 fromCentre = sub(f.pos, body.position);
    double r = length(fromCentre);
    VECTOR3 accel = r > 0 ? scale(fromCentre, -body.gm / (r * r * r)) : _V(0, 0, 0);
    if (v->emptyMass > 0) accel = add(accel, scale(mul(f.rot, f.force), 1.0 / v->emptyMass));
    f.force = _V(0, 0, 0);
    f.vel = add(f.vel, scale(accel, dt));
    f.pos = add(f.pos, scale(f.vel, dt));
    double w = length(f.angVel);
    if (w > 0) f.rot = orthonormalize(mul(f.rot, axisRotation(f.angVel, w * dt)));
    if (length(sub(f.pos, body.position)) - body.radius <= v->cogElev) landHere(*this, *v);
  }
  flying.resize(kept);
}

}  // namespace simhost
