#include "show/show.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "VesselAPI.h"
#include "pictures/site.h"
#include "pictures/site_map.h"
#include "shared/exit_status.h"
#include "shared/numbers.h"
#include "shared/object_name.h"
#include "shared/plan.h"
#include "shared/timeline.h"
#include "simulation.h"
#include "world/text.h"
#include "world/world.h"

namespace simhost::command {

namespace {

using nlohmann::json;

// The names of the left column, and the width that lines up the right one.
constexpr int kLabelWidth = 13;

std::string labelled(const std::string &label, const std::string &value) {
  char column[32];
  std::snprintf(column, sizeof column, "  %-*s", kLabelWidth, label.c_str());
  return column + value + "\n";
}

OBJHANDLE vesselNamed(const std::string &name) {
  std::vector<char> buffer(name.begin(), name.end());
  buffer.push_back('\0');
  return oapiGetVesselByName(buffer.data());
}

std::string kilograms(double kg) { return trimmed(kg, 3) + " kg"; }

// What whereText reads of a vessel's "created" event: a world of a hundred
// thousand vessels keeps one of these apiece, and the whole event would take
// ten times the room.
struct Standing {
  bool known = false;  // a "created" event told it
  bool flight = false;
  double lon = 0, lat = 0;
  bool hasLocal = false;
  double local[3] = {};
};

// Where the vessel stands, from its "created" event: landed or in flight,
// the point below it, and how far it is from the focus vessel.
std::string whereText(const Standing &created, const std::string &name, const std::string &focusName) {
  // The timeline's own words for the place, from the same three values.
  std::string s = placeText(json{{"status", created.flight ? "flight" : "landed"}, {"lon", created.lon}, {"lat", created.lat}});
  if (name == focusName) return s + ", the focus vessel";
  if (focusName.empty() || !created.hasLocal) return s;
  double d[3] = {};
  for (size_t i = 0; i < 3; ++i) {
    d[i] = created.local[i];
    // No "-0.0" for what lies on an axis.
    if (std::fabs(d[i]) < 0.05) d[i] = 0;
  }
  char distance[64];
  std::snprintf(distance, sizeof distance, ", %.1f m from ", std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]));
  char frame[160];
  std::snprintf(frame, sizeof frame, ", at (%.1f, %.1f, %.1f) m of its frame", d[0], d[1], d[2]);
  return s + distance + focusName + frame;
}

// Each attachment point: its id, which way it attaches, and to what.
std::string attachmentsText(OBJHANDLE vessel) {
  VESSEL *v = oapiGetVesselInterface(vessel);
  if (v == nullptr) return "none";
  std::string s;
  for (bool toParent : {true, false}) {
    for (DWORD i = 0; i < v->AttachmentCount(toParent); ++i) {
      ATTACHMENTHANDLE point = v->GetAttachmentHandle(toParent, i);
      const char *id = v->GetAttachmentId(point);
      OBJHANDLE other = v->GetAttachmentStatus(point);
      if (!s.empty()) s += "; ";
      s += "\"" + std::string(id != nullptr ? id : "") + "\"" + (toParent ? " to a parent" : " for a child");
      s += other != nullptr ? ": " + objectName(other) : " (free)";
    }
  }
  return s.empty() ? "none" : s;
}

class ScenarioShow {
public:
  ScenarioShow(const ScenarioPlace &place, std::ostream &out, std::ostream &err) : place(place), out(out), err(err) {}

  int show(const std::vector<std::string> &wanted) {
    Simulation sim(place.root);
    sim.setObserver([this](const Event &event) { keep(toJson(event)); });
    std::string error;
    const bool loaded = sim.loadScenario(place.path, error);
    sim.setObserver(nullptr);
    if (!loaded) {
      err << "simhost: scenario " << place.shown << " refused: " << error << '\n';
      return kRunFailed;
    }
    read = &sim.scenarioRead();
    std::vector<OBJHANDLE> vessels;
    std::vector<const HeldShip *> held;
    if (!chooseVessels(wanted, vessels, held)) return kBadUsage;
    OBJHANDLE focus = sim.focus();
    focusName = focus != nullptr ? objectName(focus) : "";
    header();
    for (OBJHANDLE vessel : vessels) showVessel(sim, vessel);
    for (const HeldShip *ship : held) showHeld(*ship);
    return drawMap(sim) ? kRunOk : kRunFailed;
  }

  std::string mapFile;
  double mapRadius = kSiteRadius;

private:
  bool drawMap(Simulation &sim) {
    if (mapFile.empty()) return true;
    SiteDescriptions descriptions(place.root);
    SiteMoment moment;
    moment.title = place.shown;
    moment.radius = mapRadius;
    std::string error;
    if (captureSite(sim, descriptions, SetDownHistory(), moment, error) && writeSiteMap(sim.operatorPath(mapFile), moment, error))
      return true;
    err << "simhost: no map: " << error << '\n';
    return false;
  }


  const ScenarioPlace &place;
  std::ostream &out;
  std::ostream &err;
  std::string focusName;
  // By the vessel's place in the world's list: the events are told once
  // the load is done, and nothing removes a vessel before the vessels are
  // shown. A map by name would copy every name.
  std::vector<Standing> created;
  std::vector<std::string> notes;       // what the loading told besides
  const ScenarioMeta *read = nullptr;   // what the loading kept and noted

