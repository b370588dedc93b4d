#include "shared/timeline.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string_view>
#include <vector>

#include "shared/key_chords.h"
#include "shared/numbers.h"
#include "world/fixed_digits.h"

namespace simhost::command {

namespace {

using nlohmann::json;

// The closing line names this many vessels and counts the rest.
constexpr size_t kVesselsNamedAtEnd = 5;
// The HUD's lines are placed in rows of a sixtieth of its height.
constexpr long kHudRowsPerHeight = 60;

std::string vector3(const std::array<double, 3> &v, int decimals) {
  std::string s = "(";
  for (size_t i = 0; i < 3; ++i) {
    if (i > 0) s += ", ";
    s += fixed(v[i], decimals);
  }
  return s + ")";
}

// A whole number as the timeline writes it.
std::string whole(double value) { return trimmed(value, 0); }

// Texts from the simulation are shown in double quotes, with what would
// break the line or the quoting escaped, so every event stays one line.
std::string inQuotes(const std::string &s) {
  std::string q = "\"";
  for (char c : s) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      q += '\\';
      q += c;
    } else if (u < 0x20 || u == 0x7F) {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02X", u);
      q += code;
    } else {
      q += c;
    }
  }
  return q + "\"";
}

std::string line(double t, const std::string &kind, const std::string &what) {
  char tag[32];
  std::snprintf(tag, sizeof tag, "%-8s ", kind.c_str());
  return timelineStamp(t) + tag + what + "\n";
}

// "23.4730000 E": the degrees without their sign, then the side; what
// rounds to zero is on the positive side.
char *writeCoordinate(char *to, double degrees, char positive, char negative) {
  char *const digits = to;
  to = text::writePrintfFixed(to, std::fabs(degrees), 7);
  const bool roundsToZero = std::all_of(digits, to, [](char c) { return c == '0' || c == '.'; });
  *to++ = ' ';
  *to++ = degrees < 0 && !roundsToZero ? negative : positive;
  return to;
}

// What an injected fault struck, in the words of the fault verb.
std::string faultText(const Event &e) {
  const std::string &fault = e.fault;
  if (fault == "create-fails") return fault + ": " + e.vessel + " (" + e.className + ") not created";
  if (fault == "mesh-fails") return fault + ": mesh " + inQuotes(e.mesh) + " not loaded";
  if (fault == "file-vanishes") return fault + ": " + inQuotes(e.file) + " removed as it was opened";
  if (fault == "file-unopenable") return fault + ": " + inQuotes(e.file) + " not opened";
  if (fault == "crew-count") return fault + ": the crew table's entry count set to " + whole(e.count);
  if (fault == "crew-table-full") return fault + ": every free entry of the crew table taken";
  if (fault == "crew-table-restored") return fault + ": the crew table's filler entries freed, its count recounted";
  return fault;
}

std::string createdText(const Event &e, const std::string &focusName) {
  std::string s = e.vessel + " (" + e.className + ") " + placeText(e);
  if (!focusName.empty() && e.vessel == focusName) {
    s += ", the focus vessel";
  } else {
    s += ", " + vector3(e.local, 1) + " m from " + (focusName.empty() ? std::string("the focus vessel") : focusName);
  }
  return s + ", empty mass " + trimmed(e.emptyMass, 3) + " kg";
}

// The simulator's mesh visibility bits in words: when the mesh is drawn.
std::string visibilityWords(long mode) {
  if (mode == MESHVIS_NEVER) return "never shown";
  struct Bit {
    long bit;
    const char *where;
  };
  constexpr Bit kBits[] = {{MESHVIS_EXTERNAL, "external views"}, {MESHVIS_COCKPIT, "the cockpit"},
                           {MESHVIS_VC, "the virtual cockpit"}};
  std::vector<std::string> places;
  long rest = mode;
  for (const Bit &b : kBits) {
    if ((mode & b.bit) == 0) continue;
    places.push_back(b.where);
    rest &= ~b.bit;
  }
  if (rest != 0) {
    char bits[32];
    std::snprintf(bits, sizeof bits, "other bits 0x%lX", static_cast<unsigned long>(rest));
    places.push_back(bits);
  }
  std::string where;
  for (size_t i = 0; i < places.size(); ++i) {
    where += i == 0 ? "" : (i + 1 == places.size() ? " and " : ", ");
    where += places[i];
  }
  if ((mode & MESHVIS_ALWAYS) == MESHVIS_ALWAYS) return "always shown (" + where + ")";
  return "shown in " + where;
}

