// A mill saved while it works and loaded again: the scenario keeps its
// tank, flag, interval, stage and the box in slot 0, but no timer (they
// count the simulation time of one run). The box aboard is set down at the
// first step after loading, and the mill goes on from what was saved.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "mill_world.h"

namespace {

using millworld::MillWorld;
using millworld::TempTree;

// Rock at 24 different distances within reach, on the side away from the
// set-down positions.
void SetDownRock(MillWorld &w, int count) {
  const double zs[] = {-3.1, -1.3, 1.7, 3.9};
  for (int i = 0; i < count; ++i) {
    ASSERT_TRUE(w.PlaceCargo("Rock" + std::to_string(i), millworld::Rock, 2.0 + i / 4, zs[i % 4]));
  }
}

struct Landing {
  double t;
  std::string name;
  double x, z;
};

std::vector<Landing> OreBoxLandings(const MillWorld &w, double since) {
  std::vector<Landing> landings;
  for (const nlohmann::json &e : w.EventsOf("created")) {
    const std::string name = e.value("name", "");
    const double t = e.value("t", -1.0);
    if (name.rfind("KVTOre", 0) != 0 || t <= since) continue;
    landings.push_back({t - since, name, e.at("local").at(0).get<double>(), e.at("local").at(2).get<double>()});
  }
  return landings;
}

TEST(MillSaveLoad, ABoxAboardWhenSavedIsSetDownAtTheFirstStepAfterLoading) {
  struct Case {
    const char *what;
    std::vector<std::string> millLines;
    bool byKey;          // produced by key 7 rather than on the timer
    double landX, landZ; // where the box lands, mill's frame
    double millMassAfter;
    const char *millLine;
  };
  const Case cases[] = {
      // The schedule starts anew with the run: the production due at once
      // makes room by setting the saved box down at the first position.
      {"processing on", {"Status 3", "Autospawn 1", "SpawnTime 30", "OreTankLevel 10000"}, false, -8.6, 0, 6000,
       "Ore cargo produced."},
      // No set-down position was given since loading: the box goes to slot
      // 0's first release point, 2.1 m from the mill's origin.
      {"processing off", {"Status 3", "OreTankLevel 10000"}, true, -2.1, 0, 2000, ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    TempTree dir;
    ASSERT_TRUE(dir.ok());
    const std::string saved = dir.path("Saved.scn");
    {
      MillWorld w;
      w.sim().setFrameLength(1.0);
      ASSERT_TRUE(w.Start(c.millLines));
      SetDownRock(w, 4);
      if (c.byKey) {
        EXPECT_EQ(w.Key(OAPI_KEY_7), 1);
      }
      w.RunUntil(5);
      ASSERT_FALSE(w.Save(saved).empty());
      EXPECT_EQ(millworld::BlockFields(millworld::readFile(saved), "Mill")["UCGO"], "@@0,1,1,4000,KVT_Ore_Cargo,");
    }
    MillWorld w;
    w.sim().setFrameLength(1.0);
    ASSERT_TRUE(w.Load(saved));
    EXPECT_EQ(w.EmptyMass("Mill"), 6000.0);
    w.Frames(1);
    std::vector<Landing> landings = OreBoxLandings(w, 0);
    ASSERT_EQ(landings.size(), 1u);
    EXPECT_EQ(landings[0].t, 1.0);
    EXPECT_EQ(landings[0].name, "KVTOre01");
    EXPECT_NEAR(landings[0].x, c.landX, 0.02);
    EXPECT_NEAR(landings[0].z, c.landZ, 0.02);
    EXPECT_EQ(w.EmptyMass("Mill"), c.millMassAfter);
    EXPECT_EQ(w.HudLineAt(216), c.millLine);
  }
}

// The crew and cargo lines of the mill's block, in the order written.
std::vector<std::string> CrewAndCargoLines(const std::string &scenario) {
  std::vector<std::string> lines;
  std::istringstream in(scenario.substr(scenario.find("Mill:Calvane\n")));
  std::string line;
  while (std::getline(in, line) && line != "END") {
    line.erase(0, line.find_first_not_of(' '));
    if (line.rfind("UMMUCREW ", 0) == 0 || line.rfind("UCGO ", 0) == 0) lines.push_back(line);
  }
  return lines;
}

// A box loaded, a crew member come aboard, the box gone again: on a machine
// with both add-ons the member's weight stays on the mill. A component whose
// add-on is missing reads none of its lines and changes nothing, but writes
// them back as they came where its block stands, so that a scenario opened
// and saved there loses no cargo and no crew. Each save loads back in full.
TEST(MillSaveLoad, CargoAndCrewLinesSurviveWithOrWithoutTheirAddons) {
  const std::string crew = "UMMUCREW Eng-Mira_Kovac-38-64-72";
  const std::string boxIn = "UCGO @@0,1,1,4000,KVT_Ore_Cargo,", boxOut = "UCGO @@0,1,0,0,";
  const std::string crewModule = "Modules/UMmu.dll", cargoMarker = "Meshes/UniversalCars/bin/ConfigDarkScreen.msh";
  struct Case {
    const char *what;
    std::vector<std::string> removed;  // files taken out of the tree
    const char *version;               // the crew add-on's version file, null: as built
    double emptyMass;                  // after loading
    std::vector<std::string> saved;
  };
  const Case cases[] = {
      // First: the process reads the crew module's version only once. An
      // old module still lets the roster read and write its crew.
      {"outdated crew module", {}, "1.5\n", 2072, {crew, boxOut}},
      {"both add-ons", {}, nullptr, 2072, {crew, boxOut}},
      {"no crew module", {crewModule}, nullptr, 2000, {crew, boxOut}},
      {"no cargo add-on", {cargoMarker}, nullptr, 2072, {crew, boxIn, boxOut}},
      {"neither add-on", {crewModule, cargoMarker}, nullptr, 2000, {crew, boxIn, boxOut}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    TempTree dir;
    ASSERT_TRUE(dir.ok());
    const std::string root = millworld::CopyTree(dir);
    // Moved out of the tree: Windows keeps a loaded module's file from being
    // deleted, but lets it move.
    for (const std::string &file : c.removed)
      std::filesystem::rename(root + "/" + file, dir.path(std::filesystem::path(file).filename().string()));
    if (c.version) dir.write("tree/Meshes/UMmu/ver.dtf", c.version);
    const std::string saved = dir.path("Saved.scn");
    {
      MillWorld w(root);
      ASSERT_TRUE(w.Start({boxIn, crew, boxOut}));
      EXPECT_EQ(w.EmptyMass("Mill"), c.emptyMass);
      // The visual came with slot 0 empty: no cargo mesh to turn.
      for (const nlohmann::json &e : w.EventsOf("mesh", "Mill")) EXPECT_NE(e.value("action", ""), "transform");
      ASSERT_FALSE(w.Save(saved).empty());
      EXPECT_EQ(CrewAndCargoLines(millworld::readFile(saved)), c.saved);
    }
    MillWorld w;
    ASSERT_TRUE(w.Load(saved));
    EXPECT_EQ(w.EmptyMass("Mill"), 2072.0);
    EXPECT_EQ(CrewAndCargoLines(w.Save()), (std::vector<std::string>{crew, boxOut}));
  }
}

// What the operator sees after one frame: the HUD and every vessel with its
// mass.
std::string Snapshot(MillWorld &w) {
  std::ostringstream out;
  for (const auto &line : w.Hud()) out << line.y << ": " << line.text << "\n";
  std::vector<std::string> vessels;
  for (const simhost::VesselRecord *v : w.sim().world().vessels()) {
    vessels.push_back(v->name + " " + std::to_string(w.EmptyMass(v->name)));
  }
  std::sort(vessels.begin(), vessels.end());
  for (const std::string &v : vessels) out << v << "\n";
  return out.str();
}

// The unsaved run produces every 5 s from 1 s on; at 30 s the sixth box is
// aboard, the set-down positions are back at the first, and the next
// production is due at the next step, as the loaded mill's is. From there
// both runs must see the same.
TEST(MillSaveLoad, LoadedWhereTheScheduleMeetsItContinuesAsIfNeverSaved) {
  const double savedAt = 30;
  const int framesAfter = 30;
  TempTree dir;
  ASSERT_TRUE(dir.ok());
  const std::string saved = dir.path("Saved.scn");
  const std::string savedAgain = dir.path("SavedAgain.scn");

  std::vector<std::string> unsaved;
  std::vector<Landing> unsavedLandings;
  millworld::MillFields unsavedEnd;
  {
    MillWorld w;
    w.sim().setFrameLength(1.0);
    ASSERT_TRUE(w.Start({"Status 3", "Autospawn 1", "SpawnTime 5", "OreTankLevel 10000"}));
    SetDownRock(w, 24);
    w.RunUntil(savedAt);
    ASSERT_EQ(OreBoxLandings(w, 0).size(), 5u);
    ASSERT_FALSE(w.Save(saved).empty());
    w.ClearEvents();
    for (int i = 0; i < framesAfter; ++i) {
      w.Frames(1);
      unsaved.push_back(Snapshot(w));
    }
    unsavedLandings = OreBoxLandings(w, savedAt);
    unsavedEnd = w.Fields();
  }

  MillWorld w;
  w.sim().setFrameLength(1.0);
  ASSERT_TRUE(w.Load(saved));
  // Saved again at once, the scenario is the same.
  ASSERT_FALSE(w.Save(savedAgain).empty());
  EXPECT_EQ(millworld::readFile(savedAgain), millworld::readFile(saved));
  for (int i = 0; i < framesAfter; ++i) {
    SCOPED_TRACE(i + 1);
    w.Frames(1);
    EXPECT_EQ(Snapshot(w), unsaved[i]);
  }
  std::vector<Landing> landings = OreBoxLandings(w, 0);
  ASSERT_EQ(landings.size(), unsavedLandings.size());
  ASSERT_EQ(landings.size(), 6u);
  for (size_t i = 0; i < landings.size(); ++i) {
    SCOPED_TRACE(landings[i].name);
    EXPECT_EQ(landings[i].name, unsavedLandings[i].name);
    EXPECT_EQ(landings[i].t, unsavedLandings[i].t);
    EXPECT_NEAR(landings[i].x, unsavedLandings[i].x, 0.01);
    EXPECT_NEAR(landings[i].z, unsavedLandings[i].z, 0.01);
  }
  // The saved box first, at the first position; then one per position.
  EXPECT_EQ(landings[0].name, "KVTOre06");
  EXPECT_EQ(landings[0].t, 1.0);
  EXPECT_NEAR(landings[0].x, -8.6, 0.02);
  EXPECT_NEAR(landings[0].z, 0, 0.02);
  EXPECT_EQ(w.Fields(), unsavedEnd);
}

}  // namespace
