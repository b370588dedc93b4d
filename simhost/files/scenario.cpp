// The host's own vessel lines in scenario files (read and written), and the
// handles through which modules read and write their blocks.

#include "files/scenario.h"

#include <cmath>
#include <charconv>
#include <cstdio>

#include "files/scenario_file.h"
#include "files/vessel_class.h"
#include "world/geometry.h"
#include "world/text.h"
#include "world/vessel_state.h"

namespace simhost {

namespace {

ScenarioBlock *g_block = nullptr;
// What a save holds of its file before writing it.
constexpr size_t kFilePieceBytes = size_t{1} << 20;
ScenarioWriter *g_writer = nullptr;
constexpr double kDeg = 180.0 / geo::kPi;

// As printf's "%.*f" writes it (both round the exact value the same way).
std::string fixed(double d, int decimals) {
  char buf[400];
  if (!std::isfinite(d)) d = 0;
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed, decimals);
  std::string_view s(buf, ec == std::errc() ? static_cast<size_t>(end - buf) : 0);
  // "-0.000000" and "0.000000" are the same value; write it one way.
  if (!s.empty() && s[0] == '-' && s.find_first_not_of("-0.") == std::string_view::npos) s.remove_prefix(1);
  return std::string(s);
}

std::string triple(const VECTOR3 &v, double factor, int decimals) {
  if (decimals < 0)
    return text::formatRoundTrip(v.x * factor) + " " + text::formatRoundTrip(v.y * factor) + " " +
           text::formatRoundTrip(v.z * factor);
  return fixed(v.x * factor, decimals) + " " + fixed(v.y * factor, decimals) + " " + fixed(v.z * factor, decimals);
}

}  // namespace

ScenarioBlock *activeBlock(FILEHANDLE f) { return f && f == g_block ? g_block : nullptr; }
ScenarioWriter *activeWriter(FILEHANDLE f) { return f && f == g_writer ? g_writer : nullptr; }
void setActiveBlock(ScenarioBlock *b) { g_block = b; }
void setActiveWriter(ScenarioWriter *w) { g_writer = w; }

void ScenarioBlock::fail(const std::string &what) {
  if (error.empty()) error = std::string(file) + ":" + std::to_string(currentLine) + ": " + what;
}

void ScenarioBlock::reset() {
  lines.clear();
  verbatim.clear();
  next = 0;
  shipLine = currentLine = 0;
  buffer[0] = '\0';
  error.clear();
  sawStatus = sawRpos = false;
}

void ScenarioWriter::line(std::string_view text) { line({text}); }

void ScenarioWriter::line(std::initializer_list<std::string_view> pieces) {
  const size_t start = out.size();
  for (std::string_view piece : pieces) out.append(piece);
  if (out.size() - start > kScenarioLineCapacity && overlong.empty()) overlong = out.substr(start, 40);
  for (size_t i = start; i < out.size(); ++i)
    if (out[i] == '\n' || out[i] == '\r') out[i] = ' ';
  out += '\n';
  if (file && out.size() >= kFilePieceBytes) flush();
}

void ScenarioWriter::flush() {
  if (!file || out.empty()) return;
  const std::string crlfOut = crlf ? withCrLf(out) : std::string();
  const std::string &piece = crlf ? crlfOut : out;
  if (std::fwrite(piece.data(), 1, piece.size(), file) != piece.size()) failed = true;
  out.clear();
}

void ScenarioWriter::item(const char *key, std::string_view value) { line({"  ", key, " ", value}); }

void writeHostLines(WorldAtTime &rt, VesselRecord &v, ScenarioWriter &w) {
  if (isLanded(v)) {
    w.line({"  STATUS Landed ", bodyOf(v).name});
    const std::string lon = fixed(v.lon * kDeg, 10), lat = fixed(v.lat * kDeg, 10);
    w.line({"  POS ", lon, " ", lat});
    w.item("HEADING", fixed(v.hdg * kDeg, 6));
  } else {
    VESSELSTATUS vs;
    fillStatus(rt, v, vs);
    w.line({"  STATUS Orbiting ", bodyOf(v).name});
    // Positions and velocities are kept exactly; angles pass through a
    // rotation matrix, so they are written to a precision that survives it.
    w.item("RPOS", triple(vs.rpos, 1, -1));
    w.item("RVEL", triple(vs.rvel, 1, -1));
    w.item("AROT", triple(vs.arot, kDeg, 9));
    w.item("VROT", triple(vs.vrot, kDeg, 9));
  }
  if (v.parentLink) {
    const Attachment &c = *v.parentLink;
    const VesselRecord &parent = *c.peer->owner;
    long ci = v.parentPoints.indexOf(&c), pi = parent.childPoints.indexOf(c.peer);
    if (ci < 0) ci = 0;
    if (pi < 0) pi = 0;
    w.item("ATTACHED", std::to_string(ci) + ":" + std::to_string(pi) + "," + parent.name);
  }
  w.item("AFCMODE", std::to_string(v.adcMode));
}