// A mesh group transform: which group, how, and about what when told.
std::string transformWords(const Event &e) {
  std::string s = e.group < 0 ? "the whole mesh" : "group " + std::to_string(e.group);
  const std::string &kind = e.transform;
  if (kind == "rotate") {
    s += " rotated";
    if (e.rotationKnown) {
      s += " by " + trimmed(e.angle * 180.0 / std::numbers::pi, 1) + " deg (" + trimmed(e.angle, 3) + " rad)";
      s += " about " + vector3(e.axis, 2);
    }
    return s;
  }
  if (kind == "translate") return s + " moved";
  if (kind == "scale") return s + " scaled";
  return s + " transformed" + (kind.empty() ? "" : " (" + kind + ")");
}

std::string meshText(const Event &e) {
  std::string s = e.vessel + " mesh " + std::to_string(e.index);
  if (e.meshAction == MeshAction::Visibility) {
    const long mode = static_cast<long>(e.mode);
    return s + " visibility " + std::to_string(mode) + ": " + visibilityWords(mode);
  }
  if (e.meshAction == MeshAction::Transform) return s + (e.mesh.empty() ? "" : " " + e.mesh) + ": " + transformWords(e);
  s += std::string(" ") + meshActionName(e.meshAction);
  if (!e.mesh.empty()) s += " " + e.mesh;
  if (e.offsetKnown) s += (e.meshAction == MeshAction::Shifted ? " by " : " at ") + vector3(e.offset, 2) + " m";
  return s;
}

bool sameSpot(const HudRow &a, const HudRow &b) { return a.x == b.x && a.y == b.y; }

// The row of the same spot in rows, the nth of that spot; null when none.
const HudRow *rowAt(const std::vector<HudRow> &rows, const HudRow &spot, int nth) {
  for (const HudRow &row : rows) {
    if (sameSpot(row, spot) && nth-- == 0) return &row;
  }
  return nullptr;
}

// How many rows before index i share its spot: texts drawn over each other
// are told apart by their order.
int nthAtSpot(const std::vector<HudRow> &rows, size_t i) {
  int nth = 0;
  for (size_t j = 0; j < i; ++j) nth += sameSpot(rows[j], rows[i]);
  return nth;
}

bool oneMargin(const std::vector<HudRow> &rows) {
  for (const HudRow &row : rows) {
    if (row.x != rows[0].x) return false;
  }
  return true;
}

// "row 18 (y=216 px)": the row counted in H/60, the unit of the HUD's
// lines, and the pixels; the pixels alone when y is no whole row.
std::string rowName(const HudRow &row, long rowHeight, bool withX) {
  std::string pixels = (withX ? "x=" + std::to_string(row.x) + ", " : "") + "y=" + std::to_string(row.y) + " px";
  if (rowHeight <= 0 || row.y % rowHeight != 0) return pixels;
  return "row " + std::to_string(row.y / rowHeight) + " (" + pixels + ")";
}

// A key and the vessel's answer in words: 1 is the vessel's "consumed", 0
// leaves the key to the simulator; that is no failure.
std::string keyText(const Event &e, const std::string &focusName) {
  KeyChord chord;
  chord.code = std::min<DWORD>(e.code, 0xFF);
  chord.shift = e.shift;
  chord.ctrl = e.ctrl;
  chord.rshift = e.rshift;
  chord.rctrl = e.rctrl;
  std::string s = keyChordName(chord);
  if (!e.answered) return s;
  const std::string vessel = focusName.empty() ? "the vessel in focus" : focusName;
  if (e.result == 1) {
    s += ": consumed by " + vessel;
  } else if (e.result == 0) {
    s += ": not consumed by " + vessel + ", left to the simulator";
  } else {
    s += ": " + vessel + " answered " + whole(e.result);
  }
  if (e.upResult != 0) s += "; its release answered " + whole(e.upResult);
  return s;
}

std::string activateText(const Event &e) {
  if (e.id == -1) return e.vessel + ": nothing in reach";
  return e.vessel + " area " + whole(e.id);
}

