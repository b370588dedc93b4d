// The VESSEL methods: what any vessel's interface does on the host's record
// behind it. The VESSEL object's `vessel` field is the record's address.

#include <cmath>
#include <cstdio>
#include <cstring>

#include "files/scenario.h"
#include "plugin/vessel_lines.h"
#include "plugin/module_host.h"
#include "world/geometry.h"
#include "world/vessel_state.h"

using namespace simhost;

namespace {

constexpr UINT kMeshIndexLimit = 65536;  // mesh indices beyond are refused
constexpr UINT kNoMesh = static_cast<UINT>(-1);

VesselRecord *recordOf(void *vessel) { return static_cast<VesselRecord *>(vessel); }

bool meshEventSeen(ModuleHost &rt, const VesselRecord &v) { return v.announced && rt.reporting(); }

Event meshEvent(const VesselRecord &v, UINT index, MeshAction action) {
  Event e = Event::of(EventKind::Mesh, v.name);
  e.index = index;
  e.meshAction = action;
  return e;
}

std::array<double, 3> vec(const VECTOR3 &v) { return {v.x, v.y, v.z}; }

void trimMeshes(VesselRecord &v) {
  while (!v.meshes.empty() && !v.meshes.back().used) v.meshes.pop_back();
}

UINT putMesh(ModuleHost &rt, VesselRecord &v, UINT idx, const std::string &name, const MeshData *mesh,
             const VECTOR3 *ofs, MeshAction action) {
  if (idx >= kMeshIndexLimit) return kNoMesh;
  if (idx >= v.meshes.size()) v.meshes.resize(idx + 1);
  MeshSlot &slot = v.meshes[idx];
  slot = MeshSlot();
  slot.used = true;
  slot.name = rt.world.keepText(name);
  slot.mesh = mesh;
  slot.offset = ofs ? *ofs : _V(0, 0, 0);
  if (meshEventSeen(rt, v)) {
    Event e = meshEvent(v, idx, action);
    e.mesh = name;
    e.offsetKnown = true;
    e.offset = vec(slot.offset);
    rt.report(std::move(e));
  }
  return idx;
}

const MeshData *meshOfHandle(ModuleHost &rt, MESHHANDLE h) {
  return rt.meshes.owns(h) ? static_cast<const MeshData *>(h) : nullptr;
}

}  // namespace

#define RECORD_OR(fallback)                  \
  ModuleHost *rtp = currentHost();           \
  VesselRecord *v = recordOf(vessel);        \
  if (!rtp || !v) return fallback;           \
  ModuleHost &rt = *rtp;                     \
  (void)rt;

VESSEL::VESSEL(OBJHANDLE hVessel, int fmodel)
    : vessel(hVessel), flightmodel(static_cast<short>(fmodel)), version(0) {}
VESSEL::~VESSEL() = default;

// The published declaration returns a const-qualified handle.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wignored-qualifiers"
const OBJHANDLE VESSEL::GetHandle() const { return vessel; }
#pragma GCC diagnostic pop
char *VESSEL::GetName() const {
  VesselRecord *v = recordOf(vessel);
  return v ? v->name.data() : nullptr;
}
char *VESSEL::GetClassNameA() const {
  VesselRecord *v = recordOf(vessel);
  // The SDK's signature hands out a writable pointer; the text is the
  // world's, shared by the vessels of the class, and only to be read.
  return v ? const_cast<char *>(v->className.data()) : nullptr;
}
int VESSEL::GetFlightModel() const { return flightmodel; }

// ---------------------------------------------------------------- definition

