#include "plugin/vessel_lines.h"

#include <memory>
#include <string>

#include "files/vessel_class.h"
#include "world/vessel_state.h"

namespace simhost {

namespace {

HostLines hostLinesOf(WorldAtTime &rt, const VesselRecord &v) {
  HostLines lines;
  lines.landed = isLanded(v);
  lines.body = bodyOf(v).name;
  if (lines.landed) {
    lines.lon = v.lon;
    lines.lat = v.lat;
    lines.hdg = v.hdg;
  } else {
    VESSELSTATUS vs;
    fillStatus(rt, v, vs);
    lines.rpos = vs.rpos;
    lines.rvel = vs.rvel;
    lines.arot = vs.arot;
    lines.vrot = vs.vrot;
  }
  if (v.parentLink) {
    const Attachment &c = *v.parentLink;
    const VesselRecord &parent = *c.peer->owner;
    const long ci = v.parentPoints.indexOf(&c), pi = parent.childPoints.indexOf(c.peer);
    lines.attached = true;
    lines.childPoint = ci < 0 ? 0 : ci;
    lines.parentPoint = pi < 0 ? 0 : pi;
    lines.parent = parent.name;
  }
  lines.afcMode = v.adcMode;
  return lines;
}

double classMass(const VesselRecord &v) { return v.cls && v.cls->hasMass ? v.cls->mass : 0.0; }

VECTOR3 vector(const double (&value)[3]) { return _V(value[0], value[1], value[2]); }

// The line's body into the status record; an unknown one is the block's fault.
void readStatus(WorldAtTime &rt, ScenarioBlock *block, const HostLine &read, VESSELSTATUS2 &vs) {
  const CelestialBody *body = rt.world.body(read.body);
  if (!body) {
    if (block) block->fail("unknown body " + std::string(read.body) + " (no Config/" + std::string(read.body) + ".cfg)");
    return;
  }
  vs.status = read.landed ? 1 : 0;
  vs.rbody = handleOf(*body);
  if (block) block->sawStatus = true;
}

void keepAttachment(VesselRecord &v, ScenarioBlock *block, const HostLine &read) {
  auto pending = std::make_unique<PendingAttachment>();
  pending->parent = std::string(read.parent);
  pending->childPoint = read.childPoint;
  pending->parentPoint = read.parentPoint;
  pending->line = block ? block->currentLine : 0;
  v.pendingAttachment = std::move(pending);
}

}  // namespace

void writeHostLines(WorldAtTime &rt, VesselRecord &v, ScenarioWriter &w) { writeHostLines(hostLinesOf(rt, v), w); }

bool parseHostLine(WorldAtTime &rt, VesselRecord &v, std::string_view line, VESSELSTATUS2 &vs) {
  ScenarioBlock *block = v.loading;
  HostLine read;
  const LineRead how = readHostLine(line, block, read);
  if (how != LineRead::Read) return how == LineRead::Faulty;
  switch (read.key) {
    case HostLine::Key::Status: readStatus(rt, block, read, vs); break;
    case HostLine::Key::Pos:
      vs.surf_lng = read.value[0];
      vs.surf_lat = read.value[1];
      break;
    case HostLine::Key::Heading: vs.surf_hdg = read.value[0]; break;
    case HostLine::Key::Rpos:
      vs.rpos = vector(read.value);
      if (block) block->sawRpos = true;
      break;
    case HostLine::Key::Rvel: vs.rvel = vector(read.value); break;
    case HostLine::Key::Arot: vs.arot = vector(read.value); break;
    case HostLine::Key::Vrot: vs.vrot = vector(read.value); break;
    case HostLine::Key::AfcMode: v.adcMode = read.afcMode; break;
    case HostLine::Key::Attached: keepAttachment(v, block, read); break;
  }
  return true;
}

void writeOwnLines(const VesselRecord &v, ScenarioWriter &w) {
  if (v.emptyMass != classMass(v)) writeEmptyMassLine(v.emptyMass, w);
}

bool parseOwnLine(VesselRecord &v, std::string_view line) {
  return readEmptyMassLine(line, v.loading, v.emptyMass) != LineRead::NotOurs;
}

}  // namespace simhost
