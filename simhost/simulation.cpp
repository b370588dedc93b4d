// Simulation: the public face of the run. It owns the Runtime, makes it the
// current one for the oapi functions, and drives the frame loop, the HUD,
// the debug text and the operator's operations.

#include "simulation.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/platform.h"
#include "plugin/keys.h"
#include "runtime.h"
#include "scenario_apply.h"
#include "files/scenario.h"
#include "world/geometry.h"
#include "world/text.h"
#include "world/vessel_state.h"
#include "host_extras.h"

namespace simhost {

struct Simulation::Impl {
  explicit Impl(const std::string &root) : folder(root), rt(folder.root()) {}
  // The process stands in the tree while the run lives, as the simulator
  // does (see platform/platform.h); the run's vessels go before it leaves.
  platform::TreeFolder folder;
  Runtime rt;
};

namespace {

Simulation *g_simulation = nullptr;

bool sameHud(const std::vector<Simulation::HudText> &a, const std::vector<Simulation::HudText> &b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].text != b[i].text) return false;
  return true;
}

struct LiveVessel {
  VesselRecord *record;
  uint64_t serial;
};

// The vessels with a module as the frame starts: those made during the
// frame get their first step in the next one.
std::vector<LiveVessel> moduleSnapshot(const World &world) {
  std::vector<LiveVessel> out;
  out.reserve(world.moduleVessels().size());
  for (VesselRecord *v : world.moduleVessels()) out.push_back({v, v->serial});
  return out;
}

// The module's callbacks of a vessel that still lives; null otherwise.
VESSEL2 *moduleCallbacks(const World &world, const LiveVessel &lv) {
  VesselRecord *v = world.fromHandle(lv.record);
  if (!v || v->serial != lv.serial || !v->module) return nullptr;
  return callbacksOf(v);
}

VesselRecord *named(Runtime &rt, const std::string &name, std::string &error) {
  VesselRecord *v = rt.world.find(name);
  if (!v) error = "no vessel named " + name;
  return v;
}

}  // namespace

Simulation::Simulation(const std::string &root) : impl(std::make_unique<Impl>(root)) {
  g_simulation = this;
  setCurrentRuntime(&impl->rt);
}

Simulation::~Simulation() {
  impl->rt.deleteAllVessels();
  if (g_simulation == this) {
    g_simulation = nullptr;
    setCurrentRuntime(nullptr);
  }
}

Simulation *Simulation::current() { return g_simulation; }
const std::string &Simulation::root() const { return impl->rt.root; }
std::string Simulation::operatorPath(const std::string &path) const { return impl->folder.outside(path); }
void Simulation::setObserver(EventObserver observer, EventKinds kinds) {
  impl->rt.observer = std::move(observer);
  impl->rt.observed = kinds;
}
void Simulation::report(Event event) { impl->rt.report(std::move(event)); }

void Simulation::failVesselCreation(const std::string &classPattern, int times) {
  impl->rt.faults.failCreation(classPattern, times);
}

void Simulation::failMesh(const std::string &meshName) { impl->rt.faults.failMesh(meshName); }

bool Simulation::vanishFile(const std::string &simPath, std::string &error) {
  const std::string path = resolvePath(impl->rt.root, simPath);
  if (path.empty()) {
    error = "no file " + simPath + " in the tree";
    return false;
  }
  impl->rt.faults.vanishFile(path);
  return true;
}

bool Simulation::blockFile(const std::string &simPath, std::string &error) {
  const std::string path = resolvePath(impl->rt.root, simPath);
  if (path.empty()) {
    error = "no file " + simPath + " in the tree";
    return false;
  }
  impl->rt.faults.blockFile(path);
  return true;
}

void Simulation::clearFaults() { impl->rt.faults.clear(); }