void VESSEL::SetSize(double size) const {
  RECORD_OR();
  if (std::isfinite(size) && size > 0) v->size = size;
}
double VESSEL::GetSize() const {
  RECORD_OR(0.0);
  return v->size;
}
void VESSEL::SetEmptyMass(double m) const {
  RECORD_OR();
  if (!std::isfinite(m) || m < 0 || m == v->emptyMass) return;
  v->emptyMass = m;
  if (v->announced && rt.reporting()) {
    Event e = Event::of(EventKind::Mass, v->name);
    e.emptyMass = m;
    rt.report(std::move(e));
  }
}
double VESSEL::GetEmptyMass() const {
  RECORD_OR(0.0);
  return v->emptyMass;
}
double VESSEL::GetMass() const {
  RECORD_OR(0.0);
  return v->emptyMass;
}
void VESSEL::SetCameraOffset(const VECTOR3 &co) const {
  RECORD_OR();
  v->shape().cameraOffset = co;
}
void VESSEL::SetCameraDefaultDirection(const VECTOR3 &cd) const {
  RECORD_OR();
  v->shape().cameraDir = cd;
}
void VESSEL::SetTouchdownPoints(const VECTOR3 &pt1, const VECTOR3 &pt2, const VECTOR3 &pt3) const {
  RECORD_OR();
  if (!geo::finite(pt1) || !geo::finite(pt2) || !geo::finite(pt3)) return;
  VECTOR3 *points = v->shape().touchdown;
  points[0] = pt1;
  points[1] = pt2;
  points[2] = pt3;
  v->cogElev = cogElevation(points);
  if (v->landed) refreshLanded(*v);
}
double VESSEL::GetCOG_elev() const {
  RECORD_OR(0.0);
  return v->cogElev;
}

// ---------------------------------------------------------------- meshes

UINT VESSEL::AddMesh(const char *meshname, const VECTOR3 *ofs) const {
  RECORD_OR(kNoMesh);
  if (!meshname) return kNoMesh;
  return putMesh(rt, *v, static_cast<UINT>(v->meshes.size()), meshname, rt.meshes.load(meshname), ofs, MeshAction::Added);
}
UINT VESSEL::AddMesh(MESHHANDLE hMesh, const VECTOR3 *ofs) const {
  RECORD_OR(kNoMesh);
  const MeshData *mesh = meshOfHandle(rt, hMesh);
  if (!mesh) return kNoMesh;
  return putMesh(rt, *v, static_cast<UINT>(v->meshes.size()), mesh->name, mesh, ofs, MeshAction::Added);
}
UINT VESSEL::InsertMesh(const char *meshname, UINT idx, const VECTOR3 *ofs) const {
  RECORD_OR(kNoMesh);
  if (!meshname) return kNoMesh;
  return putMesh(rt, *v, idx, meshname, rt.meshes.load(meshname), ofs, MeshAction::Inserted);
}
UINT VESSEL::InsertMesh(MESHHANDLE hMesh, UINT idx, const VECTOR3 *ofs) const {
  RECORD_OR(kNoMesh);
  const MeshData *mesh = meshOfHandle(rt, hMesh);
  if (!mesh) return kNoMesh;
  return putMesh(rt, *v, idx, mesh->name, mesh, ofs, MeshAction::Inserted);
}
bool VESSEL::DelMesh(UINT idx, bool) const {
  RECORD_OR(false);
  if (idx >= v->meshes.size() || !v->meshes[idx].used) return false;
  v->meshes[idx] = MeshSlot();
  trimMeshes(*v);
  if (meshEventSeen(rt, *v)) rt.report(meshEvent(*v, idx, MeshAction::Deleted));
  return true;
}
void VESSEL::ClearMeshes(bool) const {
  RECORD_OR();
  for (UINT i = 0; i < v->meshes.size(); ++i)
    if (v->meshes[i].used && meshEventSeen(rt, *v)) rt.report(meshEvent(*v, i, MeshAction::Deleted));
  v->meshes.clear();
}
bool VESSEL::ShiftMesh(UINT idx, const VECTOR3 &ofs) const {
  RECORD_OR(false);
  if (idx >= v->meshes.size() || !v->meshes[idx].used || !geo::finite(ofs)) return false;
  if (ofs.x == 0 && ofs.y == 0 && ofs.z == 0) return true;
  MeshSlot &slot = v->meshes[idx];
  slot.offset = geo::add(slot.offset, ofs);
  if (meshEventSeen(rt, *v)) {
    Event e = meshEvent(*v, idx, MeshAction::Shifted);
    e.offsetKnown = true;
    e.offset = vec(slot.offset);
    rt.report(std::move(e));
  }
  return true;
}
void VESSEL::SetMeshVisibilityMode(UINT idx, WORD mode) const {
  RECORD_OR();
  if (idx >= v->meshes.size() || !v->meshes[idx].used || v->meshes[idx].visibility == mode) return;
  v->meshes[idx].visibility = mode;
  if (meshEventSeen(rt, *v)) {
    Event e = meshEvent(*v, idx, MeshAction::Visibility);
    e.mode = mode;
    rt.report(std::move(e));
  }
}
UINT VESSEL::GetMeshCount() const {
  RECORD_OR(0);
  return static_cast<UINT>(v->meshes.size());
}
int VESSEL::MeshgroupTransform(VISHANDLE vis, const MESHGROUP_TRANSFORM &mt) const {
  RECORD_OR(-1);
  if (!vis || vis != v->visHandle) return -1;
  if (mt.nmesh < 0 || static_cast<size_t>(mt.nmesh) >= v->meshes.size()) return -2;
  const MeshSlot &slot = v->meshes[static_cast<size_t>(mt.nmesh)];
  if (!slot.used || !slot.mesh) return -2;
  if (mt.ngrp < -1 || (mt.ngrp >= 0 && static_cast<size_t>(mt.ngrp) >= slot.mesh->groups.size())) return -3;
  GroupTransform t;
  t.mesh = mt.nmesh;
  t.group = mt.ngrp;
  t.kind = mt.transform;
  const char *kind = "translate";
  if (mt.transform == MESHGROUP_TRANSFORM::ROTATE) {
    t.ref = mt.P.rotparam.ref;
    t.axis = mt.P.rotparam.axis;
    t.angle = mt.P.rotparam.angle;
    kind = "rotate";
  } else if (mt.transform == MESHGROUP_TRANSFORM::SCALE) {
    t.scale = mt.P.scaleparam.scale;
    kind = "scale";
  } else if (mt.transform == MESHGROUP_TRANSFORM::TRANSLATE) {
    t.shift = mt.P.transparam.shift;
  } else {
    return -4;
  }
  v->visual.transforms.push_back(t);
  if (meshEventSeen(rt, *v)) {
    Event e = meshEvent(*v, static_cast<UINT>(mt.nmesh), MeshAction::Transform);
    e.mesh = slot.name;
    e.group = mt.ngrp;
    e.transform = kind;
    if (mt.transform == MESHGROUP_TRANSFORM::ROTATE) {
      // The rotation as the vessel gave it: the axis, and the angle in
      // radians as the single-precision value of the record.
      e.rotationKnown = true;
      e.axis = vec(t.axis);
      e.angle = static_cast<double>(mt.P.rotparam.angle);
    }
    rt.report(std::move(e));
  }
  return 0;
}

