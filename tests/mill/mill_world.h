// What the mill's tests share: the built simulator tree with the plugin
// Modules/Calvane.dll, a world of that tree to run scenarios in, scratch
// folders for scenarios the tests write, and the host's record of a vessel
// to look at what the mill defined. MillWorld runs a working mill: cargo set
// down around it, a crew member at its action area, keys, frames, and what
// the operator sees (events, HUD, saved lines).
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "crew_module.h"
#include "simulation.h"
#include "temp_tree.h"
#include "test_platform.h"
#include "world/world.h"

namespace millworld {

inline std::string TreeDir() { return KVT_TREE_DIR; }
inline std::string PluginPath() { return TreeDir() + "/Modules/Calvane.dll"; }
inline std::string TreeFile(const std::string &relative) { return TreeDir() + "/" + relative; }

using kvt_test::readFile;
using kvt_test::TempTree;

// A scenario with one mill landed at the given place, in the simulator's
// format.
inline std::string LandedMillScenario(const std::string &name, const std::string &pos,
                                      const std::string &heading) {
  return "BEGIN_DESC\nA mill for the tests.\nEND_DESC\n\n"
         "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 60000.5\nEND_ENVIRONMENT\n\n"
         "BEGIN_FOCUS\n  Ship " + name + "\nEND_FOCUS\n\n"
         "BEGIN_SHIPS\n" + name + ":Calvane\n  STATUS Landed Moon\n  POS " + pos + "\n  HEADING " + heading +
         "\nEND\nEND_SHIPS\n";
}

// A file with one mill "Mill" landed on the Moon and nothing else: no crew,
// no cargo, none of the mill's keys, so it shows the mill as defined.
inline std::string PlainMillScenarioFile() {
  static TempTree dir;
  static std::string file = dir.write("plain-mill.scn", LandedMillScenario("Mill", "23.4730000 0.6740000", "90.00"));
  return file;
}

// A copy of the built tree in a scratch folder, for a test that changes
// files of the tree. The plugins are linked, not copied: the process loads
// each module once, as the simulator does.
inline std::string CopyTree(const TempTree &dir) {
  namespace fs = std::filesystem;
  const fs::path from = TreeDir(), to = dir.path("tree");
  for (const fs::directory_entry &entry : fs::recursive_directory_iterator(from)) {
    const fs::path target = to / fs::relative(entry.path(), from);
    if (entry.is_directory()) {
      fs::create_directories(target);
    } else if (entry.path().parent_path().filename() == "Modules") {
      std::string error;
      if (!kvt_test::linkFile(entry.path().string(), target.string(), error))
        ADD_FAILURE() << "cannot link " << target << ": " << error;
    } else {
      fs::copy_file(entry.path(), target);
    }
  }
  return to.string();
}

// A run of the simulator on the built tree, or on another root.
class MillRun {
public:
  explicit MillRun(const std::string &root = TreeDir()) : sim_(root) {}

  simhost::Simulation &sim() { return sim_; }

  // Loads a scenario; a failure is reported to the test with its message.
  bool Load(const std::string &path) {
    std::string error;
    bool loaded = sim_.loadScenario(path, error);
    EXPECT_TRUE(loaded) << error;
    return loaded;
  }
  bool Save(const std::string &path) {
    std::string error;
    bool saved = sim_.saveScenario(path, error);
    EXPECT_TRUE(saved) << error;
    return saved;
  }
  // A new mill landed at (x, z) of another vessel's frame.
  bool Place(const std::string &name, const std::string &near, double x, double z) {
    std::string error;
    bool placed = sim_.placeVessel(name, "Calvane", near, x, z, 0.0, error);
    EXPECT_TRUE(placed) << error;
    return placed;
  }

