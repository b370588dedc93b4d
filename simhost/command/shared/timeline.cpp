#include "shared/timeline.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "shared/key_chords.h"
#include "shared/numbers.h"

namespace simhost::command {

namespace {

using nlohmann::json;

// The closing line names this many vessels and counts the rest.
constexpr size_t kVesselsNamedAtEnd = 5;
// The HUD's lines are placed in rows of a sixtieth of its height.
constexpr long kHudRowsPerHeight = 60;

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
long whole(const json &event, const char *field, long fallback = 0) {
  constexpr double kLimit = 1e15;
  const double value = number(event, field, static_cast<double>(fallback));
  return static_cast<long>(std::clamp(value, -kLimit, kLimit));
}

bool has(const json &event, const char *field) { return event.contains(field) && !event[field].is_null(); }

bool flag(const json &event, const char *field) {
  auto it = event.find(field);
  return it != event.end() && ((it->is_boolean() && it->get<bool>()) || (it->is_number() && it->get<double>() != 0));
}

std::string vector3(const json &v, int decimals) {
  if (!v.is_array() || v.size() != 3) return "(?)";
  std::string s = "(";
  for (size_t i = 0; i < 3; ++i) {
    if (i > 0) s += ", ";
    s += fixed(v[i].is_number() ? v[i].get<double>() : 0.0, decimals);
  }
  return s + ")";
}

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

std::string coordinate(double degrees, char positive, char negative) {
  return fixed(std::fabs(degrees), 7) + " " + (degrees < 0 && fixed(degrees, 7)[0] == '-' ? negative : positive);
}

// What an injected fault struck, in the words of the fault verb.
std::string faultText(const json &e) {
  const std::string fault = text(e, "fault");
  if (fault == "create-fails") return fault + ": " + text(e, "name") + " (" + text(e, "class") + ") not created";
  if (fault == "mesh-fails") return fault + ": mesh " + inQuotes(text(e, "mesh")) + " not loaded";
  if (fault == "file-vanishes") return fault + ": " + inQuotes(text(e, "file")) + " removed as it was opened";
  if (fault == "file-unopenable") return fault + ": " + inQuotes(text(e, "file")) + " not opened";
  if (fault == "crew-count") return fault + ": the crew table's entry count set to " + trimmed(number(e, "count"), 0);
  if (fault == "crew-table-full") return fault + ": every free entry of the crew table taken";
  if (fault == "crew-table-restored") return fault + ": the crew table's filler entries freed, its count recounted";
  return fault;
}

std::string createdText(const json &e, const std::string &focusName) {
  std::string s = text(e, "name") + " (" + text(e, "class") + ") " + placeText(e);
  if (!focusName.empty() && text(e, "name") == focusName) {
    s += ", the focus vessel";
  } else if (has(e, "local")) {
    s += ", " + vector3(e["local"], 1) + " m from " + (focusName.empty() ? std::string("the focus vessel") : focusName);
  }
  if (has(e, "empty_mass")) s += ", empty mass " + trimmed(number(e, "empty_mass"), 3) + " kg";
  return s;
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
std::string transformWords(const json &e) {
  const long group = whole(e, "group", -1);
  std::string s = group < 0 ? "the whole mesh" : "group " + std::to_string(group);
  const std::string kind = text(e, "transform");
  if (kind == "rotate") {
    s += " rotated";
    if (has(e, "angle")) {
      const double angle = number(e, "angle");
      s += " by " + trimmed(angle * 180.0 / std::numbers::pi, 1) + " deg (" + trimmed(angle, 3) + " rad)";
    }
    if (has(e, "axis")) s += " about " + vector3(e["axis"], 2);
    return s;
  }
  if (kind == "translate") return s + " moved";
  if (kind == "scale") return s + " scaled";
  return s + " transformed" + (kind.empty() ? "" : " (" + kind + ")");
}

std::string meshText(const json &e) {
  std::string action = text(e, "action");
  std::string s = text(e, "name") + " mesh " + trimmed(number(e, "index", -1), 0);
  std::string mesh = e.contains("mesh") && e["mesh"].is_string() ? e["mesh"].get<std::string>() : "";
  if (action == "visibility") {
    if (!e.contains("mode") || !e["mode"].is_number()) {
      return s + " visibility " + (has(e, "mode") ? e["mode"].dump() : "?");
    }
    const long mode = whole(e, "mode");
    return s + " visibility " + std::to_string(mode) + ": " + visibilityWords(mode);
  }
  if (action == "transform") return s + (mesh.empty() ? "" : " " + mesh) + ": " + transformWords(e);
  s += " " + action;
  if (!mesh.empty()) s += " " + mesh;
  if (has(e, "mode")) s += " " + (e["mode"].is_number() ? trimmed(e["mode"].get<double>(), 0) : e["mode"].dump());
  if (has(e, "offset")) s += (action == "shifted" ? " by " : " at ") + vector3(e["offset"], 2) + " m";
  return s;
}

// The HUD's rows, as drawn, in drawing order.
std::vector<HudRow> hudRowsOf(const json &e) {
  std::vector<HudRow> rows;
  const json &lines = e.contains("lines") ? e["lines"] : json();
  if (!lines.is_array()) return rows;
  for (const json &l : lines) {
    if (!l.is_object()) continue;
    rows.push_back({whole(l, "x"), whole(l, "y"), text(l, "text")});
  }
  return rows;
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
std::string keyText(const json &e, const std::string &focusName) {
  KeyChord chord;
  chord.code = static_cast<DWORD>(std::clamp(whole(e, "code"), 0L, 0xFFL));
  chord.shift = flag(e, "shift");
  chord.ctrl = flag(e, "ctrl");
  chord.rshift = flag(e, "rshift");
  chord.rctrl = flag(e, "rctrl");
  std::string s = keyChordName(chord);
  if (!has(e, "result")) return s;
  const std::string vessel = focusName.empty() ? "the vessel in focus" : focusName;
  const double result = number(e, "result", -1);
  if (result == 1) {
    s += ": consumed by " + vessel;
  } else if (result == 0) {
    s += ": not consumed by " + vessel + ", left to the simulator";
  } else {
    s += ": " + vessel + " answered " + (e["result"].is_number() ? trimmed(result, 0) : e["result"].dump());
  }
  const double upResult = number(e, "up_result");
  if (upResult != 0) s += "; its release answered " + trimmed(upResult, 0);
  return s;
}

std::string activateText(const json &e) {
  if (flag(e, "miss")) return text(e, "vessel") + ": nothing in reach";
  return text(e, "vessel") + " area " + trimmed(number(e, "id"), 0);
}

// The door states the crew add-on publishes.
std::string doorWords(long door) {
  if (door == 0) return "door closed";
  if (door == 1) return "door open";
  return "door state " + std::to_string(door);
}

std::string airlockText(const json &e) {
  std::string s = text(e, "vessel");
  const json &box = e.contains("box") ? e["box"] : json();
  if (box.is_array() && box.size() == 6) {
    auto at = [&box](size_t i) { return fixed(box[i].is_number() ? box[i].get<double>() : 0.0, 1); };
    s += " x " + at(0) + ".." + at(1) + ", y " + at(2) + ".." + at(3) + ", z " + at(4) + ".." + at(5) + " m";
  }
  s += ", " + doorWords(whole(e, "door"));
  const long seats = whole(e, "free_seats");
  s += seats == 0 ? ", no free seat" : ", " + std::to_string(seats) + (seats == 1 ? " free seat" : " free seats");
  return s + ", aux value " + trimmed(number(e, "aux"), 0);
}

std::string runStart(const json &e) {
  std::string s = "simhost: scenario " + text(e, "scenario") + " on the simulator tree " + text(e, "root") + "\n";
  if (has(e, "script")) {
    std::string from = text(e, "script_from") == "beside" ? " (found beside the scenario)" : "";
    long count = whole(e, "events");
    s += "  script " + text(e, "script") + from + ", " + std::to_string(count) + (count == 1 ? " event" : " events") + "\n";
  } else {
    s += "  no script\n";
  }
  s += "  runs until " + trimmed(number(e, "until"), 3) + " s of simulation time, frames of " + trimmed(number(e, "dt"), 6) +
       " s of real time, time acceleration " + trimmed(number(e, "warp"), 6) + "\n";
  s += "  each line: [simulation time] what happened\n";
  s += "  the HUD's texts by row: row N is drawn at y = N x H/60 px of a HUD H px high\n";
  return s;
}

// A count with its thousands apart: "99 995".
std::string grouped(size_t count) {
  std::string digits = std::to_string(count);
  for (size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, " ");
  return digits;
}

std::string runEnd(const json &e) {
  std::string s = text(e, "status") == "ok" ? "Finished" : "Failed";
  const size_t frames = static_cast<size_t>(std::max(0L, whole(e, "frames")));
  s += " at " + fixed(number(e, "t"), 1) + " s of simulation time after " + grouped(frames) +
       (frames == 1 ? " frame" : " frames");
  const json &vessels = e.contains("vessels") ? e["vessels"] : json::array();
  if (vessels.is_array()) {
    s += "; " + grouped(vessels.size()) + (vessels.size() == 1 ? " vessel" : " vessels");
    const size_t named = std::min(vessels.size(), kVesselsNamedAtEnd);
    for (size_t i = 0; i < named; ++i) {
      s += (i == 0 ? ": " : ", ") + (vessels[i].is_string() ? vessels[i].get<std::string>() : vessels[i].dump());
    }
    if (vessels.size() > named) s += " and " + grouped(vessels.size() - named) + " more";
  }
  return s + "\n";
}

}  // namespace

std::string Timeline::hudChanges(double t, const json &e) {
  std::vector<HudRow> now = hudRowsOf(e);
  const long rowHeight = whole(e, "height") / kHudRowsPerHeight;
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

std::string placeText(const json &created) {
  return std::string(text(created, "status") == "flight" ? "in flight at " : "landed at ") +
         coordinate(number(created, "lon"), 'E', 'W') + " " + coordinate(number(created, "lat"), 'N', 'S');
}

std::string timelineStamp(double simTime) {
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "[%7s s] ", fixed(simTime, 1).c_str());
  return stamp;
}

std::string Timeline::format(const json &event) {
  if (!event.is_object()) return {};
  const std::string kind = text(event, "kind");
  const double t = number(event, "t");
  if (kind == "created") return line(t, kind, createdText(event, focusName));
  if (kind == "deleted") return line(t, kind, text(event, "name"));
  if (kind == "mass") return line(t, kind, text(event, "name") + " empty mass " + trimmed(number(event, "empty_mass"), 3) + " kg");
  if (kind == "mesh") return line(t, kind, meshText(event));
  if (kind == "hud") return hudChanges(t, event);
  if (kind == "debug") {
    std::string shown = text(event, "text");
    return line(t, kind, shown.empty() ? "(clear)" : inQuotes(shown));
  }
  if (kind == "key") return line(t, kind, keyText(event, focusName));
  if (kind == "focus") {
    focusName = text(event, "name");
    return line(t, kind, focusName);
  }
  if (kind == "eva") {
    std::string where = has(event, "pos") ? " at " + vector3(event["pos"], 1) + " m" : "";
    return line(t, kind, "crew member outside " + text(event, "vessel") + where);
  }
  if (kind == "activate") return line(t, kind, activateText(event));
  if (kind == "airlock") return line(t, kind, airlockText(event));
  if (kind == "saved" || kind == "loaded") return line(t, kind, text(event, "file"));
  if (kind == "note") return line(t, kind, text(event, "text"));
  // A blank line sets each step of the script's story apart.
  if (kind == "story") return "\n" + line(t, kind, text(event, "text"));
  if (kind == "fault") return line(t, kind, faultText(event));
  if (kind == "script") return line(t, kind, "line " + trimmed(number(event, "line"), 0) + ": " + text(event, "action"));
  if (kind == "error") {
    std::string where = has(event, "line") ? "line " + trimmed(number(event, "line"), 0) + ": " + text(event, "action") + ": " : "";
    return line(t, kind, where + text(event, "text"));
  }
  if (kind == "run") return text(event, "phase") == "start" ? runStart(event) : runEnd(event);
  // An event this command does not know yet still shows, with its fields.
  json rest = event;
  rest.erase("t");
  rest.erase("sys");
  rest.erase("kind");
  return line(t, kind.empty() ? "event" : kind, rest.dump());
}

}  // namespace simhost::command