  void keep(const json &event) {
    const std::string kind = event.value("kind", "");
    if (kind == "created" && event.contains("name") && event["name"].is_string()) {
      const VesselRecord *record = Simulation::current()->world().find(event["name"].get_ref<const std::string &>());
      if (record == nullptr) return;  // gone again while loading: not shown
      if (created.size() <= record->index) created.resize(Simulation::current()->world().vessels().size());
      Standing &s = created[record->index];
      s.known = true;
      s.flight = event.contains("status") && event["status"] == "flight";
      s.lon = event.contains("lon") && event["lon"].is_number() ? event["lon"].get<double>() : 0.0;
      s.lat = event.contains("lat") && event["lat"].is_number() ? event["lat"].get<double>() : 0.0;
      const json &local = event.contains("local") ? event["local"] : json();
      s.hasLocal = local.is_array() && local.size() == 3;
      for (size_t i = 0; s.hasLocal && i < 3; ++i) s.local[i] = local[i].is_number() ? local[i].get<double>() : 0.0;
    } else if (kind == "note" || kind == "fault") {
      // As the timeline tells it, without its time: nothing has run yet.
      std::string told = Timeline().format(event);
      const size_t stamp = timelineStamp(0).size();
      notes.push_back(told.substr(std::min(stamp, told.size())));
    }
  }

  const HeldShip *heldNamed(const std::string &name) const {
    for (const HeldShip &ship : read->held)
      if (text::iequals(ship.name, name)) return &ship;
    return nullptr;
  }

  bool chooseVessels(const std::vector<std::string> &wanted, std::vector<OBJHANDLE> &vessels,
                     std::vector<const HeldShip *> &held) {
    if (wanted.empty()) {
      for (DWORD i = 0; i < oapiGetVesselCount(); ++i) vessels.push_back(oapiGetVesselByIndex(i));
      for (const HeldShip &ship : read->held) held.push_back(&ship);
      return true;
    }
    bool allFound = true;
    for (const std::string &name : wanted) {
      OBJHANDLE vessel = vesselNamed(name);
      if (vessel == nullptr && heldNamed(name) != nullptr) {
        held.push_back(heldNamed(name));
        continue;
      }
      if (vessel == nullptr) {
        err << "simhost: no vessel \"" << name << "\" in the scenario " << place.shown << '\n';
        allFound = false;
      }
      vessels.push_back(vessel);
    }
    return allFound;
  }

  void header() {
    const DWORD count = oapiGetVesselCount();
    out << "simhost: scenario " << place.shown << " on the simulator tree " << place.root << ", loaded, not run\n";
    out << "  " << count << (count == 1 ? " vessel" : " vessels");
    out << (focusName.empty() ? std::string(", none in focus") : "; the focus vessel is " + focusName) << "\n";
    size_t standIns = 0;
    for (const VesselRecord *v : Simulation::current()->world().vessels()) standIns += v->standIn ? 1 : 0;
    if (standIns > 0 || !read->held.empty())
      out << "  kept as read: " << counted(standIns, "stand-in", "stand-ins") << " in the world, "
          << counted(read->held.size(), "ship", "ships") << " held aside (not in the world)\n";
    for (const std::string &note : notes) out << "  while loading: " << note;
    for (const LoadNote &note : read->notes)
      if (note.vessel.empty()) out << "  note: " << where(note) << note.text << '\n';
  }

  static std::string counted(size_t n, const char *one, const char *many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  }

  std::string where(const LoadNote &note) const {
    return note.line > 0 ? place.shown + ":" + std::to_string(note.line) + ": " : "";
  }

  void showNotes(const std::string &name) {
    for (const LoadNote &note : read->notes)
      if (note.vessel == name) out << labelled("note", where(note) + note.text);
  }

  void showHeld(const HeldShip &ship) {
    out << '\n' << ship.name << " (" << ship.className << ")\n";
    out << labelled("stands", "held as read, not in the world");
    showNotes(ship.name);
    for (size_t i = 1; i + 1 < ship.lines.size(); ++i)
      out << labelled(i == 1 ? "saves" : "", std::string(text::trim(ship.lines[i])));
  }

  void showVessel(Simulation &sim, OBJHANDLE vessel) {
    const std::string name = objectName(vessel);
    VESSEL *v = oapiGetVesselInterface(vessel);
    out << '\n' << name << " (" << (v != nullptr ? v->GetClassNameA() : "?") << ")\n";
    const VesselRecord *record = Simulation::current()->world().find(name);
    if (record != nullptr && record->index < created.size() && created[record->index].known)
      out << labelled("stands", whereText(created[record->index], name, focusName));
    if (record != nullptr && record->standIn)
      out << labelled("stand-in", "no Config/Vessels/" + std::string(record->className) + ".cfg; kept as read");
    showNotes(name);
    out << labelled("empty mass", kilograms(oapiGetEmptyMass(vessel)));
    out << labelled("attachments", attachmentsText(vessel));
    std::vector<std::string> lines;
    std::string error;
    if (!sim.vesselBlockLines(name, lines, error)) {
      out << labelled("saves", "(" + error + ")");
      return;
    }
    for (size_t i = 0; i < lines.size(); ++i) out << labelled(i == 0 ? "saves" : "", lines[i]);
  }
};

}  // namespace

int showScenario(const ShowOptions &options, std::ostream &out, std::ostream &err) {
  ScenarioPlace place;
  std::vector<std::string> errors;
  if (!findScenario(options.scenario, options.root, place, errors)) {
    for (const std::string &error : errors) err << "simhost: " << error << '\n';
    return kBadUsage;
  }
  if (!checkPictureTarget("--map", options.map, errors)) {
    for (const std::string &error : errors) err << "simhost: " << error << '\n';
    return kBadUsage;
  }
  ScenarioShow show(place, out, err);
  show.mapFile = options.map;
  show.mapRadius = options.mapRadius;
  return show.show(options.vessels);
}

}  // namespace simhost::command