namespace {

const char kEmptyMassKey[] = "SIMHOST_EMPTYMASS";

double classMass(const VesselRecord &v) { return v.cls && v.cls->hasMass ? v.cls->mass : 0.0; }

}  // namespace

void writeOwnLines(const VesselRecord &v, ScenarioWriter &w) {
  if (v.emptyMass != classMass(v)) w.item(kEmptyMassKey, text::formatRoundTrip(v.emptyMass));
}

bool parseOwnLine(VesselRecord &v, std::string_view line) {
  std::string_view l = text::trim(line);
  const size_t keyEnd = l.find_first_of(" \t");
  if (!text::iequals(l.substr(0, keyEnd), kEmptyMassKey)) return false;
  double kg = 0;
  if (keyEnd == std::string_view::npos || !text::parseNumbers(l.substr(keyEnd), &kg, 1) || !std::isfinite(kg) ||
      kg < 0) {
    if (v.loading) v.loading->fail(std::string(kEmptyMassKey) + " needs one number of kg, 0 or more");
    return true;
  }
  v.emptyMass = kg;
  return true;
}

bool parseHostLine(WorldAtTime &rt, VesselRecord &v, std::string_view line, VESSELSTATUS2 &vs) {
  std::string_view l = text::trim(line);
  const text::FirstWords w(l);
  if (w.empty()) return false;
  std::string_view key = w[0];
  std::string_view rest = l.substr(key.size());
  ScenarioBlock *block = v.loading;
  auto fail = [&](const std::string &what) {
    if (block) block->fail(what);
    return true;
  };
  double d[3];
  if (text::iequals(key, "STATUS")) {
    // The mill's own "Status <stage>" shares the word: only a landing
    // description makes it the host's line.
    if (w.size() < 2) return false;
    bool landed = text::iequals(w[1], "Landed");
    if (!landed && !text::iequals(w[1], "Orbiting")) return false;
    if (w.size() != 3) return fail("STATUS " + std::string(w[1]) + " needs one body");
    const CelestialBody *body = rt.world.body(w[2]);
    if (!body) return fail("unknown body " + std::string(w[2]) + " (no Config/" + std::string(w[2]) + ".cfg)");
    vs.status = landed ? 1 : 0;
    vs.rbody = handleOf(*body);
    if (block) block->sawStatus = true;
    return true;
  }
  if (text::iequals(key, "POS")) {
    if (!text::parseNumbers(rest, d, 2)) return fail("POS needs longitude and latitude in degrees");
    if (std::fabs(d[1]) > 90) return fail("POS latitude beyond 90 degrees");
    vs.surf_lng = d[0] / kDeg;
    vs.surf_lat = d[1] / kDeg;
    return true;
  }
  if (text::iequals(key, "HEADING")) {
    if (!text::parseNumbers(rest, d, 1)) return fail("HEADING needs one number of degrees");
    vs.surf_hdg = d[0] / kDeg;
    return true;
  }
  struct Triple {
    const char *name;
    VECTOR3 *target;
    double factor;
  };
  const Triple triples[] = {{"RPOS", &vs.rpos, 1}, {"RVEL", &vs.rvel, 1}, {"AROT", &vs.arot, 1 / kDeg},
                            {"VROT", &vs.vrot, 1 / kDeg}};
  for (const Triple &t : triples) {
    if (!text::iequals(key, t.name)) continue;
    if (!text::parseNumbers(rest, d, 3)) return fail(std::string(t.name) + " needs three numbers");
    *t.target = _V(d[0] * t.factor, d[1] * t.factor, d[2] * t.factor);
    if (block && t.target == &vs.rpos) block->sawRpos = true;
    return true;
  }
  if (text::iequals(key, "AFCMODE")) {
    long long mode = 0;
    if (w.size() != 2 || !text::parseInteger(w[1], mode) || mode < 0 || mode > 0xffffffffLL)
      return fail("AFCMODE needs one whole number");
    v.adcMode = static_cast<DWORD>(mode);
    return true;
  }
  if (text::iequals(key, "ATTACHED")) {
    std::string_view r = text::trim(rest);
    size_t colon = r.find(':'), comma = r.find(',');
    long long ci = 0, pi = 0;
    if (colon == std::string_view::npos || comma == std::string_view::npos || comma < colon ||
        !text::parseInteger(r.substr(0, colon), ci) || !text::parseInteger(r.substr(colon + 1, comma - colon - 1), pi) ||
        ci < 0 || pi < 0 || text::trim(r.substr(comma + 1)).empty())
      return fail("ATTACHED needs CHILDPOINT:PARENTPOINT,PARENT");
    auto pending = std::make_unique<PendingAttachment>();
    pending->parent = std::string(text::trim(r.substr(comma + 1)));
    pending->childPoint = static_cast<long>(ci);
    pending->parentPoint = static_cast<long>(pi);
    pending->line = block ? block->currentLine : 0;
    v.pendingAttachment = std::move(pending);
    return true;
  }
  return false;
}

}  // namespace simhost
