#include "world/vessel_state.h"

#include <cmath>

#include "world/geometry.h"

namespace simhost {

using namespace geo;

namespace {

// An orthonormal frame from an attachment point's direction and rotation
// vectors: columns dir, rot (made perpendicular), dir x rot.
MATRIX3 attachmentFrame(const Attachment &a) {
  VECTOR3 d = unit(a.dir);
  if (length(d) == 0) d = _V(0, 0, 1);
  VECTOR3 r = sub(a.rot, scale(d, dot(a.rot, d)));
  if (length(r) < 1e-12) r = std::fabs(d.x) < 0.9 ? cross(d, _V(1, 0, 0)) : cross(d, _V(0, 1, 0));
  r = unit(r);
  return fromColumns(d, r, cross(d, r));
}

// Child frame to parent frame for a joined pair.
MATRIX3 childToParent(const Attachment &childPoint) {
  const Attachment &parentPoint = *childPoint.peer;
  return mul(attachmentFrame(parentPoint), transpose(attachmentFrame(childPoint)));
}

const VesselRecord &rootOf(const VesselRecord &v) {
  const VesselRecord *r = &v;
  while (r->parentLink) r = r->parentLink->peer->owner;
  return *r;
}

}  // namespace

MATRIX3 globalRotOfMoving(WorldAtTime &rt, const VesselRecord &v) {
  if (v.parentLink) return mul(globalRot(rt, *v.parentLink->peer->owner), childToParent(*v.parentLink));
  if (v.landed) return rt.landedRotation(v);
  return v.flightOrRest().rot;
}

VECTOR3 globalPosOfMoving(WorldAtTime &rt, const VesselRecord &v) {
  if (v.parentLink) {
    const Attachment &c = *v.parentLink;
    const VesselRecord &parent = *c.peer->owner;
    MATRIX3 rp = globalRot(rt, parent);
    MATRIX3 rc = mul(rp, childToParent(c));
    return sub(add(globalPos(rt, parent), mul(rp, c.peer->pos)), mul(rc, c.pos));
  }
  if (v.landed) return add(v.body->position, mul(rt.bodyMatrix(*v.body), v.bodyPos));
  return v.flightOrRest().pos;
}

const CelestialBody &bodyOf(const VesselRecord &v) { return *rootOf(v).body; }

VECTOR3 globalVel(WorldAtTime &rt, const VesselRecord &v) {
  const VesselRecord &root = rootOf(v);
  if (root.landed) return surface::surfaceVelocity(sub(globalPos(rt, v), root.body->position), root.body->angularRate);
  return root.flightOrRest().vel;
}

bool isLanded(const VesselRecord &v) { return v.landed && !v.parentLink; }

void surfacePosition(WorldAtTime &rt, const VesselRecord &v, double &lon, double &lat) {
  if (isLanded(v)) {
    lon = v.lon;
    lat = v.lat;
    return;
  }
  const CelestialBody &body = bodyOf(v);
  surface::lonLat(tmul(rt.bodyMatrix(body), sub(globalPos(rt, v), body.position)), lon, lat);
}

ViewFrame viewFrame(WorldAtTime &rt, const VesselRecord &v) { return {globalPos(rt, v), globalRot(rt, v)}; }

Standing standingOf(WorldAtTime &rt, const VesselRecord &v, const ViewFrame *seenFrom) {
  constexpr double kDeg = 180.0 / geo::kPi;
  Standing s;
  s.landed = isLanded(v);
  surfacePosition(rt, v, s.lon, s.lat);
  s.lon *= kDeg;
  s.lat *= kDeg;
  if (seenFrom) s.local = tmul(seenFrom->rot, sub(globalPos(rt, v), seenFrom->pos));
  return s;
}

void refreshLanded(VesselRecord &v) {
  v.bodyPos = scale(surface::up(v.lon, v.lat), v.body->radius + v.cogElev);
}

void setLanded(VesselRecord &v, double lon, double lat, double hdg) {
  v.landed = true;
  v.lon = std::remainder(lon, 2 * kPi);
  v.lat = lat;
  double h = std::fmod(hdg, 2 * kPi);
  v.hdg = h < 0 ? h + 2 * kPi : h;
  if (v.flightState) {
    FlightState &f = *v.flightState;
    f.vel = f.angVel = f.force = _V(0, 0, 0);
  }
  refreshLanded(v);
}

void setFlight(VesselRecord &v, const VECTOR3 &pos, const VECTOR3 &vel, const MATRIX3 &rot, const VECTOR3 &angVel) {
  v.landed = false;
  FlightState &f = v.flight();
  f.pos = pos;
  f.vel = vel;
  f.rot = orthonormalize(rot);
  f.angVel = angVel;
}

void landHere(WorldAtTime &rt, VesselRecord &v) {
  const CelestialBody &on = bodyOf(v);
  MATRIX3 m = rt.bodyMatrix(on);
  VECTOR3 place = tmul(m, sub(globalPos(rt, v), on.position));
  double lon, lat;
  surface::lonLat(place, lon, lat);
  VECTOR3 forward = tmul(m, column(globalRot(rt, v), 2));
  v.body = &on;
  setLanded(v, lon, lat, surface::heading(forward, lon, lat));
}

void fillStatus(WorldAtTime &rt, const VesselRecord &v, VESSELSTATUS &vs) {
  vs = VESSELSTATUS{};
  vs.rbody = handleOf(bodyOf(v));
  vs.rpos = sub(globalPos(rt, v), bodyOf(v).position);
  vs.rvel = globalVel(rt, v);
  vs.vrot = isLanded(v) ? _V(0, 0, 0) : v.flightOrRest().angVel;
  vs.arot = matrixToEuler(globalRot(rt, v));
  vs.status = isLanded(v) ? 1 : 0;
  if (isLanded(v)) vs.vdata[0] = _V(v.lon, v.lat, v.hdg);
}

void fillStatus2(WorldAtTime &rt, const VesselRecord &v, VESSELSTATUS2 &vs) {
  vs.flag = 0;
  vs.rbody = handleOf(bodyOf(v));
  vs.base = nullptr;
  vs.port = 0;
  vs.status = isLanded(v) ? 1 : 0;
  vs.rpos = sub(globalPos(rt, v), bodyOf(v).position);
  vs.rvel = globalVel(rt, v);
  vs.vrot = isLanded(v) ? _V(0, 0, 0) : v.flightOrRest().angVel;
  vs.arot = matrixToEuler(globalRot(rt, v));
  double lon, lat;
  surfacePosition(rt, v, lon, lat);
  vs.surf_lng = lon;
  vs.surf_lat = lat;
  vs.surf_hdg = isLanded(v) ? v.hdg
                            : surface::heading(tmul(rt.bodyMatrix(bodyOf(v)), column(globalRot(rt, v), 2)), lon, lat);
  vs.nfuel = vs.nthruster = vs.ndockinfo = 0;
  vs.xpdr = 0;
}

namespace {

// The record's body: one of the world's; none named keeps the vessel's own
// (an attached child's is its root's).
const CelestialBody *recordBody(WorldAtTime &rt, const VesselRecord &v, OBJHANDLE named) {
  if (named != nullptr) return rt.world.bodyFromHandle(named);
  return rootOf(v).body;
}

bool applyCommon(WorldAtTime &rt, VesselRecord &v, const CelestialBody *body, int status, const VECTOR3 &rpos,
                 const VECTOR3 &rvel, const VECTOR3 &arot, const VECTOR3 &vrot, double lng, double lat, double hdg) {
  if (body == nullptr || body == &nowhere()) return false;
  if (status == 1) {
    if (!std::isfinite(lng) || !std::isfinite(lat) || !std::isfinite(hdg) || std::fabs(lat) > kPi / 2)
      return false;
    if (v.parentLink) detach(rt, v.parentLink, 0);
    v.body = body;
    setLanded(v, lng, lat, hdg);
    return true;
  }
  if (!finite(rpos) || !finite(rvel) || !finite(arot) || !finite(vrot)) return false;
  if (v.parentLink) detach(rt, v.parentLink, 0);
  v.body = body;
  setFlight(v, add(body->position, rpos), rvel, eulerToMatrix(arot), vrot);
  rt.world.noteFlight(&v);
  return true;
}

}  // namespace

bool applyStatus(WorldAtTime &rt, VesselRecord &v, const VESSELSTATUS &vs) {
  return applyCommon(rt, v, recordBody(rt, v, vs.rbody), vs.status, vs.rpos, vs.rvel, vs.arot, vs.vrot, vs.vdata[0].x, vs.vdata[0].y,
                     vs.vdata[0].z);
}

bool applyStatus2(WorldAtTime &rt, VesselRecord &v, const VESSELSTATUS2 &vs) {
  if (vs.version != 2) return false;
  return applyCommon(rt, v, recordBody(rt, v, vs.rbody), vs.status, vs.rpos, vs.rvel, vs.arot, vs.vrot, vs.surf_lng, vs.surf_lat, vs.surf_hdg);
}

VESSELSTATUS2 toStatus2(const VESSELSTATUS &vs) {
  VESSELSTATUS2 s{};
  s.version = 2;
  s.rbody = vs.rbody;
  s.base = vs.base;
  s.port = vs.port;
  s.status = vs.status;
  s.rpos = vs.rpos;
  s.rvel = vs.rvel;
  s.vrot = vs.vrot;
  s.arot = vs.arot;
  s.surf_lng = vs.vdata[0].x;
  s.surf_lat = vs.vdata[0].y;
  s.surf_hdg = vs.vdata[0].z;
  return s;
}

double cogElevation(const VECTOR3 td[3]) {
  VECTOR3 n = cross(sub(td[1], td[0]), sub(td[2], td[0]));
  double l = length(n);
  if (l == 0) return std::fabs(td[0].y);
  return std::fabs(dot(n, td[0])) / l;
}

bool attach(WorldAtTime &rt, Attachment *p, Attachment *c) {
  if (!p || !c || p->toParent || !c->toParent || p->peer || c->peer) return false;
  VesselRecord *parent = p->owner, *child = c->owner;
  if (parent == child || child->parentLink) return false;
  for (const VesselRecord *a = parent; a; a = a->parentLink ? a->parentLink->peer->owner : nullptr)
    if (a == child) return false;
  (void)rt;
  p->peer = c;
  c->peer = p;
  child->parentLink = c;
  if (child->flightState) child->flightState->force = _V(0, 0, 0);
  return true;
}

bool detach(WorldAtTime &rt, Attachment *a, double vel) {
  if (!a || !a->peer) return false;
  Attachment *c = a->toParent ? a : a->peer;
  Attachment *p = c->peer;
  VesselRecord *child = c->owner;
  VECTOR3 pos = globalPos(rt, *child);
  MATRIX3 rot = globalRot(rt, *child);
  VECTOR3 v = globalVel(rt, *child);
  VECTOR3 push = scale(mul(globalRot(rt, *p->owner), unit(p->dir)), vel);
  child->body = &bodyOf(*child);
  p->peer = nullptr;
  c->peer = nullptr;
  child->parentLink = nullptr;
  setFlight(*child, pos, add(v, push), rot, _V(0, 0, 0));
  rt.world.noteFlight(child);
  return true;
}

void detachAll(WorldAtTime &rt, VesselRecord &v) {
  for (size_t i = 0; i < v.parentPoints.size(); ++i)
    if (v.parentPoints[i]->peer) detach(rt, v.parentPoints[i], 0);
  for (size_t i = 0; i < v.childPoints.size(); ++i)
    if (v.childPoints[i]->peer) detach(rt, v.childPoints[i], 0);
}

}  // namespace simhost