// The door states the crew add-on publishes.
std::string doorWords(long door) {
  if (door == 0) return "door closed";
  if (door == 1) return "door open";
  return "door state " + std::to_string(door);
}

std::string airlockText(const Event &e) {
  std::string s = e.vessel;
  if (e.boxKnown) {
    auto at = [&e](size_t i) { return fixed(e.box[i], 1); };
    s += " x " + at(0) + ".." + at(1) + ", y " + at(2) + ".." + at(3) + ", z " + at(4) + ".." + at(5) + " m";
  }
  s += ", " + doorWords(e.door);
  const long seats = e.freeSeats;
  s += seats == 0 ? ", no free seat" : ", " + std::to_string(seats) + (seats == 1 ? " free seat" : " free seats");
  return s + ", aux value " + whole(e.aux);
}

std::string runStart(const RunEvent &r) {
  std::string s = "simhost: scenario " + r.scenario + " on the simulator tree " + r.root + "\n";
  if (!r.script.empty()) {
    std::string from = r.scriptBeside ? " (found beside the scenario)" : "";
    s += "  script " + r.script + from + ", " + std::to_string(r.events) + (r.events == 1 ? " event" : " events") + "\n";
  } else {
    s += "  no script\n";
  }
  s += "  runs until " + trimmed(r.until, 3) + " s of simulation time, frames of " + trimmed(r.dt, 6) +
       " s of real time, time acceleration " + trimmed(r.warp, 6) + "\n";
  s += "  each line: [simulation time] what happened\n";
  s += "  the HUD's texts by row: row N is drawn at y = N x H/60 px of a HUD H px high\n";
  return s;
}

// A count with its thousands apart: "99 995".
std::string grouped(size_t count) {
  const std::string digits = std::to_string(count);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ' ';
    out += digits[i];
  }
  return out;
}

std::string runEnd(double t, const RunEvent &r) {
  std::string s = r.ok ? "Finished" : "Failed";
  const size_t frames = static_cast<size_t>(std::max(0L, r.frames));
  s += " at " + fixed(t, 1) + " s of simulation time after " + grouped(frames) + (frames == 1 ? " frame" : " frames");
  const std::vector<std::string> &vessels = r.vessels;
  s += "; " + grouped(vessels.size()) + (vessels.size() == 1 ? " vessel" : " vessels");
  const size_t named = std::min(vessels.size(), kVesselsNamedAtEnd);
  for (size_t i = 0; i < named; ++i) s += (i == 0 ? ": " : ", ") + vessels[i];
  if (vessels.size() > named) s += " and " + grouped(vessels.size() - named) + " more";
  return s + "\n";
}

// ---- a trace line's event, read back: every field checked, since the
// line may come from another simhost or be damaged.

std::string text(const json &event, const char *field) {
  auto it = event.find(field);
  if (it == event.end() || !it->is_string()) return {};
  return it->get<std::string>();
}

double number(const json &event, const char *field, double fallback = 0) {
  auto it = event.find(field);
  if (it == event.end() || !it->is_number()) return fallback;
  return it->get<double>();
}

// A whole number of the event, kept within a range that any count, pixel
// or code of an event lies in, so that a malformed event converts safely.
int count(const json &event, const char *field, int fallback = 0) {
  constexpr double kLimit = 1e9;
  const double value = number(event, field, static_cast<double>(fallback));
  return static_cast<int>(std::clamp(value, -kLimit, kLimit));
}

bool has(const json &event, const char *field) { return event.contains(field) && !event[field].is_null(); }

bool flag(const json &event, const char *field) {
  auto it = event.find(field);
  return it != event.end() && ((it->is_boolean() && it->get<bool>()) || (it->is_number() && it->get<double>() != 0));
}

template <size_t N>
bool numbers(const json &event, const char *field, std::array<double, N> &out) {
  auto it = event.find(field);
  if (it == event.end() || !it->is_array() || it->size() != N) return false;
  for (size_t i = 0; i < N; ++i) out[i] = (*it)[i].is_number() ? (*it)[i].get<double>() : 0.0;
  return true;
}

bool kindNamed(const std::string &name, EventKind &kind) {
  for (int k = 0; k <= static_cast<int>(EventKind::Error); ++k) {
    if (name == kindName(static_cast<EventKind>(k))) {
      kind = static_cast<EventKind>(k);
      return true;
    }
  }
  return false;
}

