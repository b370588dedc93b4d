// Where a vessel is and how it is turned, whichever way it lives (landed,
// in flight, attached to a parent), and the conversions to and from the
// simulator's status records. The VESSEL methods, the oapi functions, the
// scenario files and the physics all go through these, so they agree.
#pragma once

#include "world/world_at_time.h"

namespace simhost {

// The general cases: attached children and vessels in flight.
VECTOR3 globalPosOfMoving(WorldAtTime &rt, const VesselRecord &v);
MATRIX3 globalRotOfMoving(WorldAtTime &rt, const VesselRecord &v);
// A landed vessel's place turns with its body, whose rotation is computed
// once per frame: these are asked for every vessel of a busy world's scans.
inline VECTOR3 globalPos(WorldAtTime &rt, const VesselRecord &v) {
  if (!v.parentLink && v.landed) return geo::add(v.body->position, geo::mul(rt.bodyMatrix(*v.body), v.bodyPos));
  return globalPosOfMoving(rt, v);
}
inline MATRIX3 globalRot(WorldAtTime &rt, const VesselRecord &v) {
  if (!v.parentLink && v.landed) return rt.landedRotation(v);
  return globalRotOfMoving(rt, v);
}
VECTOR3 globalVel(WorldAtTime &rt, const VesselRecord &v);
// The body the vessel stands on or flies around: an attached child's is its
// root's.
const CelestialBody &bodyOf(const VesselRecord &v);
// "landed" or "flight" as the scenario and the events say it.
bool isLanded(const VesselRecord &v);
// Longitude and latitude (radians) on its body under the vessel.
void surfacePosition(WorldAtTime &rt, const VesselRecord &v, double &lon, double &lat);

// A vessel's place and turn in the global frame, to see others from.
struct ViewFrame {
  VECTOR3 pos{};
  MATRIX3 rot{};
};
ViewFrame viewFrame(WorldAtTime &rt, const VesselRecord &v);
// Where a vessel stands as the operator is told: landed or in flight, the
// point below it in degrees, and its place in the frame it is seen from.
struct Standing {
  bool landed = true;
  double lon = 0, lat = 0;
  VECTOR3 local{};  // zero without a frame
};
Standing standingOf(WorldAtTime &rt, const VesselRecord &v, const ViewFrame *seenFrom);

// Puts the vessel down at lon, lat (radians) with heading hdg; detaches it
// from a parent.
void setLanded(VesselRecord &v, double lon, double lat, double hdg);
void setFlight(VesselRecord &v, const VECTOR3 &pos, const VECTOR3 &vel, const MATRIX3 &rot, const VECTOR3 &angVel);
// A landed vessel's place again, after its touchdown points changed.
void refreshLanded(VesselRecord &v);
// Lands a vessel in flight where it is, heading along its forward axis.
void landHere(WorldAtTime &rt, VesselRecord &v);

void fillStatus(WorldAtTime &rt, const VesselRecord &v, VESSELSTATUS &vs);
void fillStatus2(WorldAtTime &rt, const VesselRecord &v, VESSELSTATUS2 &vs);
// Sets the vessel's state from a record; false (nothing changed) when the
// record's reference body is not one of the world's or its numbers are not
// finite. A record's positions and velocities are relative to its body.
bool applyStatus(WorldAtTime &rt, VesselRecord &v, const VESSELSTATUS &vs);
bool applyStatus2(WorldAtTime &rt, VesselRecord &v, const VESSELSTATUS2 &vs);
VESSELSTATUS2 toStatus2(const VESSELSTATUS &vs);

// Height of the centre of gravity above the plane of the touchdown points.
double cogElevation(const VECTOR3 td[3]);

// ---- attachments
// The vessel's point behind a handle; null for anything else.
inline Attachment *findAttachment(const VesselRecord &v, const void *handle) {
  const auto *point = static_cast<const Attachment *>(handle);
  if (!point || (v.parentPoints.indexOf(point) < 0 && v.childPoints.indexOf(point) < 0)) return nullptr;
  return const_cast<Attachment *>(point);
}
// Joins child's point c to parent's point p; false when either is taken or
// the child would end up among its own ancestors.
bool attach(WorldAtTime &rt, Attachment *p, Attachment *c);
// Frees the child at the point (of either side) with a push of vel along the
// parent point's direction; false when nothing is attached there.
bool detach(WorldAtTime &rt, Attachment *a, double vel);
void detachAll(WorldAtTime &rt, VesselRecord &v);

}  // namespace simhost
