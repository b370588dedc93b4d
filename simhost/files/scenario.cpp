// The host's own vessel lines in scenario files, read and written as plain
// data, and the handles through which modules read and write their blocks.

#include "files/scenario.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "files/scenario_file.h"
#include "world/fixed_digits.h"
#include "world/geometry.h"
#include "world/text.h"

namespace simhost {

namespace {

ScenarioBlock *g_block = nullptr;
// What a save holds of its file before writing it: room made once and
// written again and again, so that a big world's save touches few fresh pages.
constexpr size_t kFilePieceBytes = size_t{256} << 10;
ScenarioWriter *g_writer = nullptr;
constexpr double kDeg = 180.0 / geo::kPi;

std::string fixed(double d, int decimals) {
  std::string s;
  text::appendFixed(s, std::isfinite(d) ? d : 0, decimals);
  return s;
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

namespace {

// A line break inside a line would split it: each becomes a blank. Sought
// eight bytes at a time, as a save writes millions of lines that have none.
void blankOutEight(char *at) {
  std::uint64_t eight;
  std::memcpy(&eight, at, 8);
  for (std::uint64_t found = text::bytesEqualTo(eight, '\n') | text::bytesEqualTo(eight, '\r'); found != 0;
       found &= found - 1)
    at[std::countr_zero(found) / 8] = ' ';
}

void blankOutBreaks(char *from, char *end) {
  if (std::endian::native == std::endian::little && end - from >= 8) {
    for (; end - from > 8; from += 8) blankOutEight(from);
    // The last eight bytes, overlapping what was looked at: blanking twice
    // is blanking once.
    blankOutEight(end - 8);
    return;
  }
  for (; from != end; ++from)
    if (*from == '\n' || *from == '\r') *from = ' ';
}

}  // namespace

void ScenarioWriter::line(std::string_view text) { line({text}); }

void ScenarioWriter::line(std::initializer_list<std::string_view> pieces) {
  size_t length = 0;
  for (std::string_view piece : pieces) length += piece.size();
  if (length > kScenarioLineCapacity) {
    const size_t start = out.size();
    for (std::string_view piece : pieces) out.append(piece);
    if (overlong.empty()) overlong = out.substr(start, 40);
    blankOutBreaks(out.data() + start, out.data() + out.size());
    out += '\n';
  } else {
    // Put together here and added at once: a save writes millions of lines
    // of a few short pieces each.
    char text[kScenarioLineCapacity + 1];
    char *at = text;
    for (std::string_view piece : pieces) at = text::copyPiece(at, piece);
    blankOutBreaks(text, at);
    *at++ = '\n';
    out.append(text, static_cast<size_t>(at - text));
  }
  if (file && out.size() >= kFilePieceBytes) flush();
}

void ScenarioWriter::flush() {
  if (!file) return;
  // The room for a piece is made once, as the file is started.
  if (out.capacity() < kFilePieceBytes) out.reserve(kFilePieceBytes + kFilePieceBytes / 8);
  if (out.empty()) return;
  const std::string crlfOut = crlf ? withCrLf(out) : std::string();
  const std::string &piece = crlf ? crlfOut : out;
  if (std::fwrite(piece.data(), 1, piece.size(), file) != piece.size()) failed = true;
  out.clear();
}

void ScenarioWriter::item(const char *key, std::string_view value) { line({"  ", key, " ", value}); }

void writeHostLines(const HostLines &lines, ScenarioWriter &w) {
  if (lines.landed) {
    w.line({"  STATUS Landed ", lines.body});
    const std::string lon = fixed(lines.lon * kDeg, 10), lat = fixed(lines.lat * kDeg, 10);
    w.line({"  POS ", lon, " ", lat});
    w.item("HEADING", fixed(lines.hdg * kDeg, 6));
  } else {
    w.line({"  STATUS Orbiting ", lines.body});
    // Positions and velocities are kept exactly; angles pass through a
    // rotation matrix, so they are written to a precision that survives it.
    w.item("RPOS", triple(lines.rpos, 1, -1));
    w.item("RVEL", triple(lines.rvel, 1, -1));
    w.item("AROT", triple(lines.arot, kDeg, 9));
    w.item("VROT", triple(lines.vrot, kDeg, 9));
  }
  if (lines.attached)
    w.item("ATTACHED", std::to_string(lines.childPoint) + ":" + std::to_string(lines.parentPoint) + "," +
                           std::string(lines.parent));
  w.item("AFCMODE", std::to_string(lines.afcMode));
}

namespace {

const char kEmptyMassKey[] = "SIMHOST_EMPTYMASS";

LineRead faulty(ScenarioBlock *block, const std::string &what) {
  if (block) block->fail(what);
  return LineRead::Faulty;
}

}  // namespace

void writeEmptyMassLine(double kg, ScenarioWriter &w) { w.item(kEmptyMassKey, text::formatRoundTrip(kg)); }

LineRead readEmptyMassLine(std::string_view line, ScenarioBlock *block, double &kg) {
  std::string_view l = text::trim(line);
  if (l.empty() || (l[0] != kEmptyMassKey[0] && l[0] != kEmptyMassKey[0] - 'A' + 'a')) return LineRead::NotOurs;
  // A loop, not find_first_of, which looks each character up in the set.
  size_t keyEnd = 0;
  while (keyEnd < l.size() && l[keyEnd] != ' ' && l[keyEnd] != '\t') ++keyEnd;
  if (keyEnd == l.size()) keyEnd = std::string_view::npos;
  if (!text::iequals(l.substr(0, keyEnd), kEmptyMassKey)) return LineRead::NotOurs;
  double read = 0;
  if (keyEnd == std::string_view::npos || !text::parseNumbers(l.substr(keyEnd), &read, 1) || !std::isfinite(read) ||
      read < 0)
    return faulty(block, std::string(kEmptyMassKey) + " needs one number of kg, 0 or more");
  kg = read;
  return LineRead::Read;
}

namespace {

LineRead readStatus(const text::FirstWords &w, ScenarioBlock *block, HostLine &read) {
  // The mill's own "Status <stage>" shares the word: only a landing
  // description makes it the host's line.
  if (w.size() < 2) return LineRead::NotOurs;
  read.landed = text::iequals(w[1], "Landed");
  if (!read.landed && !text::iequals(w[1], "Orbiting")) return LineRead::NotOurs;
  if (w.size() != 3) return faulty(block, "STATUS " + std::string(w[1]) + " needs one body");
  read.key = HostLine::Key::Status;
  read.body = w[2];
  return LineRead::Read;
}

LineRead readAttached(std::string_view rest, ScenarioBlock *block, HostLine &read) {
  std::string_view r = text::trim(rest);
  size_t colon = r.find(':'), comma = r.find(',');
  long long ci = 0, pi = 0;
  if (colon == std::string_view::npos || comma == std::string_view::npos || comma < colon ||
      !text::parseInteger(r.substr(0, colon), ci) || !text::parseInteger(r.substr(colon + 1, comma - colon - 1), pi) ||
      ci < 0 || pi < 0 || ci > 0x7fffffff || pi > 0x7fffffff || text::trim(r.substr(comma + 1)).empty())
    return faulty(block, "ATTACHED needs CHILDPOINT:PARENTPOINT,PARENT");
  read.key = HostLine::Key::Attached;
  read.childPoint = static_cast<long>(ci);
  read.parentPoint = static_cast<long>(pi);
  read.parent = text::trim(r.substr(comma + 1));
  return LineRead::Read;
}

}  // namespace

LineRead readHostLine(std::string_view line, ScenarioBlock *block, HostLine &read) {
  std::string_view l = text::trim(line);
  // The key alone first: a line's further words are counted only where its
  // key asks for them, and a POS line is mostly digits.
  const std::string_view key = text::firstWord(l);
  if (key.empty()) return LineRead::NotOurs;
  std::string_view rest = l.substr(key.size());
  double *d = read.value;
  if (text::iequals(key, "STATUS")) return readStatus(text::FirstWords(l), block, read);
  if (text::iequals(key, "POS")) {
    if (!text::parseNumbers(rest, d, 2)) return faulty(block, "POS needs longitude and latitude in degrees");
    if (std::fabs(d[1]) > 90) return faulty(block, "POS latitude beyond 90 degrees");
    read.key = HostLine::Key::Pos;
    d[0] /= kDeg;
    d[1] /= kDeg;
    return LineRead::Read;
  }
  if (text::iequals(key, "HEADING")) {
    if (!text::parseNumbers(rest, d, 1)) return faulty(block, "HEADING needs one number of degrees");
    read.key = HostLine::Key::Heading;
    d[0] /= kDeg;
    return LineRead::Read;
  }
  struct Triple {
    const char *name;
    HostLine::Key key;
    double factor;
  };
  const Triple triples[] = {{"RPOS", HostLine::Key::Rpos, 1},
                            {"RVEL", HostLine::Key::Rvel, 1},
                            {"AROT", HostLine::Key::Arot, 1 / kDeg},
                            {"VROT", HostLine::Key::Vrot, 1 / kDeg}};
  for (const Triple &t : triples) {
    if (!text::iequals(key, t.name)) continue;
    if (!text::parseNumbers(rest, d, 3)) return faulty(block, std::string(t.name) + " needs three numbers");
    read.key = t.key;
    for (int i = 0; i < 3; ++i) d[i] *= t.factor;
    return LineRead::Read;
  }
  if (text::iequals(key, "AFCMODE")) {
    const text::FirstWords w(l);
    long long mode = 0;
    if (w.size() != 2 || !text::parseInteger(w[1], mode) || mode < 0 || mode > 0xffffffffLL)
      return faulty(block, "AFCMODE needs one whole number");
    read.key = HostLine::Key::AfcMode;
    read.afcMode = static_cast<DWORD>(mode);
    return LineRead::Read;
  }
  if (text::iequals(key, "ATTACHED")) return readAttached(rest, block, read);
  return LineRead::NotOurs;
}

}  // namespace simhost
