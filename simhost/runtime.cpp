#include "runtime.h"

#include "geometry.h"
#include "modules.h"
#include "vessel_state.h"

namespace simhost {

namespace {

Runtime *g_current = nullptr;

// Reaches VESSEL's protected version field through a pointer to member,
// which is well defined for any VESSEL object.
struct VersionAccess : VESSEL {
  static short VESSEL::*field() { return &VersionAccess::version; }
};

}  // namespace

Runtime *currentRuntime() { return g_current; }
void setCurrentRuntime(Runtime *rt) { g_current = rt; }

VESSEL2 *callbacksOf(VesselRecord *vessel) {
  if (!vessel || !vessel->iface) return nullptr;
  if (vessel->iface->*VersionAccess::field() < 1) return nullptr;
  return static_cast<VESSEL2 *>(vessel->iface);
}

Runtime::Runtime(std::string treeRoot) : root(std::move(treeRoot)), classes(root), meshes(root) {
  phi0 = moon::rotationAngle(mjd0);
}

Runtime::~Runtime() { deleteAllVessels(); }

double Runtime::moonAngle() const { return phi0 + moon::kAngularRate * simt; }

const MATRIX3 &Runtime::moonMatrix() {
  double phi = moonAngle();
  if (phi != matrixPhi_) {
    matrix_ = moon::rotation(phi);
    matrixPhi_ = phi;
  }
  return matrix_;
}

void Runtime::report(Event event) {
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
    if (v->landed || v->parentLink) {
      v->force = _V(0, 0, 0);
      v->listedFlying = false;
      continue;
    }
    flying[kept++] = v;
    double r = length(v->pos);
    VECTOR3 accel = r > 0 ? scale(v->pos, -moon::kGM / (r * r * r)) : _V(0, 0, 0);
    if (v->emptyMass > 0) accel = add(accel, scale(mul(v->rot, v->force), 1.0 / v->emptyMass));
    v->force = _V(0, 0, 0);
    v->vel = add(v->vel, scale(accel, dt));
    v->pos = add(v->pos, scale(v->vel, dt));
    double w = length(v->angVel);
    if (w > 0) v->rot = orthonormalize(mul(v->rot, axisRotation(v->angVel, w * dt)));
    if (length(v->pos) - moon::kRadius <= v->cogElev) landHere(*this, *v);
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
