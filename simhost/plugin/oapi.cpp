// The global oapi functions: the world, objects, time, random numbers, the
// debug text, meshes and display calls, acting on the current run. Without
// a run they answer with nothing (null, 0) instead of failing.

#include <cmath>
#include <cstdio>
#include <cstring>

#include "files/scenario.h"
#include "plugin/module_host.h"
#include "world/geometry.h"
#include "world/text.h"
#include "world/vessel_state.h"
#include "host_extras.h"

using namespace simhost;

namespace {

ModuleHost *rt() { return currentHost(); }
VesselRecord *vesselOf(OBJHANDLE h) { return rt() ? rt()->world.fromHandle(h) : nullptr; }
const CelestialBody *celestialOf(OBJHANDLE h) { return rt() ? rt()->world.bodyFromHandle(h) : nullptr; }
char g_idleDebugText[DEBUG_STRING_CAPACITY];

}  // namespace

DWORD oapiGetVesselCount() { return rt() ? static_cast<DWORD>(rt()->world.count()) : 0; }
OBJHANDLE oapiGetVesselByIndex(DWORD index) {
  if (!rt()) return nullptr;
  // Modules walk the list in order: what they will read of a vessel a few
  // places on is fetched meanwhile.
  rt()->world.prefetch(index + 4);
  return rt()->world.at(index);
}
OBJHANDLE oapiGetVesselByName(char *name) { return rt() && name ? rt()->world.find(name) : nullptr; }
VESSEL *oapiGetVesselInterface(OBJHANDLE hVessel) {
  VesselRecord *v = vesselOf(hVessel);
  return v ? v->iface : nullptr;
}
OBJHANDLE oapiGetObjectByName(char *name) {
  if (!rt() || !name) return nullptr;
  if (const CelestialBody *body = rt()->world.body(name)) return handleOf(*body);
  return rt()->world.find(name);
}
OBJHANDLE oapiGetGbodyByName(char *name) {
  if (!rt() || !name) return nullptr;
  const CelestialBody *body = rt()->world.body(name);
  return body ? handleOf(*body) : nullptr;
}
OBJHANDLE oapiGetFocusObject() { return rt() ? rt()->focus : nullptr; }
void oapiGetObjectName(OBJHANDLE hObj, char *name, int n) {
  if (!name || n <= 0) return;
  const char *src = "";
  if (const CelestialBody *body = celestialOf(hObj)) {
    src = body->name.c_str();
  } else if (VesselRecord *v = vesselOf(hObj)) {
    src = v->name.c_str();
  }
  std::snprintf(name, static_cast<size_t>(n), "%s", src);
}
double oapiGetSize(OBJHANDLE hObj) {
  if (const CelestialBody *body = celestialOf(hObj)) return body->radius;
  VesselRecord *v = vesselOf(hObj);
  return v ? v->size : 0.0;
}
double oapiGetMass(OBJHANDLE hObj) {
  if (const CelestialBody *body = celestialOf(hObj)) return body->mass;
  VesselRecord *v = vesselOf(hObj);
  return v ? v->emptyMass : 0.0;
}
double oapiGetEmptyMass(OBJHANDLE hVessel) {
  VesselRecord *v = vesselOf(hVessel);
  return v ? v->emptyMass : 0.0;
}
void oapiSetEmptyMass(OBJHANDLE hVessel, double mass) {
  if (VesselRecord *v = vesselOf(hVessel)) v->iface->SetEmptyMass(mass);
}
void oapiGetGlobalPos(OBJHANDLE hObj, VECTOR3 *pos) {
  if (!pos) return;
  *pos = _V(0, 0, 0);
  if (VesselRecord *v = vesselOf(hObj)) *pos = globalPos(*rt(), *v);
  if (const CelestialBody *body = celestialOf(hObj)) *pos = body->position;
}
void oapiGetGlobalVel(OBJHANDLE hObj, VECTOR3 *vel) {
  if (!vel) return;
  *vel = _V(0, 0, 0);
  if (VesselRecord *v = vesselOf(hObj)) *vel = globalVel(*rt(), *v);
}
void oapiGetRotationMatrix(OBJHANDLE hObj, MATRIX3 *mat) {
  if (!mat) return;
  *mat = geo::identity();
  if (!rt()) return;
  if (const CelestialBody *body = celestialOf(hObj)) {
    *mat = rt()->bodyMatrix(*body);
  } else if (VesselRecord *v = vesselOf(hObj)) {
    *mat = globalRot(*rt(), *v);
  }
}

OBJHANDLE oapiCreateVessel(const char *name, const char *classname, const VESSELSTATUS &status) {
  VESSELSTATUS2 vs = toStatus2(status);
  return oapiCreateVesselEx(name, classname, &vs);
}

