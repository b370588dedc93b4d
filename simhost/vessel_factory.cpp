// Making and ending vessels: the order in which the host calls a module's
// entry points and callbacks, and the events that tell the operator.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "files/scenario.h"
#include "plugin/vessel_lines.h"
#include "plugin/modules.h"
#include "runtime.h"
#include "world/geometry.h"
#include "world/text.h"
#include "world/vessel_state.h"

namespace simhost {

namespace {

uint64_t g_serial = 0;

void applyClassDefaults(Runtime &rt, VesselRecord &v, const VesselClass &cls) {
  v.size = cls.hasSize ? cls.size : 1.0;
  v.emptyMass = cls.hasMass ? cls.mass : 0.0;
  if (cls.hasTouchdown) {
    v.cogElev = cogElevation(cls.touchdown);
  } else {
    const double h = 0.5 * v.size;
    const VECTOR3 points[3] = {_V(0, -h, 1), _V(-1, -h, -1), _V(1, -h, -1)};
    v.cogElev = cogElevation(points);
  }
  for (const auto &a : cls.attachments) {
    Attachment *att = a.toParent ? v.parentPoints.add() : v.childPoints.add();
    att->owner = &v;
    att->toParent = a.toParent;
    att->pos = a.pos;
    att->dir = a.dir;
    att->rot = a.rot;
    const size_t n = strnlen(a.id.c_str(), sizeof att->id - 1);
    std::memcpy(att->id, a.id.c_str(), n);
    att->id[n] = '\0';
  }
  // A module defines its own meshes; only a passive class gets the file's.
  if (cls.module.empty() && !cls.meshName.empty()) {
    MeshSlot slot;
    slot.used = true;
    slot.name = rt.world.keepText(cls.meshName);
    slot.mesh = rt.meshes.load(cls.meshName);
    v.meshes.push_back(slot);
  }
}

bool validName(const std::string &name, std::string &error) {
  if (name.empty()) {
    error = "a vessel needs a name";
    return false;
  }
  const bool breaksLine =
      std::any_of(name.begin(), name.end(), [](char c) { return c == ':' || c == '\r' || c == '\n'; });
  if (breaksLine || text::trim(name).size() != name.size()) {
    error = "a vessel name cannot contain ':' or line breaks, nor start or end with blanks: '" + name + "'";
    return false;
  }
  return true;
}

// The host reads a block itself: for passive vessels, keeping the lines it
// does not know, and for modules without callbacks, dropping them.
void readBlockByHost(Runtime &rt, VesselRecord &v, ScenarioBlock &block, VESSELSTATUS2 &vs, bool keepUnknown) {
  while (block.next < block.lines.size()) {
    const ScenarioBlock::Line &line = block.lines[block.next++];
    block.currentLine = line.number;
    if (keepUnknown && parseOwnLine(v, line.text)) continue;
    if (!parseHostLine(rt, v, line.text, vs) && keepUnknown) v.keepAsRead().keptLines.emplace_back(line.text);
  }
}

bool loadState(Runtime &rt, VesselRecord &v, ScenarioBlock &block, std::string &error) {
  VESSELSTATUS2 vs{};
  vs.version = 2;
  vs.rbody = handleOf(*v.body);
  vs.status = 1;
  v.loading = &block;
  VESSEL2 *cb = callbacksOf(&v);
  if (v.module && cb) {
    setActiveBlock(&block);
    cb->clbkLoadStateEx(&block, &vs);
    setActiveBlock(nullptr);
  } else {
    readBlockByHost(rt, v, block, vs, !v.module);
  }
  v.loading = nullptr;
  // A block that gives a position but no status describes free flight.
  if (!block.sawStatus && block.sawRpos) vs.status = 0;
  if (!block.error.empty()) {
    error = block.error;
    return false;
  }
  if (vs.rbody == handleOf(nowhere())) {
    error = std::string(block.file) + ":" + std::to_string(block.shipLine) + ": vessel " + v.name +
            ": no STATUS line names the body it is on, and no ship before it stands on one";
    return false;
  }
  if (!applyStatus2(rt, v, vs)) {
    error = std::string(block.file) + ":" + std::to_string(block.shipLine) + ": vessel " + v.name + " has an impossible state";
    return false;
  }
  return true;
}

// A class with nothing of its own: no file, no module, no mesh, no
// attachments, an empty mass of 0 kg.
const VesselClass &standInClass() {
  static const VesselClass cls;
  return cls;
}

bool validStatus(Runtime &rt, const VESSELSTATUS2 &vs) {
  VesselRecord scratch;
  scratch.body = rt.firstBody();
  return applyStatus2(rt, scratch, vs);
}

// Where a new vessel stands until its state is set: on the body its record
// names, else on the world's first; nowhere before the world has one (its
// block must then name one).
const CelestialBody *startingBody(Runtime &rt, const VESSELSTATUS2 *state) {
  if (state && state->rbody) return rt.world.bodyFromHandle(state->rbody);
  return rt.firstBody() ? rt.firstBody() : &nowhere();
}

// A new record of the world, named and numbered, or null with the reason.
OwnedVessel newRecord(World &world, const std::string &name, const std::string &className, const VesselClass *cls,
                      std::string &error) {
  OwnedVessel owned = world.make();
  if (!owned) {
    error = "vessel " + name + ": the world has no room for another vessel";
    return owned;
  }
  owned->serial = ++g_serial;
  owned->name = name;
  owned->className = world.keepText(className);
  owned->cls = cls;
  return owned;
}

}  // namespace

VesselRecord *Runtime::createVessel(const std::string &name, const std::string &className,
                                    const VESSELSTATUS2 *state, ScenarioBlock *block, std::string &error) {
  BusyScope scope(*this);
  if (!validName(name, error)) return nullptr;
  // A scenario's reader has looked already.
  if (!block && world.find(name)) {
    error = "the name " + name + " is taken";
    return nullptr;
  }
  // A ship held as read is written back by a save: a second ship of its
  // name would make the saved file name two ships alike.
  if (!block)
    for (const HeldShip &held : scenario.held)
      if (text::iequals(held.name, name)) {
        error = "a ship named " + held.name + " is already in the scenario (held as read)";
        return nullptr;
      }
  if (!block && (!state || !validStatus(*this, *state))) {
    error = "vessel " + name + ": the status record is not usable (version 2, a body of the world, finite numbers)";
    return nullptr;
  }
  if (faults.creationFails(*this, name, className)) {
    error = "vessel " + name + ": creation failed (injected fault)";
    return nullptr;
  }
  const VesselClass *cls = classes.find(className, error);
  if (!cls) return nullptr;
  const VesselModule *module = nullptr;
  if (!cls->module.empty()) {
    module = loadVesselModule(root, cls->module, error);
    if (!module) {
      error = "vessel class " + className + ": " + error;
      return nullptr;
    }
  }
  const CelestialBody *body = startingBody(*this, state);
  if (!body) {
    error = "vessel " + name + ": the status record names no body of the world";
    return nullptr;
  }
  OwnedVessel owned = newRecord(world, name, className, cls, error);
  if (!owned) return nullptr;
  owned->module = module;
  owned->landed = true;
  owned->body = body;
  applyClassDefaults(*this, *owned, *cls);
  setLanded(*owned, 0, 0, 0);
  VesselRecord *v = world.add(std::move(owned));

  if (module) {
    v->iface = module->ovcInit(v, 1);
    if (!v->iface) {
      error = "vessel class " + className + ": ovcInit of " + module->path + " gave no vessel";
      removed.push_back(world.remove(v));
      return nullptr;
    }
  } else {
    v->iface = v->makeHostIface();
  }
  VESSEL2 *cb = callbacksOf(v);
  if (module && cb) cb->clbkSetClassCaps(const_cast<VesselClass *>(cls));
  if (block) {
    if (!loadState(*this, *v, *block, error)) {
      removed.push_back(world.remove(v));
      return nullptr;
    }
  } else if (module && cb) {
    cb->clbkSetStateEx(state);
  } else {
    applyStatus2(*this, *v, *state);
  }
  if (module && cb) cb->clbkPostCreation();
  v->visual.owner = v;
  v->visHandle = &v->visual;
  if (module && cb) cb->clbkVisualCreated(v->visHandle, 1);
  // The module may have deleted its own vessel meanwhile.
  if (!world.fromHandle(v)) {
    error = "vessel " + name + " was deleted while it was being created";
    return nullptr;
  }
  if (!block) {
    announce(v);
    if (!focus) changeFocus(v);
  }
  return v;
}

VesselRecord *Runtime::createStandIn(const std::string &name, const std::string &className, ScenarioBlock &block,
                                     std::string &error) {
  BusyScope scope(*this);
  if (!validName(name, error)) return nullptr;
  if (faults.creationFails(*this, name, className)) {
    error = "vessel " + name + ": creation failed (injected fault)";
    return nullptr;
  }
  const CelestialBody *body = startingBody(*this, nullptr);
  OwnedVessel owned = newRecord(world, name, className, &standInClass(), error);
  if (!owned) return nullptr;
  owned->standIn = true;
  owned->body = body;
  applyClassDefaults(*this, *owned, standInClass());
  setLanded(*owned, 0, 0, 0);
  VesselRecord *v = world.add(std::move(owned));
  v->iface = v->makeHostIface();
  if (!loadState(*this, *v, block, error)) {
    removed.push_back(world.remove(v));
    return nullptr;
  }
  VesselRecord::AsRead &asRead = v->keepAsRead();
  asRead.keptLines.clear();
  for (std::string_view line : block.verbatim) asRead.verbatim.emplace_back(line);
  v->visual.owner = v;
  v->visHandle = &v->visual;
  return v;
}

void Runtime::announce(VesselRecord *v) {
  if (!v || v->announced) return;
  v->announced = true;
  if (!reporting(EventKind::Created)) return;
  const ViewFrame focusFrame = focus ? viewFrame(*this, *focus) : ViewFrame{};
  const Standing s = standingOf(*this, *v, focus ? &focusFrame : nullptr);
  Event e = Event::of(EventKind::Created, v->name);
  e.className = v->className;
  e.landed = s.landed;
  e.lon = s.lon;
  e.lat = s.lat;
  e.local = {s.local.x, s.local.y, s.local.z};
  e.emptyMass = v->emptyMass;
  report(std::move(e));
}

void Runtime::changeFocus(VesselRecord *v) {
  if (v == focus) return;
  VesselRecord *old = focus;
  focus = v;
  BusyScope scope(*this);
  if (VESSEL2 *cb = callbacksOf(old); cb && old->module) cb->clbkFocusChanged(false, v, old);
  if (VESSEL2 *cb = callbacksOf(v); cb && v->module) cb->clbkFocusChanged(true, v, old);
  if (v) report(Event::of(EventKind::Focus, v->name));
}

void Runtime::deleteVessel(VesselRecord *v, VesselRecord *alternative) {
  if (!world.fromHandle(v)) return;
  BusyScope scope(*this);
  if (focus == v) {
    VesselRecord *next = world.fromHandle(alternative);
    if (next == v) next = nullptr;
    for (size_t i = 0; !next && i < world.count(); ++i)
      if (world.at(i) != v) next = world.at(i);
    changeFocus(next);
  }
  detachAll(*this, *v);
  notifyVesselDeleted(v);
  bool wasAnnounced = v->announced;
  std::string name = v->name;
  removed.push_back(world.remove(v));
  if (wasAnnounced) report(Event::of(EventKind::Deleted, name));
}

void Runtime::deleteAllVessels() {
  ++busy;
  focus = nullptr;
  // Newest first; the names a few vessels ahead are made ready, as each
  // removal from the table of names reads it at a random place.
  constexpr size_t kNamesAhead = 8;
  for (size_t k = 1; k <= kNamesAhead && k <= world.count(); ++k) world.prefetchName(world.at(world.count() - k)->name);
  while (world.count() > 0) {
    if (world.count() > kNamesAhead) world.prefetchName(world.at(world.count() - 1 - kNamesAhead)->name);
    VesselRecord *v = world.at(world.count() - 1);
    detachAll(*this, *v);
    notifyVesselDeleted(v);
    removed.push_back(world.remove(v));
  }
  --busy;
  collectRemoved();
}

void Runtime::collectRemoved() {
  static bool collecting = false;
  if (collecting || busy > 0) return;
  collecting = true;
  while (!removed.empty()) {
    std::vector<OwnedVessel> batch;
    batch.swap(removed);
    // ovcExit in creation order (a world deleted whole comes newest first).
    auto older = [](const auto &a, const auto &b) { return a->serial < b->serial; };
    auto newer = [](const auto &a, const auto &b) { return a->serial > b->serial; };
    if (std::is_sorted(batch.begin(), batch.end(), newer))
      std::reverse(batch.begin(), batch.end());
    else
      std::sort(batch.begin(), batch.end(), older);
    for (auto &v : batch) {
      if (v->module && v->iface && v->module->ovcExit) {
        ++busy;
        v->module->ovcExit(v->iface);
        --busy;
      }
      v->iface = nullptr;
      v.reset();
    }
  }
  collecting = false;
}

}  // namespace simhost