bool Simulation::loadScenario(const std::string &path, std::string &error) {
  return loadScenarioFile(impl->rt, impl->folder.outside(path), error);
}
bool Simulation::saveScenario(const std::string &path, std::string &error) {
  return saveScenarioFile(impl->rt, impl->folder.outside(path), error);
}
const ScenarioMeta &Simulation::scenarioRead() const { return impl->rt.scenario; }

bool Simulation::vesselBlockLines(const std::string &name, std::vector<std::string> &lines, std::string &error) {
  VesselRecord *v = named(impl->rt, name, error);
  if (!v) return false;
  lines = blockLines(impl->rt, *v);
  return true;
}

bool Simulation::blockText(OBJHANDLE vessel, std::string_view &text) {
  VesselRecord *v = impl->rt.world.fromHandle(vessel);
  if (!v) return false;
  text = simhost::blockText(impl->rt, *v);
  return true;
}

void Simulation::setFrameLength(double seconds) {
  if (std::isfinite(seconds) && seconds > 0) impl->rt.frameLength = seconds;
}
void Simulation::setWarp(double factor) {
  if (std::isfinite(factor) && factor > 0) impl->rt.warp = factor;
}
void Simulation::setPaused(bool paused) { impl->rt.paused = paused; }
void Simulation::setHudVisible(bool visible) { impl->rt.hudVisible = visible; }
void Simulation::setHudSize(int width, int height) {
  if (width > 0 && height > 0) {
    impl->rt.hudWidth = width;
    impl->rt.hudHeight = height;
  }
}

void Simulation::frame() {
  Runtime &rt = impl->rt;
  {
    BusyScope scope(rt);
    rt.sysStep = rt.frameLength;
    rt.sysClock.advance(rt.frameLength);
    rt.sysT = rt.sysClock.now();
    if (rt.paused) {
      rt.simStep = 0;
    } else {
      rt.simStep = rt.frameLength * rt.warp;
      rt.simClock.advance(rt.simStep);
      rt.simt = rt.simClock.now();
      double simt = rt.simt, dt = rt.simStep, mjd = rt.mjd();
      auto vessels = moduleSnapshot(rt.world);
      for (const auto &lv : vessels)
        if (VESSEL2 *cb = moduleCallbacks(rt.world, lv)) cb->clbkPreStep(simt, dt, mjd);
      rt.moveVessels(dt);
      for (const auto &lv : vessels)
        if (VESSEL2 *cb = moduleCallbacks(rt.world, lv)) cb->clbkPostStep(simt, dt, mjd);
    }
    std::vector<HudText> drawn;
    if (rt.hudVisible && rt.focus && rt.focus->module) {
      if (VESSEL2 *cb = callbacksOf(rt.focus)) {
        HUDPAINTSPEC hps{};
        hps.W = rt.hudWidth;
        hps.H = rt.hudHeight;
        hps.CX = hps.W / 2;
        hps.CY = hps.H / 2;
        hps.Scale = hps.H / 40.0;
        hps.Markersize = hps.H / 50;
        cb->clbkDrawHUD(1, &hps, rt.hudSurface.open());
        drawn = rt.hudSurface.close();
      }
    }
    if (!sameHud(drawn, rt.lastHud)) {
      rt.lastHud = drawn;
      Event e = Event::of(EventKind::Hud);
      e.hud = drawn;
      e.height = rt.hudHeight;
      rt.report(std::move(e));
    }
  }
  std::string debug = debugText();
  if (debug != impl->rt.lastDebug) {
    impl->rt.lastDebug = debug;
    impl->rt.report(Event::said(EventKind::Debug, debug));
  }
}

double Simulation::simTime() const { return impl->rt.simt; }
double Simulation::simStep() const { return impl->rt.simStep; }
double Simulation::sysTime() const { return impl->rt.sysT; }
double Simulation::mjd() const { return impl->rt.mjd(); }
double Simulation::warp() const { return impl->rt.warp; }
bool Simulation::paused() const { return impl->rt.paused; }