bool meshActionNamed(const std::string &name, MeshAction &action) {
  for (int a = 0; a <= static_cast<int>(MeshAction::Transform); ++a) {
    if (name == meshActionName(static_cast<MeshAction>(a))) {
      action = static_cast<MeshAction>(a);
      return true;
    }
  }
  return false;
}

// The event a trace line tells; false for a kind (or a mesh action) this
// simhost does not know.
bool eventOf(const json &j, Event &e) {
  if (!kindNamed(text(j, "kind"), e.kind)) return false;
  e.t = number(j, "t");
  e.sys = number(j, "sys");
  const bool aboutVessel = e.kind == EventKind::Eva || e.kind == EventKind::Activate || e.kind == EventKind::Airlock;
  e.vessel = text(j, aboutVessel ? "vessel" : "name");
  e.className = text(j, "class");
  e.text = text(j, e.kind == EventKind::Key ? "name" : "text");
  e.action = text(j, "action");
  e.file = text(j, "file");
  e.mesh = text(j, "mesh");
  e.fault = text(j, "fault");
  e.line = has(j, "line") ? count(j, "line") : (e.kind == EventKind::Error ? -1 : 0);
  e.landed = text(j, "status") != "flight";
  e.lon = number(j, "lon");
  e.lat = number(j, "lat");
  numbers(j, "local", e.local);
  e.emptyMass = number(j, "empty_mass");
  if (e.kind == EventKind::Mesh && !meshActionNamed(e.action, e.meshAction)) return false;
  e.index = static_cast<unsigned>(std::max(0, count(j, "index")));
  e.offsetKnown = numbers(j, "offset", e.offset);
  e.mode = static_cast<unsigned>(std::max(0, count(j, "mode")));
  e.group = count(j, "group", -1);
  e.transform = text(j, "transform");
  e.rotationKnown = has(j, "angle") || has(j, "axis");
  numbers(j, "axis", e.axis);
  e.angle = number(j, "angle");
  const json &lines = j.contains("lines") ? j["lines"] : json();
  if (lines.is_array()) {
    for (const json &l : lines) {
      if (l.is_object()) e.hud.push_back({count(l, "x"), count(l, "y"), text(l, "text")});
    }
  }
  e.height = count(j, "height");
  e.code = static_cast<unsigned>(std::clamp(count(j, "code"), 0, 0xFF));
  e.shift = flag(j, "shift");
  e.ctrl = flag(j, "ctrl");
  e.rshift = flag(j, "rshift");
  e.rctrl = flag(j, "rctrl");
  e.answered = has(j, "result");
  e.result = count(j, "result", -1);
  e.upResult = count(j, "up_result");
  numbers(j, "pos", e.pos);
  e.id = flag(j, "miss") ? -1 : count(j, "id");
  e.boxKnown = numbers(j, "box", e.box);
  e.door = count(j, "door");
  e.aux = count(j, "aux");
  e.freeSeats = count(j, "free_seats");
  e.count = count(j, "count");
  RunEvent &r = e.run;
  r.start = text(j, "phase") == "start";
  r.play = text(j, "mode") == "play";
  r.scenario = text(j, "scenario");
  r.root = text(j, "root");
  r.script = text(j, "script");
  r.record = text(j, "record");
  r.scriptBeside = text(j, "script_from") == "beside";
  r.events = static_cast<size_t>(std::max(0, count(j, "events")));
  r.until = number(j, "until");
  r.dt = number(j, "dt");
  r.warp = number(j, "warp");
  r.ok = text(j, "status") == "ok";
  r.frames = count(j, "frames");
  const json &vessels = j.contains("vessels") ? j["vessels"] : json::array();
  if (vessels.is_array()) {
    for (const json &v : vessels) r.vessels.push_back(v.is_string() ? v.get<std::string>() : v.dump());
  }
  return true;
}

}  // namespace