// ---------------------------------------------------------------- state

void VESSEL::GetStatus(VESSELSTATUS &status) const {
  RECORD_OR();
  fillStatus(rt, *v, status);
}
void VESSEL::GetStatusEx(void *status) const {
  RECORD_OR();
  if (!status) return;
  auto *vs = static_cast<VESSELSTATUS2 *>(status);
  if (vs->version != 2) return;
  fillStatus2(rt, *v, *vs);
}
void VESSEL::DefSetState(const VESSELSTATUS *status) const {
  RECORD_OR();
  if (status) applyStatus(rt, *v, *status);
}
void VESSEL::DefSetStateEx(const void *status) const {
  RECORD_OR();
  if (!status) return;
  const auto *vs = static_cast<const VESSELSTATUS2 *>(status);
  if (vs->version == 2) applyStatus2(rt, *v, *vs);
}
double VESSEL::GetAltitude() const {
  RECORD_OR(0.0);
  const CelestialBody &body = bodyOf(*v);
  return geo::length(geo::sub(globalPos(rt, *v), body.position)) - body.radius;
}
OBJHANDLE VESSEL::GetSurfaceRef() const {
  RECORD_OR(nullptr);
  return handleOf(bodyOf(*v));
}
OBJHANDLE VESSEL::GetGravityRef() const { return GetSurfaceRef(); }
void VESSEL::GetGlobalPos(VECTOR3 &pos) const {
  RECORD_OR();
  pos = globalPos(rt, *v);
}
void VESSEL::GetGlobalVel(VECTOR3 &vel) const {
  RECORD_OR();
  vel = globalVel(rt, *v);
}
void VESSEL::GetRelativePos(OBJHANDLE hRef, VECTOR3 &pos) const {
  RECORD_OR();
  VECTOR3 ref{};
  if (VesselRecord *r = rt.world.fromHandle(hRef)) ref = globalPos(rt, *r);
  if (const CelestialBody *body = rt.world.bodyFromHandle(hRef)) ref = body->position;
  pos = geo::sub(globalPos(rt, *v), ref);
}
void VESSEL::GetRelativeVel(OBJHANDLE hRef, VECTOR3 &vel) const {
  RECORD_OR();
  VECTOR3 ref{};
  if (VesselRecord *r = rt.world.fromHandle(hRef)) ref = globalVel(rt, *r);
  vel = geo::sub(globalVel(rt, *v), ref);
}
void VESSEL::GetAngularVel(VECTOR3 &avel) const {
  RECORD_OR();
  avel = (v->landed || v->parentLink) ? _V(0, 0, 0) : v->flightOrRest().angVel;
}
void VESSEL::SetAngularVel(const VECTOR3 &avel) const {
  RECORD_OR();
  if (!v->landed && !v->parentLink && geo::finite(avel)) v->flight().angVel = avel;
}
void VESSEL::GetRotationMatrix(MATRIX3 &R) const {
  RECORD_OR();
  R = globalRot(rt, *v);
}
void VESSEL::SetRotationMatrix(const MATRIX3 &R) const {
  RECORD_OR();
  for (double d : R.data)
    if (!std::isfinite(d)) return;
  if (v->parentLink) return;  // a child turns with its parent
  if (v->landed) {
    // A landed vessel keeps standing upright; only its heading follows.
    VECTOR3 forward = geo::tmul(rt.bodyMatrix(*v->body), geo::column(R, 2));
    setLanded(*v, v->lon, v->lat, surface::heading(forward, v->lon, v->lat));
    return;
  }
  v->flight().rot = geo::orthonormalize(R);
}
void VESSEL::Global2Local(const VECTOR3 &glob, VECTOR3 &loc) const {
  RECORD_OR();
  // A mill brings every vessel of its world into its own frame: a landed
  // vessel's place and rotation are kept between the calls.
  if (!v->parentLink && v->landed) {
    const WorldAtTime::LandedFrame &f = rt.landedFrame(*v);
    loc = geo::tmul(f.rot, geo::sub(glob, f.pos));
    return;
  }
  loc = geo::tmul(globalRot(rt, *v), geo::sub(glob, globalPos(rt, *v)));
}
void VESSEL::Local2Global(const VECTOR3 &loc, VECTOR3 &glob) const {
  RECORD_OR();
  glob = geo::add(globalPos(rt, *v), geo::mul(globalRot(rt, *v), loc));
}
void VESSEL::GlobalRot(const VECTOR3 &rloc, VECTOR3 &rglob) const {
  RECORD_OR();
  rglob = geo::mul(globalRot(rt, *v), rloc);
}
void VESSEL::Local2Rel(const VECTOR3 &loc, VECTOR3 &rel) const {
  RECORD_OR();
  // Relative to the centre of the body it is on or flies around.
  rel = geo::sub(geo::add(globalPos(rt, *v), geo::mul(globalRot(rt, *v), loc)), bodyOf(*v).position);
}
void VESSEL::AddForce(const VECTOR3 &F, const VECTOR3 &) const {
  RECORD_OR();
  // Only the force moves the vessel; the stand-in has no torque from forces.
  if (!v->landed && !v->parentLink && geo::finite(F)) v->flight().force = geo::add(v->flight().force, F);
}
int VESSEL::GetADCtrlMode() const {
  RECORD_OR(0);
  return static_cast<int>(v->adcMode);
}
void VESSEL::SetADCtrlMode(DWORD mode) const {
  RECORD_OR();
  if (v->adcMode == mode) return;
  v->adcMode = mode;
  if (VESSEL2 *cb = callbacksOf(v); cb && v->module) cb->clbkADCtrlMode(mode);
}

