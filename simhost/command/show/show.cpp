#include "show/show.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "VesselAPI.h"
#include "pictures/site.h"
#include "pictures/site_map.h"
#include "plugin/module_host.h"
#include "shared/exit_status.h"
#include "shared/numbers.h"
#include "shared/object_name.h"
#include "shared/plan.h"
#include "shared/timeline.h"
#include "show/account_text.h"
#include "simulation.h"
#include "world/fixed_digits.h"
#include "world/text.h"
#include "world/vessel_state.h"
#include "world/world.h"

namespace simhost::command {

namespace {

// The names of the left column, and the width that lines up the right one.
constexpr size_t kLabelWidth = 13;

// A place, or three coordinates and their words, fit in the room a line
// of the account is written in.
static_assert(kPlaceTextRoom <= AccountText::kRoom && 3 * (text::kFixedRoom + 2) + 32 <= AccountText::kRoom);

class ScenarioShow {
public:
  ScenarioShow(const ScenarioPlace &place, std::ostream &out, std::ostream &err)
      : place(place), err(err), account(out) {}

  int show(const std::vector<std::string> &wanted) {
    Simulation sim(place.root);
    // Where each vessel stands is read from the world once it is loaded;
    // of the load's events only the notes and faults it told are asked
    // for, so the run makes no "created" event for any vessel.
    sim.setObserver([this](const Event &event) { keepLoadEvent(event); },
                    eventBit(EventKind::Note) | eventBit(EventKind::Fault));
    std::string error;
    const bool loaded = sim.loadScenario(place.path, error);
    sim.setObserver(nullptr);
    if (!loaded) {
      err << "simhost: scenario " << place.shown << " refused: " << error << '\n';
      return kRunFailed;
    }
    world = &sim.world();
    read = &sim.scenarioRead();
    std::vector<OBJHANDLE> vessels;
    std::vector<const HeldShip *> held;
    if (!chooseVessels(wanted, vessels, held)) return kBadUsage;
    indexVesselNotes();
    if (const VesselRecord *focus = world->fromHandle(sim.focus())) {
      focusName = focus->name;
      focusFrame = viewFrame(*currentHost(), *focus);
    }
    header();
    for (OBJHANDLE vessel : vessels) showVessel(sim, vessel);
    for (const HeldShip *ship : held) showHeld(*ship);
    account.writeOut();
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
  std::ostream &err;
  AccountText account;
  std::string mass;  // a vessel's empty mass, in room kept from one to the next
  const World *world = nullptr;
  std::string focusName;  // empty: none in focus
  ViewFrame focusFrame;  // the focus vessel's, once for all vessels
  std::vector<std::string> loadEvents;  // what the loading told besides
  const ScenarioMeta *read = nullptr;   // what the loading kept and noted
  // The notes of single vessels and held ships, by name and then in file
  // order: each vessel looks up its own.
  std::vector<const LoadNote *> vesselNotes;

  void keepLoadEvent(const Event &event) {
    // As the timeline tells it, without its time: nothing has run yet.
    std::string told = Timeline().format(event);
    const size_t stamp = timelineStamp(0).size();
    loadEvents.push_back(told.substr(std::min(stamp, told.size())));
  }

  // "  empty mass   " : the label, in its column: an account of a big
  // world writes seven of them a vessel.
  void label(std::string_view name) {
    constexpr size_t kColumn = 2 + kLabelWidth;
    if (name.size() >= kLabelWidth) {
      account.add("  ");
      account.add(name);
      return;
    }
    char *column = account.room();
    std::memset(column, ' ', kColumn);
    std::memcpy(column + 2, name.data(), name.size());
    account.took(column + kColumn);
  }

  void labelled(std::string_view name, std::string_view value) {
    label(name);
    account.add(value);
    account.add('\n');
  }

  const HeldShip *heldNamed(const std::string &name) const {
    for (const HeldShip &ship : read->held)
      if (text::iequals(ship.name, name)) return &ship;
    return nullptr;
  }

  bool chooseVessels(const std::vector<std::string> &wanted, std::vector<OBJHANDLE> &vessels,
                     std::vector<const HeldShip *> &held) {
    if (wanted.empty()) {
      vessels.assign(world->vessels().begin(), world->vessels().end());
      for (const HeldShip &ship : read->held) held.push_back(&ship);
      return true;
    }
    bool allFound = true;
    for (const std::string &name : wanted) {
      OBJHANDLE vessel = world->find(name);
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

  void indexVesselNotes() {
    for (const LoadNote &note : read->notes)
      if (!note.vessel.empty()) vesselNotes.push_back(&note);
    std::stable_sort(vesselNotes.begin(), vesselNotes.end(),
                     [](const LoadNote *a, const LoadNote *b) { return a->vessel < b->vessel; });
  }

  void header() {
    const size_t count = world->count();
    account.add("simhost: scenario " + place.shown + " on the simulator tree " + place.root + ", loaded, not run\n");
    account.add("  " + std::to_string(count) + (count == 1 ? " vessel" : " vessels"));
    account.add(focusName.empty() ? std::string(", none in focus") : "; the focus vessel is " + focusName);
    account.add('\n');
    size_t standIns = 0;
    for (const VesselRecord *v : world->vessels()) standIns += v->standIn ? 1 : 0;
    if (standIns > 0 || !read->held.empty())
      account.add("  kept as read: " + counted(standIns, "stand-in", "stand-ins") + " in the world, " +
                  counted(read->held.size(), "ship", "ships") + " held aside (not in the world)\n");
    for (const std::string &told : loadEvents) account.add("  while loading: " + told);
    for (const LoadNote &note : read->notes)
      if (note.vessel.empty()) account.add("  note: " + where(note) + note.text + '\n');
  }

  static std::string counted(size_t n, const char *one, const char *many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  }

  std::string where(const LoadNote &note) const {
    return note.line > 0 ? place.shown + ":" + std::to_string(note.line) + ": " : "";
  }

  void showNotes(const std::string &name) {
    auto first = std::lower_bound(vesselNotes.begin(), vesselNotes.end(), name,
                                  [](const LoadNote *note, const std::string &n) { return note->vessel < n; });
    for (auto it = first; it != vesselNotes.end() && (*it)->vessel == name; ++it)
      labelled("note", where(**it) + (*it)->text);
  }

  void showHeld(const HeldShip &ship) {
    account.add('\n' + ship.name + " (" + ship.className + ")\n");
    labelled("stands", "held as read, not in the world");
    showNotes(ship.name);
    for (size_t i = 1; i + 1 < ship.lines.size(); ++i) labelled(i == 1 ? "saves" : "", text::trim(ship.lines[i]));
  }

  // Landed or in flight, the point below it, and how far it is from the
  // focus vessel, in the timeline's words for the place.
  void showStanding(const VesselRecord &v) {
    // As the load's "created" event tells it, from the world once loaded.
    const Standing s = standingOf(*currentHost(), v, focusName.empty() ? nullptr : &focusFrame);
    label("stands");
    account.took(writePlaceText(account.room(), s.landed, s.lon, s.lat));
    if (v.name == focusName) {
      account.add(", the focus vessel\n");
      return;
    }
    if (!focusName.empty()) {
      double d[3] = {s.local.x, s.local.y, s.local.z};
      // No "-0.0" for what lies on an axis.
      for (double &x : d)
        if (std::fabs(x) < 0.05) x = 0;
      char *at = text::copyPiece(account.room(), ", ");
      at = text::writePrintfFixed(at, std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]), 1);
      account.took(text::copyPiece(at, " m from "));
      account.add(focusName);
      at = text::copyPiece(account.room(), ", at (");
      for (int i = 0; i < 3; ++i) {
        if (i > 0) at = text::copyPiece(at, ", ");
        at = text::writePrintfFixed(at, d[i], 1);
      }
      account.took(text::copyPiece(at, ") m of its frame"));
    }
    account.add('\n');
  }

  // The name of the vessel behind a handle, whatever its length.
  std::string nameOf(OBJHANDLE vessel) const {
    const VesselRecord *record = world->fromHandle(vessel);
    return record != nullptr ? record->name : objectName(vessel);
  }

  // Each attachment point: its id, which way it attaches, and to what.
  void showAttachments(VESSEL *v) {
    label("attachments");
    bool any = false;
    for (bool toParent : {true, false}) {
      for (DWORD i = 0; v != nullptr && i < v->AttachmentCount(toParent); ++i) {
        ATTACHMENTHANDLE point = v->GetAttachmentHandle(toParent, i);
        const char *id = v->GetAttachmentId(point);
        OBJHANDLE other = v->GetAttachmentStatus(point);
        account.add(any ? "; \"" : "\"");
        account.add(id != nullptr ? id : "");
        account.add(toParent ? "\" to a parent" : "\" for a child");
        if (other != nullptr) {
          account.add(": ");
          account.add(nameOf(other));
        } else {
          account.add(" (free)");
        }
        any = true;
      }
    }
    account.add(any ? "\n" : "none\n");
  }

  void showVessel(Simulation &sim, OBJHANDLE vessel) {
    // A module may delete other vessels as it saves its own: those are
    // gone from the world and from the account.
    const VesselRecord *record = world->fromHandle(vessel);
    if (record == nullptr) return;
    VESSEL *v = oapiGetVesselInterface(vessel);
    account.add('\n');
    account.add(record->name);
    account.add(" (");
    account.add(v != nullptr ? std::string_view(record->className) : std::string_view("?"));
    account.add(")\n");
    showStanding(*record);
    if (record->standIn) labelled("stand-in", "no Config/Vessels/" + std::string(record->className) + ".cfg; kept as read");
    showNotes(record->name);
    label("empty mass");
    mass.clear();
    appendTrimmed(mass, oapiGetEmptyMass(vessel), 3);
    account.add(mass);
    account.add(" kg\n");
    showAttachments(v);
    std::string_view block;
    if (sim.blockText(vessel, block)) showSaves(block);
  }

  // Each line of the block, trimmed, the first labelled.
  void showSaves(std::string_view block) {
    for (std::string_view name = "saves"; !block.empty(); name = "") labelled(name, text::takeLine(block));
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