  simhost::VesselRecord *Record(const std::string &name) { return sim_.world().find(name); }
  OBJHANDLE Handle(const std::string &name) { return Record(name); }
  // The vessel object the plugin made for the vessel.
  VESSEL *Interface(const std::string &name) {
    OBJHANDLE handle = Handle(name);
    return handle ? oapiGetVesselInterface(handle) : nullptr;
  }

private:
  simhost::Simulation sim_;
};

// ---- a working mill

// The sample tree's cargo types, as the mill names them.
const char *const BoxB = "KVT_Construction_BoxB";
const char *const BoxC = "KVT_Construction_BoxC";
const char *const BoxD = "KVT_Construction_BoxD";
const char *const Rock = "Lunar_Rock";
const char *const OreBox = "KVT_Ore_Cargo";

// Where a crew member stands to reach the mill's action area: its centre.
const double ActionAreaX = 5.0, ActionAreaY = 0.0, ActionAreaZ = 2.2;

// The mill "Mill" (the focus) landed as in the demo, with extra lines in its
// block (each a whole line, e.g. "Status 3"), then further ship blocks.
inline std::string MillScenario(const std::vector<std::string> &millLines, const std::string &extraShips = "") {
  std::string scenario = LandedMillScenario("Mill", "23.4730000 0.6740000", "90.00");
  std::string lines;
  for (const std::string &line : millLines) lines += "  " + line + "\n";
  scenario.insert(scenario.find("END\nEND_SHIPS"), lines);
  scenario.insert(scenario.find("END_SHIPS"), extraShips);
  return scenario;
}

// The lines of a vessel's block in a scenario text, keyed by their first
// word (case kept: the host's STATUS is not the mill's Status).
inline std::map<std::string, std::string> BlockFields(const std::string &scenario, const std::string &vessel) {
  std::map<std::string, std::string> fields;
  std::istringstream in(scenario);
  std::string line;
  bool inside = false;
  while (std::getline(in, line)) {
    if (!inside) {
      inside = line.rfind(vessel + ":", 0) == 0;
      continue;
    }
    if (line == "END") break;
    size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) continue;
    size_t blank = line.find(' ', start);
    std::string key = line.substr(start, blank == std::string::npos ? std::string::npos : blank - start);
    std::string value = blank == std::string::npos ? "" : line.substr(blank + 1);
    if (fields.count(key)) value = fields[key] + "|" + value;  // repeated keys (UCGO) kept in order
    fields[key] = value;
  }
  return fields;
}

// The mill's own fields as it writes them when saved.
struct MillFields {
  std::string oreTankLevel, autospawn, spawnTime, status;
  std::string cargo;  // the UCGO lines, '|' between them
  bool operator==(const MillFields &) const = default;
};

inline std::ostream &operator<<(std::ostream &out, const MillFields &f) {
  return out << "{OreTankLevel " << f.oreTankLevel << ", Autospawn " << f.autospawn << ", SpawnTime " << f.spawnTime
             << ", Status " << f.status << ", UCGO " << f.cargo << "}";
}

// A mill scenario running on the built tree, with every event recorded.
// Only one world may live at a time (one simulation per process).
class MillWorld {
public:
  explicit MillWorld(const std::string &root = TreeDir()) : run_(std::make_unique<MillRun>(root)) {
    run_->sim().setObserver([this](const simhost::Event &e) { events_.push_back(simhost::toJson(e)); });
  }

  simhost::Simulation &sim() { return run_->sim(); }
  MillRun &run() { return *run_; }
  const TempTree &dir() const { return dir_; }

  // Loads MillScenario(millLines, extraShips).
  bool Start(const std::vector<std::string> &millLines, const std::string &extraShips = "") {
    return Load(dir_.write("Mill.scn", MillScenario(millLines, extraShips)));
  }
  bool Load(const std::string &path) { return run_->Load(path); }

  // Cargo of a sample type landed at (x, z) of the mill's frame.
  bool PlaceCargo(const std::string &name, const std::string &type, double x, double z) {
    std::string error;
    bool placed = sim().placeVessel(name, std::string("UCGO\\Cargos\\") + type, "Mill", x, z, 0.0, error);
    EXPECT_TRUE(placed) << name << ": " << error;
    return placed;
  }