bool Simulation::pressKey(DWORD code, bool shift, bool ctrl, std::string &error) {
  return pressKey(code, (shift ? LeftShift : 0u) | (ctrl ? LeftCtrl : 0u), error);
}

bool Simulation::pressKey(DWORD code, unsigned modifiers, std::string &error) {
  Runtime &rt = impl->rt;
  if (code > 255) {
    error = "key code " + std::to_string(code) + " is beyond 255";
    return false;
  }
  if (!rt.focus) {
    error = "no vessel has the focus";
    return false;
  }
  const char held = static_cast<char>(0x80);
  char kstate[256] = {};
  kstate[code] = held;
  if (modifiers & LeftShift) kstate[OAPI_KEY_LSHIFT] = held;
  if (modifiers & LeftCtrl) kstate[OAPI_KEY_LCONTROL] = held;
  if (modifiers & RightShift) kstate[OAPI_KEY_RSHIFT] = held;
  if (modifiers & RightCtrl) kstate[OAPI_KEY_RCONTROL] = held;
  int result = 0, upResult = 0;
  {
    BusyScope scope(rt);
    LiveVessel target{rt.focus, rt.focus->serial};
    if (VESSEL2 *cb = moduleCallbacks(rt.world, target)) result = cb->clbkConsumeBufferedKey(code, true, kstate);
    if (VESSEL2 *cb = moduleCallbacks(rt.world, target)) upResult = cb->clbkConsumeBufferedKey(code, false, kstate);
  }
  Event e = Event::said(EventKind::Key, keyChordName(code, modifiers));
  e.code = code;
  e.shift = modifiers & LeftShift;
  e.ctrl = modifiers & LeftCtrl;
  e.rshift = modifiers & RightShift;
  e.rctrl = modifiers & RightCtrl;
  e.result = result;
  e.upResult = upResult;
  rt.report(std::move(e));
  return true;
}

bool Simulation::setFocus(const std::string &name, std::string &error) {
  VesselRecord *v = named(impl->rt, name, error);
  if (!v) return false;
  impl->rt.changeFocus(v);
  return true;
}

bool Simulation::placeVessel(const std::string &name, const std::string &className, const std::string &near,
                             double x, double z, double headingDeg, std::string &error) {
  Runtime &rt = impl->rt;
  VesselRecord *n = named(rt, near, error);
  if (!n) return false;
  if (!std::isfinite(x) || !std::isfinite(z) || !std::isfinite(headingDeg)) {
    error = "the place needs finite numbers";
    return false;
  }
  const CelestialBody &body = bodyOf(*n);
  const MATRIX3 &m = rt.bodyMatrix(body);
  MATRIX3 r = globalRot(rt, *n);
  VECTOR3 global = geo::add(globalPos(rt, *n), geo::mul(r, _V(x, 0, z)));
  double lon, lat;
  surface::lonLat(geo::tmul(m, geo::sub(global, body.position)), lon, lat);
  double nearHeading = surface::heading(geo::tmul(m, geo::column(r, 2)), lon, lat);
  VESSELSTATUS2 vs{};
  vs.version = 2;
  vs.rbody = handleOf(body);
  vs.status = 1;
  vs.surf_lng = lon;
  vs.surf_lat = lat;
  vs.surf_hdg = nearHeading + headingDeg * geo::kPi / 180.0;
  return rt.createVessel(name, className, &vs, nullptr, error) != nullptr;
}

bool Simulation::deleteVessel(const std::string &name, std::string &error) {
  VesselRecord *v = named(impl->rt, name, error);
  if (!v) return false;
  impl->rt.deleteVessel(v, nullptr);
  impl->rt.collectRemoved();
  return true;
}

bool Simulation::setEmptyMass(const std::string &name, double kg, std::string &error) {
  VesselRecord *v = named(impl->rt, name, error);
  if (!v) return false;
  if (!std::isfinite(kg) || kg < 0) {
    error = "an empty mass must be a number of 0 kg or more";
    return false;
  }
  BusyScope scope(impl->rt);
  v->iface->SetEmptyMass(kg);
  return true;
}

