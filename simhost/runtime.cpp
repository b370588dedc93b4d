#include "runtime.h"

#include "world/geometry.h"
#include "plugin/modules.h"
#include "world/vessel_state.h"

namespace simhost {

namespace {

// Reaches VESSEL's protected version field through a pointer to member,
// which is well defined for any VESSEL object.
struct VersionAccess : VESSEL {
  static short VESSEL::*field() { return &VersionAccess::version; }
};

}  // namespace

Runtime *g_currentRuntime = nullptr;
void setCurrentRuntime(Runtime *rt) { g_currentRuntime = rt; }

VESSEL2 *callbacksOf(VesselRecord *vessel) {
  if (!vessel || !vessel->iface) return nullptr;
  if (vessel->iface->*VersionAccess::field() < 1) return nullptr;
  return static_cast<VESSEL2 *>(vessel->iface);
}

Runtime::Runtime(std::string treeRoot) : root(std::move(treeRoot)), classes(root), meshes(root) {
  phi0 = moon::rotationAngle(mjd0);
}

Runtime::~Runtime() { deleteAllVessels(); }

void Runtime::turnMoonMatrix(double phi) {
  matrix_ = moon::rotation(phi);
  matrixPhi_ = phi;
}

void Runtime::rememberLandedRotation(const VesselRecord &v, double phi) {
  LandedFrame &f = landedFrame_;
  f.rot = geo::mul(moonMatrix(), moon::surfaceFrame(v.lon, v.lat, v.hdg));
  f.vessel = &v;
  f.serial = v.serial;
  f.phi = phi;
  f.lon = v.lon;
  f.lat = v.lat;
  f.hdg = v.hdg;
}

void Runtime::report(Event event) {
  if (!observer) return;
  event["t"] = simt;
  event["sys"] = sysT;
  if (holdEvents) {
    heldEvents.push_back(std::move(event));
    return;
  }
  if (observer) observer(event);
}

void Runtime::releaseHeldEvents() {
  holdEvents = false;
  std::vector<Event> events;
  events.swap(heldEvents);
  if (observer)
    for (const auto &e : events) observer(e);
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
    double r = length(f.pos);
    VECTOR3 accel = r > 0 ? scale(f.pos, -moon::kGM / (r * r * r)) : _V(0, 0, 0);
    if (v->emptyMass > 0) accel = add(accel, scale(mul(f.rot, f.force), 1.0 / v->emptyMass));
    f.force = _V(0, 0, 0);
    f.vel = add(f.vel, scale(accel, dt));
    f.pos = add(f.pos, scale(f.vel, dt));
    double w = length(f.angVel);
    if (w > 0) f.rot = orthonormalize(mul(f.rot, axisRotation(f.angVel, w * dt)));
    if (length(f.pos) - moon::kRadius <= v->cogElev) landHere(*this, *v);
  }
  flying.resize(kept);
}

}  // namespace simhost

namespace simhost {
std::string currentTreeRoot() {
  Runtime *rt = currentRuntime();
  return rt ? rt->root : ".";
}
}  // namespace simhost