  // A crew member steps out at (x, y, z) of the mill's frame and activates
  // what is in reach; the activated area's id, or -1 for a miss. The mill
  // takes the activation at its next step.
  int Activate(double x = ActionAreaX, double y = ActionAreaY, double z = ActionAreaZ) {
    std::string error;
    EXPECT_TRUE(simhost::crewEva(sim(), "Mill", x, y, z, error)) << error;
    size_t before = events_.size();
    EXPECT_TRUE(simhost::crewActivate(sim(), "Mill", error)) << error;
    for (size_t i = before; i < events_.size(); ++i) {
      if (events_[i].value("kind", "") == "activate") return events_[i].value("id", -1);
    }
    return -1;
  }

  // The crew module keeps an activation until its vessel takes it, for the
  // whole process; one that a mill outside the stages leaves would reach the
  // next mill made at the same address. A bystander mill far away takes the
  // place of that activation and takes it at once.
  void TakeStrayActivation() {
    std::string error;
    if (!run_->Place("Bystander", "Mill", 500.0, 0.0)) return;
    EXPECT_TRUE(simhost::crewEva(sim(), "Bystander", ActionAreaX, ActionAreaY, ActionAreaZ, error)) << error;
    EXPECT_TRUE(simhost::crewActivate(sim(), "Bystander", error)) << error;
    sim().frame();
  }

  void Frames(int count) {
    for (int i = 0; i < count; ++i) sim().frame();
  }
  // Frames until the simulation time reaches t (within a millionth).
  void RunUntil(double t) {
    while (sim().simTime() < t - 1e-6) sim().frame();
  }

  // The mill's answer to a buffered key pressed with the modifier keys held
  // (simhost::Simulation::KeyModifier bits); its answer to the key's release
  // goes to *released when asked for.
  int Key(DWORD code, unsigned modifiers = 0, int *released = nullptr) {
    std::string error;
    size_t before = events_.size();
    EXPECT_TRUE(sim().pressKey(code, modifiers, error)) << error;
    for (size_t i = before; i < events_.size(); ++i) {
      if (events_[i].value("kind", "") != "key") continue;
      if (released) *released = events_[i].value("up_result", -99);
      return events_[i].value("result", -99);
    }
    return -99;
  }

  // Saves the world to path (a scratch file by default) and returns the text.
  std::string Save(const std::string &path = "") {
    std::string file = path.empty() ? dir_.path("Saved.scn") : path;
    if (!run_->Save(file)) return "";
    return readFile(file);
  }
  // The mill's fields as they stand, read from a save.
  MillFields Fields(const std::string &vessel = "Mill") {
    std::map<std::string, std::string> f = BlockFields(Save(), vessel);
    return {f["OreTankLevel"], f["Autospawn"], f["SpawnTime"], f["Status"], f["UCGO"]};
  }

  bool Exists(const std::string &name) { return run_->Record(name) != nullptr; }
  double EmptyMass(const std::string &name) {
    VESSEL *v = run_->Interface(name);
    if (!v) {
      const simhost::VesselRecord *record = run_->Record(name);
      return record ? record->emptyMass : -1.0;
    }
    return v->GetEmptyMass();
  }
  // Visibility mode of one of the vessel's meshes, -1 when it has none.
  int MeshVisibility(const std::string &name, size_t index) {
    const simhost::VesselRecord *record = run_->Record(name);
    if (!record || index >= record->meshes.size() || !record->meshes[index].used) return -1;
    return record->meshes[index].visibility;
  }

  // The HUD as last drawn.
  const std::vector<simhost::Simulation::HudText> &Hud() { return sim().hud(); }
  // The drawn HUD line at row y, empty when none.
  std::string HudLineAt(int y) {
    for (const auto &line : Hud()) {
      if (line.y == y) return line.text;
    }
    return "";
  }

  // Events of a kind, optionally of one vessel ("name") only.
  std::vector<nlohmann::json> EventsOf(const std::string &kind, const std::string &name = "") const {
    std::vector<nlohmann::json> found;
    for (const nlohmann::json &e : events_) {
      if (e.value("kind", "") != kind) continue;
      if (!name.empty() && e.value("name", "") != name) continue;
      found.push_back(e);
    }
    return found;
  }
  const std::vector<nlohmann::json> &Events() const { return events_; }
  void ClearEvents() { events_.clear(); }

private:
  TempTree dir_;
  std::vector<nlohmann::json> events_;
  std::unique_ptr<MillRun> run_;
};

}  // namespace millworld
