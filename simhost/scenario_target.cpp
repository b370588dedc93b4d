// Loading a scenario into the run: each ship of the file is made in the
// run's world as its block is read, stands in for a class the tree lacks, or
// is held as read where simhost cannot place it. What is not taken as it
// came becomes a note with its line.

#include "scenario_target.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "files/path_lookup.h"
#include "files/ship_place.h"
#include "scenario_apply.h"
#include "world/geometry.h"
#include "world/vessel_state.h"

namespace simhost {

namespace {

std::string quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

std::string firstWord(std::string_view line) {
  const text::FirstWords w(line);
  return w.empty() ? std::string() : text::lower(w[0]);
}

}  // namespace

void RunTarget::setDate(double mjd) {
  rt_.setDate(mjd);
}

bool RunTarget::hasVessel(std::string_view name) {
  if (rt_.world.find(name)) return true;
  for (const HeldShip &h : rt_.scenario.held)
    if (text::iequals(h.name, name)) return true;
  return false;
}

// A world of a hundred thousand ships asks its table of names at a random
// place for each: asked ahead, the answer is there when the ship comes.
void RunTarget::shipAhead(std::string_view name) { rt_.world.prefetchName(name); }

bool RunTarget::classFileMissing(const std::string &className) {
  // Asked once a class: a busy file names few classes for many ships.
  if (!lastClass_.empty() && text::iequals(lastClass_, className)) return lastClassMissing_;
  auto it = classMissing_.find(className);
  if (it == classMissing_.end())
    it = classMissing_.emplace(className, resolvePath(rt_.root, "Config\\Vessels\\" + className + ".cfg").empty()).first;
  lastClass_ = className;
  return lastClassMissing_ = it->second;
}

bool RunTarget::readBodyOf(const ShipPlace &place, std::string &why) {
  std::string error;
  bool missing = false;
  if (place.body.empty() || rt_.loadBody(place.body, error, missing)) return true;
  // A tree without the body's file holds the ship as read; a faulty file is
  // the user's to mend.
  if (missing) return true;
  why = rt_.root + "/" + error;
  for (char &c : why) c = c == '\\' ? '/' : c;
  return false;
}

std::string RunTarget::whyHeld(const std::string &className, const ShipPlace &place, bool standIn) {
  if (!place.body.empty() && !rt_.world.body(place.body))
    return std::string(place.landed ? "landed on " : "orbiting ") + place.body +
           ", a body the tree has no Config/" + place.body + ".cfg for";
  if (place.landed && !place.base.empty()) return "landed at base " + place.base + ", and simhost has no bases";
  if (!standIn) return "";
  const std::string standing = "stand-in: no Config/Vessels/" + className + ".cfg; ";
  if (!place.parent.empty()) return standing + "attached to " + place.parent;
  if (!place.landed || !place.hasPos) return standing + "only a landed one with POS has a known place";
  return "";
}

void RunTarget::hold(const std::string &name, const std::string &className, const ScenarioBlock &block,
                     const std::string &why) {
  HeldShip held;
  held.name = name;
  held.className = className;
  held.line = block.shipLine;
  held.afterSerial = lastSerial_;
  held.standIn = classFileMissing(className);
  for (std::string_view l : block.verbatim) held.lines.emplace_back(l);
  rt_.scenario.held.push_back(std::move(held));
  const std::string standIn = classFileMissing(className) && why.rfind("stand-in", 0) != 0
                                  ? "; a stand-in too: no Config/Vessels/" + className + ".cfg"
                                  : "";
  rt_.scenario.note(block.shipLine, name,
                    "held as read, not in the world: " + why + standIn + "; a save writes it back as read");
}

bool RunTarget::makeVessel(const std::string &name, const std::string &className, ScenarioBlock &block,
                           std::string &why) {
  const ShipPlace place = readShipPlace(block);
  if (!readBodyOf(place, why)) return false;
  const bool standIn = classFileMissing(className);
  const std::string held = whyHeld(className, place, standIn);
  if (!held.empty()) {
    hold(name, className, block, held);
    return true;
  }
  VesselRecord *v = standIn ? rt_.createStandIn(name, className, block, why)
                            : rt_.createVessel(name, className, nullptr, &block, why);
  if (!v) return false;
  if (standIn)
    rt_.scenario.note(block.shipLine, name,
                      "stand-in: no Config/Vessels/" + className +
                          ".cfg; it stands in the world as read (no attachments, no mesh, empty mass 0 kg) and a save "
                          "writes it back as read",
                      true);
  if (v->pendingAttachment) {
    PendingAttachment &pending = *v->pendingAttachment;
    pending.after = lastSerial_;
    pending.shipLine = block.shipLine;
    for (std::string_view l : block.verbatim) pending.verbatim.emplace_back(l);
  }
  lastSerial_ = v->serial;
  if (v->module) noteDroppedLines(*v, block);
  noteBelowGround(*v, block);
  return true;
}

void RunTarget::keepShipsGap(int line, std::vector<std::string> lines) {
  rt_.scenario.shipsGaps.push_back({line, lastSerial_, std::move(lines)});
}

void RunTarget::noteDroppedLines(VesselRecord &v, const ScenarioBlock &block) {
  std::vector<std::string> saved = blockLines(rt_, v);
  std::vector<bool> used(saved.size(), false);
  std::vector<const ScenarioBlock::Line *> unmatched;
  // The lines a save writes back unchanged first, then those it writes in
  // its own way (numbers rewritten) by their key.
  for (const ScenarioBlock::Line &line : block.lines) {
    auto it = std::find(saved.begin(), saved.end(), line.text);
    while (it != saved.end() && used[static_cast<size_t>(it - saved.begin())]) it = std::find(it + 1, saved.end(), line.text);
    if (it != saved.end()) {
      used[static_cast<size_t>(it - saved.begin())] = true;
    } else if (firstWord(line.text) != "attached") {  // joined, and written, once all vessels are made
      unmatched.push_back(&line);
    }
  }
  for (const ScenarioBlock::Line *line : unmatched) {
    const std::string key = firstWord(line->text);
    bool taken = false;
    for (size_t i = 0; i < saved.size() && !taken; ++i)
      if (!used[i] && firstWord(saved[i]) == key) used[i] = taken = true;
    if (!taken)
      rt_.scenario.note(line->number, v.name,
                        quoted(line->text) + " was taken neither by the module nor by simhost; a save will not write it");
  }
}

void RunTarget::noteBelowGround(VesselRecord &v, const ScenarioBlock &block) {
  if (v.landed || v.parentLink) return;
  const CelestialBody &body = bodyOf(v);
  const double height = geo::length(geo::sub(globalPos(rt_, v), body.position)) - body.radius;
  if (height > v.cogElev) return;
  landHere(rt_, v);
  char text[160];
  std::snprintf(text, sizeof text, "placed %.1f m below the ground; set down on it", v.cogElev - height);
  rt_.scenario.note(block.shipLine, v.name, text);
}

void RunTarget::holdAttached(VesselRecord &child, const char *parentIs) {
  PendingAttachment &pending = *child.pendingAttachment;
  HeldShip held;
  held.name = child.name;
  held.className = child.className;
  held.line = pending.shipLine;
  held.afterSerial = pending.after;
  held.lines = pending.verbatim;
  held.standIn = child.standIn;
  // What the file held after it now stands after the ship before it.
  for (HeldShip &h : rt_.scenario.held)
    if (h.afterSerial == child.serial) h.afterSerial = pending.after;
  for (ShipsGap &g : rt_.scenario.shipsGaps)
    if (g.afterSerial == child.serial) g.afterSerial = pending.after;
  rt_.scenario.note(pending.shipLine, child.name,
                    "held as read, not in the world: attached to " + pending.parent + parentIs +
                        "; a save writes it back as read");
  rt_.scenario.held.push_back(std::move(held));
  rt_.deleteVessel(&child, nullptr);
}

bool RunTarget::joinAttachments(int &line, std::string &what) {
  // A child of a parent simhost does not hold, or of a stand-in (which has
  // no attachment points), is held as read; so, in turn, are its own
  // children.
  // Only the children are walked, not the whole world again and again; a
  // child another deletion took along is passed over.
  std::vector<VesselRecord *> children;
  for (VesselRecord *v : rt_.world.vessels())
    if (v->pendingAttachment) children.push_back(v);
  for (bool more = true; more;) {
    more = false;
    for (VesselRecord *&child : children) {
      if (!child || !rt_.world.fromHandle(child)) continue;
      const VesselRecord *parent = rt_.world.find(child->pendingAttachment->parent);
      if (parent && !parent->standIn) continue;
      holdAttached(*std::exchange(child, nullptr),
                   parent ? ", a stand-in without attachment points" : ", which simhost does not hold");
      more = true;
    }
  }
  std::stable_sort(rt_.scenario.held.begin(), rt_.scenario.held.end(),
                   [](const HeldShip &a, const HeldShip &b) { return a.line < b.line; });
  for (VesselRecord *child : rt_.world.vessels()) {
    if (!child->pendingAttachment) continue;
    const PendingAttachment &pending = *child->pendingAttachment;
    line = pending.line > 0 ? pending.line : 1;
    VesselRecord *parent = rt_.world.find(pending.parent);
    size_t ci = static_cast<size_t>(pending.childPoint), pi = static_cast<size_t>(pending.parentPoint);
    if (ci >= child->parentPoints.size() || pi >= parent->childPoints.size() ||
        !attach(rt_, parent->childPoints[pi], child->parentPoints[ci])) {
      what = "cannot attach " + child->name + " to " + parent->name;
      return false;
    }
    child->pendingAttachment.reset();
  }
  return true;
}

bool RunTarget::setFocus(std::string_view name) {
  VesselRecord *f = name.empty() ? rt_.world.at(0) : rt_.world.find(name);
  if (!f && !name.empty()) {
    bool held = false;
    for (const HeldShip &h : rt_.scenario.held) held = held || text::iequals(h.name, name);
    if (!held) return false;
    f = rt_.world.at(0);
    rt_.scenario.note(0, std::string(name),
                      "the focus is on this ship, which is held as read; simhost gives it to " +
                          (f ? f->name : std::string("no vessel")));
  }
  rt_.focus = f;
  return true;
}

}  // namespace simhost