// ---------------------------------------------------------------- attachments

ATTACHMENTHANDLE VESSEL::CreateAttachment(bool toparent, const VECTOR3 &pos, const VECTOR3 &dir, const VECTOR3 &rot,
                                          const char *id, bool loose) const {
  RECORD_OR(nullptr);
  Attachment *a = toparent ? v->parentPoints.add() : v->childPoints.add();
  a->owner = v;
  a->toParent = toparent;
  a->pos = pos;
  a->dir = dir;
  a->rot = rot;
  a->loose = loose;
  std::snprintf(a->id, sizeof a->id, "%s", id ? id : "");
  return a;
}
bool VESSEL::DelAttachment(ATTACHMENTHANDLE attachment) const {
  RECORD_OR(false);
  Attachment *a = findAttachment(*v, attachment);
  if (!a) return false;
  if (a->peer) detach(rt, a, 0);
  if (a->toParent)
    v->parentPoints.erase(a);
  else
    v->childPoints.erase(a);
  return true;
}
void VESSEL::SetAttachmentParams(ATTACHMENTHANDLE attachment, const VECTOR3 &pos, const VECTOR3 &dir,
                                 const VECTOR3 &rot) const {
  RECORD_OR();
  if (Attachment *a = findAttachment(*v, attachment)) {
    a->pos = pos;
    a->dir = dir;
    a->rot = rot;
  }
}
void VESSEL::GetAttachmentParams(ATTACHMENTHANDLE attachment, VECTOR3 &pos, VECTOR3 &dir, VECTOR3 &rot) const {
  RECORD_OR();
  if (Attachment *a = findAttachment(*v, attachment)) {
    pos = a->pos;
    dir = a->dir;
    rot = a->rot;
  }
}
const char *VESSEL::GetAttachmentId(ATTACHMENTHANDLE attachment) const {
  RECORD_OR(nullptr);
  Attachment *a = findAttachment(*v, attachment);
  return a ? a->id : nullptr;
}
OBJHANDLE VESSEL::GetAttachmentStatus(ATTACHMENTHANDLE attachment) const {
  RECORD_OR(nullptr);
  Attachment *a = findAttachment(*v, attachment);
  return a && a->peer ? a->peer->owner : nullptr;
}
DWORD VESSEL::AttachmentCount(bool toparent) const {
  RECORD_OR(0);
  return static_cast<DWORD>(toparent ? v->parentPoints.size() : v->childPoints.size());
}
DWORD VESSEL::GetAttachmentIndex(ATTACHMENTHANDLE attachment) const {
  RECORD_OR(static_cast<DWORD>(-1));
  Attachment *a = findAttachment(*v, attachment);
  if (!a) return static_cast<DWORD>(-1);
  const long i = a->toParent ? v->parentPoints.indexOf(a) : v->childPoints.indexOf(a);
  return i < 0 ? static_cast<DWORD>(-1) : static_cast<DWORD>(i);
}
ATTACHMENTHANDLE VESSEL::GetAttachmentHandle(bool toparent, DWORD i) const {
  RECORD_OR(nullptr);
  return toparent ? v->parentPoints.at(i) : v->childPoints.at(i);
}
bool VESSEL::AttachChild(OBJHANDLE child, ATTACHMENTHANDLE attachment, ATTACHMENTHANDLE child_attachment) const {
  RECORD_OR(false);
  VesselRecord *c = rt.world.fromHandle(child);
  if (!c) return false;
  Attachment *p = findAttachment(*v, attachment);
  Attachment *ca = findAttachment(*c, child_attachment);
  return attach(rt, p, ca);
}
bool VESSEL::DetachChild(ATTACHMENTHANDLE attachment, double vel) const {
  RECORD_OR(false);
  Attachment *a = findAttachment(*v, attachment);
  if (!a || a->toParent || !std::isfinite(vel)) return false;
  return detach(rt, a, vel);
}

// ---------------------------------------------------------------- scenarios

bool VESSEL::ParseScenarioLineEx(char *line, void *status) const {
  RECORD_OR(false);
  if (!line || !status) return false;
  return parseHostLine(rt, *v, std::string_view(line), *static_cast<VESSELSTATUS2 *>(status));
}