bool Simulation::attach(const std::string &child, const std::string &parent, std::string &error) {
  Runtime &rt = impl->rt;
  VesselRecord *c = named(rt, child, error);
  VesselRecord *p = c ? named(rt, parent, error) : nullptr;
  if (!c || !p) return false;
  Attachment *pp = nullptr, *cp = nullptr;
  for (size_t i = 0; i < p->childPoints.size(); ++i)
    if (!pp && !p->childPoints[i]->peer) pp = p->childPoints[i];
  for (size_t i = 0; i < c->parentPoints.size(); ++i)
    if (!cp && !c->parentPoints[i]->peer) cp = c->parentPoints[i];
  if (!pp) {
    error = parent + " has no free attachment point for children";
    return false;
  }
  if (!cp) {
    error = child + " has no free attachment point to a parent";
    return false;
  }
  if (!simhost::attach(rt, pp, cp)) {
    error = "cannot attach " + child + " to " + parent;
    return false;
  }
  return true;
}

bool Simulation::detach(const std::string &child, std::string &error) {
  VesselRecord *c = named(impl->rt, child, error);
  if (!c) return false;
  if (!c->parentLink) {
    error = child + " is not attached";
    return false;
  }
  return simhost::detach(impl->rt, c->parentLink, 0);
}

bool Simulation::setAfcMode(const std::string &name, DWORD bits, std::string &error) {
  VesselRecord *v = named(impl->rt, name, error);
  if (!v) return false;
  BusyScope scope(impl->rt);
  v->iface->SetADCtrlMode(bits);
  return true;
}

OBJHANDLE Simulation::focus() const { return impl->rt.focus; }
const std::vector<Simulation::HudText> &Simulation::hud() const { return impl->rt.lastHud; }
std::string Simulation::debugText() const {
  const char *d = impl->rt.debugText;
  return std::string(d, strnlen(d, DEBUG_STRING_CAPACITY));
}
namespace {

Simulation::VesselView viewOf(Runtime &rt, VesselRecord &v, const VECTOR3 &refPos, const MATRIX3 &refRot) {
  Simulation::VesselView view;
  view.name = v.name;
  view.className = v.className;
  view.emptyMass = v.emptyMass;
  view.landed = isLanded(v);
  view.cogElevation = v.cogElev;
  view.pos = geo::tmul(refRot, geo::sub(globalPos(rt, v), refPos));
  view.rot = geo::mul(geo::transpose(refRot), globalRot(rt, v));
  for (size_t i = 0; i < v.meshes.size(); ++i) {
    const MeshSlot &slot = v.meshes[i];
    if (slot.used) view.meshes.push_back({static_cast<int>(i), std::string(slot.name), slot.mesh, slot.offset, slot.visibility});
  }
  for (const AttachmentList *points : {&v.parentPoints, &v.childPoints}) {
    for (size_t i = 0; i < points->size(); ++i) {
      const Attachment *a = (*points)[i];
      view.attachments.push_back({a->id, a->pos, a->toParent});
    }
  }
  return view;
}

}  // namespace

bool Simulation::viewSite(const std::string &reference, SiteView &site, std::string &error) {
  Runtime &rt = impl->rt;
  VesselRecord *ref = named(rt, reference, error);
  if (!ref) return false;
  const VECTOR3 refPos = globalPos(rt, *ref);
  const MATRIX3 refRot = globalRot(rt, *ref);
  double lon, lat;
  surfacePosition(rt, *ref, lon, lat);
  site.north = geo::tmul(refRot, geo::mul(rt.bodyMatrix(bodyOf(*ref)), surface::north(lon, lat)));
  site.vessels.clear();
  for (VesselRecord *v : rt.world.vessels()) site.vessels.push_back(viewOf(rt, *v, refPos, refRot));
  return true;
}

World &Simulation::world() { return impl->rt.world; }

}  // namespace simhost
