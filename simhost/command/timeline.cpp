#include "timeline.h"

#include <cmath>
#include <cstdio>

#include "keys.h"

namespace simhost::command {

namespace {

using nlohmann::json;

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

bool has(const json &event, const char *field) { return event.contains(field) && !event[field].is_null(); }

bool flag(const json &event, const char *field) {
  auto it = event.find(field);
  return it != event.end() && ((it->is_boolean() && it->get<bool>()) || (it->is_number() && it->get<double>() != 0));
}

// Fixed decimals without a "-0.0" for values that round to zero.
std::string fixed(double value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string s = buffer;
  if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}

// Up to maxDecimals decimals, trailing zeros dropped: "4000", "0.1", "75.5".
std::string trimmed(double value, int maxDecimals) {
  std::string s = fixed(value, maxDecimals);
  if (s.find('.') != std::string::npos) {
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
  }
  return s;
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
  std::string s = text(e, "name") + " (" + text(e, "class") + ") ";
  s += text(e, "status") == "flight" ? "in flight at " : "landed at ";
  s += coordinate(number(e, "lon"), 'E', 'W') + " " + coordinate(number(e, "lat"), 'N', 'S');
  if (has(e, "local")) {
    s += ", " + vector3(e["local"], 1) + " m from " + (focusName.empty() ? std::string("the focus vessel") : focusName);
  }
  if (has(e, "empty_mass")) s += ", empty mass " + trimmed(number(e, "empty_mass"), 3) + " kg";
  return s;
}

std::string meshText(const json &e) {
  std::string action = text(e, "action");
  std::string s = text(e, "name") + " mesh " + trimmed(number(e, "index", -1), 0) + " " + action;
  if (e.contains("mesh") && e["mesh"].is_string()) s += " " + e["mesh"].get<std::string>();
  if (has(e, "mode")) s += " " + (e["mode"].is_number() ? trimmed(e["mode"].get<double>(), 0) : e["mode"].dump());
  if (has(e, "offset")) s += (action == "shifted" ? " by " : " at ") + vector3(e["offset"], 2) + " m";
  return s;
}

std::string hudLines(double t, const json &e) {
  const json &rows = e.contains("lines") ? e["lines"] : json();
  if (!rows.is_array() || rows.empty()) return line(t, "hud", "(clear)");
  // x is shown only when the rows do not all start at the same margin.
  bool oneMargin = true;
  for (const json &row : rows) oneMargin = oneMargin && number(row, "x") == number(rows[0], "x");
  std::string out;
  for (const json &row : rows) {
    std::string where = oneMargin ? "" : "x=" + trimmed(number(row, "x"), 0) + " ";
    out += line(t, "hud", where + "y=" + trimmed(number(row, "y"), 0) + " " + inQuotes(text(row, "text")));
  }
  return out;
}

std::string keyText(const json &e) {
  KeyChord chord;
  chord.code = static_cast<DWORD>(number(e, "code"));
  chord.shift = flag(e, "shift");
  chord.ctrl = flag(e, "ctrl");
  std::string s = keyChordName(chord);
  if (has(e, "result")) s += " -> " + (e["result"].is_number() ? trimmed(e["result"].get<double>(), 0) : e["result"].dump());
  return s;
}

std::string activateText(const json &e) {
  if (flag(e, "miss")) return text(e, "vessel") + ": nothing in reach";
  return text(e, "vessel") + " area " + trimmed(number(e, "id"), 0);
}

std::string airlockText(const json &e) {
  std::string s = text(e, "vessel");
  const json &box = e.contains("box") ? e["box"] : json();
  if (box.is_array() && box.size() == 6) {
    auto at = [&box](size_t i) { return fixed(box[i].is_number() ? box[i].get<double>() : 0.0, 1); };
    s += " x " + at(0) + ".." + at(1) + ", y " + at(2) + ".." + at(3) + ", z " + at(4) + ".." + at(5) + " m";
  }
  s += ", door " + trimmed(number(e, "door"), 0) + ", aux " + trimmed(number(e, "aux"), 0);
  long seats = static_cast<long>(number(e, "free_seats"));
  return s + ", " + std::to_string(seats) + (seats == 1 ? " free seat" : " free seats");
}

std::string runStart(const json &e) {
  std::string s = "simhost: scenario " + text(e, "scenario") + " on the simulator tree " + text(e, "root") + "\n";
  if (has(e, "script")) {
    std::string from = text(e, "script_from") == "beside" ? " (found beside the scenario)" : "";
    long count = static_cast<long>(number(e, "events"));
    s += "  script " + text(e, "script") + from + ", " + std::to_string(count) + (count == 1 ? " event" : " events") + "\n";
  } else {
    s += "  no script\n";
  }
  s += "  runs until " + trimmed(number(e, "until"), 3) + " s of simulation time, frames of " + trimmed(number(e, "dt"), 6) +
       " s of real time, time acceleration " + trimmed(number(e, "warp"), 6) + "\n";
  s += "  each line: [simulation time] what happened\n";
  return s;
}

std::string runEnd(const json &e) {
  std::string s = text(e, "status") == "ok" ? "Finished" : "Failed";
  long frames = static_cast<long>(number(e, "frames"));
  s += " at " + fixed(number(e, "t"), 1) + " s of simulation time after " + std::to_string(frames) +
       (frames == 1 ? " frame" : " frames");
  const json &vessels = e.contains("vessels") ? e["vessels"] : json::array();
  if (vessels.is_array()) {
    s += "; " + std::to_string(vessels.size()) + (vessels.size() == 1 ? " vessel" : " vessels");
    for (size_t i = 0; i < vessels.size(); ++i) {
      s += (i == 0 ? ": " : ", ") + (vessels[i].is_string() ? vessels[i].get<std::string>() : vessels[i].dump());
    }
  }
  return s + "\n";
}

}  // namespace

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
  if (kind == "hud") return hudLines(t, event);
  if (kind == "debug") {
    std::string shown = text(event, "text");
    return line(t, kind, shown.empty() ? "(clear)" : inQuotes(shown));
  }
  if (kind == "key") return line(t, kind, keyText(event));
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