OBJHANDLE oapiCreateVesselEx(const char *name, const char *classname, const void *status) {
  ModuleHost *r = rt();
  if (!r || !name || !classname || !status) return nullptr;
  std::string error;
  VesselRecord *v = r->createVessel(name, classname, static_cast<const VESSELSTATUS2 *>(status), nullptr, error);
  if (!v) r->report(Event::said(EventKind::Note, "cannot create " + std::string(name) + ": " + error));
  return v;
}

bool oapiDeleteVessel(OBJHANDLE hVessel, OBJHANDLE hAlt) {
  VesselRecord *v = vesselOf(hVessel);
  if (!v) return false;
  ModuleHost &r = *rt();
  r.deleteVessel(v, r.world.fromHandle(hAlt));
  r.collectRemoved();
  return true;
}

// ---------------------------------------------------------------- scenarios

bool oapiReadScenario_nextline(FILEHANDLE scn, char *&line) {
  ScenarioBlock *b = activeBlock(scn);
  if (!b || b->next >= b->lines.size()) return false;
  const ScenarioBlock::Line &l = b->lines[b->next++];
  b->currentLine = l.number;
  const size_t n = l.text.size() < sizeof b->buffer - 1 ? l.text.size() : sizeof b->buffer - 1;
  std::memcpy(b->buffer, l.text.data(), n);
  b->buffer[n] = '\0';
  line = b->buffer;
  return true;
}
void oapiWriteLine(FILEHANDLE file, char *line) {
  if (ScenarioWriter *w = activeWriter(file); w && line) w->line(line);
}
void oapiWriteScenario_string(FILEHANDLE scn, char *item, char *string) {
  if (ScenarioWriter *w = activeWriter(scn); w && item) w->item(item, string ? string : "");
}
void oapiWriteScenario_int(FILEHANDLE scn, char *item, int i) {
  if (ScenarioWriter *w = activeWriter(scn); w && item) w->item(item, std::to_string(i));
}
void oapiWriteScenario_float(FILEHANDLE scn, char *item, double d) {
  if (ScenarioWriter *w = activeWriter(scn); w && item) w->item(item, text::formatRoundTrip(d));
}
void oapiWriteScenario_vec(FILEHANDLE scn, char *item, const VECTOR3 &vec) {
  if (ScenarioWriter *w = activeWriter(scn); w && item)
    w->item(item, text::formatRoundTrip(vec.x) + " " + text::formatRoundTrip(vec.y) + " " +
                      text::formatRoundTrip(vec.z));
}

// ---------------------------------------------------------------- time

double oapiGetSimTime() { return rt() ? rt()->simt : 0.0; }
double oapiGetSimStep() { return rt() ? rt()->simStep : 0.0; }
double oapiGetSysTime() { return rt() ? rt()->sysT : 0.0; }
double oapiGetSysStep() { return rt() ? rt()->sysStep : 0.0; }
double oapiGetSimMJD() { return rt() ? rt()->mjd() : kRotationEpochMjd; }
double oapiGetTimeAcceleration() { return rt() ? rt()->warp : 1.0; }

double oapiRand() {
  if (!rt()) return 0.0;
  return static_cast<double>(rt()->random()) / static_cast<double>(std::mt19937::max());
}

char *oapiDebugString() { return rt() ? rt()->debugText : g_idleDebugText; }

// ---------------------------------------------------------------- meshes

MESHHANDLE oapiLoadMesh(const char *fname) {
  if (!rt() || !fname) return nullptr;
  return const_cast<MeshData *>(rt()->meshes.load(fname));
}
MESHHANDLE oapiLoadMeshGlobal(const char *fname) { return oapiLoadMesh(fname); }
// Meshes belong to the run's library and live until the run ends.
void oapiDeleteMesh(MESHHANDLE) {}
DWORD oapiMeshGroupCount(MESHHANDLE hMesh) {
  if (!rt() || !rt()->meshes.owns(hMesh)) return 0;
  return static_cast<DWORD>(static_cast<const MeshData *>(hMesh)->groups.size());
}
VISHANDLE *oapiObjectVisualPtr(OBJHANDLE hObject) {
  static VISHANDLE noVisual = nullptr;
  if (celestialOf(hObject)) return &noVisual;
  VesselRecord *v = vesselOf(hObject);
  return v ? &v->visHandle : nullptr;
}

// ---------------------------------------------------------------- display

// The stand-in has no panels or displays to open; the calls are accepted.
void oapiOpenMFD(int, int) {}
void oapiSetDefNavDisplay(int) {}
void oapiSetDefRCSDisplay(int) {}
void oapiVCRegisterHUD(const VCHUDSPEC *) {}