std::string Timeline::hudChanges(double t, const Event &e) {
  std::vector<HudRow> now;
  now.reserve(e.hud.size());
  for (const HudText &l : e.hud) now.push_back({l.x, l.y, l.text});
  const long rowHeight = e.height / kHudRowsPerHeight;
  const bool withX = !oneMargin(now.empty() ? hudRows : now);
  struct Change {
    HudRow row;
    std::string what;
  };
  std::vector<Change> changes;
  for (size_t i = 0; i < now.size(); ++i) {
    const HudRow *before = rowAt(hudRows, now[i], nthAtSpot(now, i));
    if (before == nullptr || before->text != now[i].text) changes.push_back({now[i], inQuotes(now[i].text)});
  }
  for (size_t i = 0; i < hudRows.size(); ++i) {
    if (rowAt(now, hudRows[i], nthAtSpot(hudRows, i)) == nullptr) changes.push_back({hudRows[i], "cleared"});
  }
  // Top to bottom, as the operator reads the HUD.
  std::stable_sort(changes.begin(), changes.end(), [](const Change &a, const Change &b) {
    return a.row.y != b.row.y ? a.row.y < b.row.y : a.row.x < b.row.x;
  });
  hudRows = std::move(now);
  std::string out;
  for (const Change &c : changes) out += line(t, "hud", rowName(c.row, rowHeight, withX) + " " + c.what);
  return out;
}

char *writePlaceText(char *to, bool landed, double lon, double lat) {
  const std::string_view words = landed ? "landed at " : "in flight at ";
  to = std::copy(words.begin(), words.end(), to);
  to = writeCoordinate(to, lon, 'E', 'W');
  *to++ = ' ';
  return writeCoordinate(to, lat, 'N', 'S');
}

void appendPlaceText(std::string &text, bool landed, double lon, double lat) {
  char place[kPlaceTextRoom];
  text.append(place, static_cast<size_t>(writePlaceText(place, landed, lon, lat) - place));
}

std::string placeText(const Event &created) {
  std::string s;
  appendPlaceText(s, created.landed, created.lon, created.lat);
  return s;
}

std::string timelineStamp(double simTime) {
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "[%7s s] ", fixed(simTime, 1).c_str());
  return stamp;
}

std::string Timeline::format(const Event &e) {
  const double t = e.t;
  const std::string kind = kindName(e.kind);
  switch (e.kind) {
    case EventKind::Created:
      return line(t, kind, createdText(e, focusName));
    case EventKind::Deleted:
      return line(t, kind, e.vessel);
    case EventKind::Mass:
      return line(t, kind, e.vessel + " empty mass " + trimmed(e.emptyMass, 3) + " kg");
    case EventKind::Mesh:
      return line(t, kind, meshText(e));
    case EventKind::Hud:
      return hudChanges(t, e);
    case EventKind::Debug:
      return line(t, kind, e.text.empty() ? "(clear)" : inQuotes(e.text));
    case EventKind::Key:
      return line(t, kind, keyText(e, focusName));
    case EventKind::Focus:
      focusName = e.vessel;
      return line(t, kind, focusName);
    case EventKind::Eva:
      return line(t, kind, "crew member outside " + e.vessel + " at " + vector3(e.pos, 1) + " m");
    case EventKind::Activate:
      return line(t, kind, activateText(e));
    case EventKind::Airlock:
      return line(t, kind, airlockText(e));
    case EventKind::Saved:
    case EventKind::Loaded:
      return line(t, kind, e.file);
    case EventKind::Note:
      return line(t, kind, e.text);
    // A blank line sets each step of the script's story apart.
    case EventKind::Story:
      return "\n" + line(t, kind, e.text);
    case EventKind::Fault:
      return line(t, kind, faultText(e));
    case EventKind::Script:
      return line(t, kind, "line " + whole(e.line) + ": " + e.action);
    case EventKind::Error: {
      std::string where = e.line >= 0 ? "line " + whole(e.line) + ": " + e.action + ": " : "";
      return line(t, kind, where + e.text);
    }
    case EventKind::Run:
      return e.run.start ? runStart(e.run) : runEnd(t, e.run);
  }
  return {};
}

std::string Timeline::format(const json &event) {
  if (!event.is_object()) return {};
  Event e;
  if (eventOf(event, e)) return format(e);
  // An event this command does not know yet still shows, with its fields.
  const std::string kind = text(event, "kind");
  json rest = event;
  rest.erase("t");
  rest.erase("sys");
  rest.erase("kind");
  return line(number(event, "t"), kind.empty() ? "event" : kind, rest.dump());
}

}  // namespace simhost::command
