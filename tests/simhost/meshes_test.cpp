// Mesh files and a vessel's mesh list: loading, gaps, insertion at any
// index, visibility, group transforms on the visual, and the "mesh" events
// that report real changes only.
#include "Orbitersdk.h"
#include "files/mesh.h"
#include "sim_tree.h"
#include "world/vessel.h"

using simtest::SimTree;

namespace {

TEST(MeshFiles, ValidMissingAndMalformed) {
  SimTree tree;
  const std::string group = "GEOM 3 1\n0 0 0\n1 0 0\n0 0 1\n0 1 2\n";
  struct Case {
    const char *what;
    std::string content;  // empty: no file
    int groups;           // -1: refused
  } cases[] = {
      {"one group", "MSHX1\nGROUPS 1\n" + group, 1},
      {"group lines, materials, textures",
       "MSHX1\nGROUPS 2\nLABEL a\nMATERIAL 1\nTEXTURE 1\nFLAG 3\nNONORMAL\nZBIAS 1\nGEOM 3 1 ; c\n0 0 0 0 1 0 0 0\n"
       "1 0 0 0 1 0 1 0\n0 0 1 0 1 0 0 1\n0 1 2\n" +
           group + "MATERIALS 1\nsteel\nMATERIAL steel\n1 1 1 1\n1 1 1 1\n0 0 0 1 5\n0 0 0 1\nTEXTURES 1\nt.dds\n",
       2},
      {"missing file", "", -1},
      {"wrong magic", "MSH\nGROUPS 1\n" + group, -1},
      {"too few groups", "MSHX1\nGROUPS 2\n" + group, -1},
      {"index beyond vertices", "MSHX1\nGROUPS 1\nGEOM 3 1\n0 0 0\n1 0 0\n0 0 1\n0 1 3\n", -1},
      {"vertex of 4 numbers", "MSHX1\nGROUPS 1\nGEOM 3 1\n0 0 0 0\n1 0 0\n0 0 1\n0 1 2\n", -1},
      {"bad number", "MSHX1\nGROUPS 1\nGEOM 3 1\n0 0 x\n1 0 0\n0 0 1\n0 1 2\n", -1},
      {"undefined material", "MSHX1\nGROUPS 1\nMATERIAL 2\n" + group, -1},
      {"short colour", "MSHX1\nGROUPS 1\n" + group + "MATERIALS 1\nm\nMATERIAL m\n1 1 1\n1 1 1 1\n1 1 1 1\n1 1 1 1\n",
       -1},
      {"trailing rubbish", "MSHX1\nGROUPS 1\n" + group + "HELLO\n", -1},
  };
  simhost::Simulation sim(tree.root());
  int n = 0;
  for (const auto &c : cases) {
    std::string name = "Sub\\M" + std::to_string(n++);
    if (!c.content.empty()) tree.write("Meshes/sub/m" + std::to_string(n - 1) + ".msh", c.content);
    MESHHANDLE h = oapiLoadMesh(name.c_str());
    if (c.groups < 0) {
      EXPECT_EQ(h, nullptr) << c.what;
      // A file that appears or is put right during the run is seen at the
      // mesh's next load.
      tree.write("Meshes/sub/m" + std::to_string(n - 1) + ".msh", cases[0].content);
      EXPECT_NE(oapiLoadMesh(name.c_str()), nullptr) << "put right: " << c.what;
    } else {
      ASSERT_NE(h, nullptr) << c.what;
      EXPECT_EQ(oapiMeshGroupCount(h), static_cast<DWORD>(c.groups)) << c.what;
      EXPECT_EQ(oapiLoadMesh(name.c_str()), h) << "loaded once per run: " << c.what;
      // What the pictures of a run draw: the vertices, triangles and colours.
      const auto *mesh = static_cast<const simhost::MeshData *>(h);
      EXPECT_EQ(mesh->groups[0].positions, (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 0, 1})) << c.what;
      EXPECT_EQ(mesh->groups[0].indices, (std::vector<int>{0, 1, 2})) << c.what;
      EXPECT_EQ(mesh->diffuse.size(), mesh->materials.size()) << c.what;
    }
  }
}

class VesselMeshes : public ::testing::Test {
protected:
  void SetUp() override {
    tree.addPassiveClass("Crate");
    tree.addBoxMesh("Other");
    tree.write("Meshes/Two.msh",
               "MSHX1\nGROUPS 2\nGEOM 3 1\n0 0 0\n1 0 0\n0 0 1\n0 1 2\nGEOM 3 1\n0 0 0\n1 0 0\n0 0 1\n0 1 2\n");
    tree.write("Scenarios/a.scn", simtest::scenario(simtest::landedShip("A", "Crate", 0, 0, 0)));
    std::string error;
    ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/a.scn"), error)) << error;
    log.attach(sim);
    h = oapiGetVesselByIndex(0);
    v = oapiGetVesselInterface(h);
    record = static_cast<simhost::VesselRecord *>(h);
  }
  SimTree tree;
  simhost::Simulation sim{tree.root()};
  simtest::EventLog log;
  OBJHANDLE h = nullptr;
  VESSEL *v = nullptr;
  simhost::VesselRecord *record = nullptr;
};

TEST_F(VesselMeshes, ListWithGaps) {
  EXPECT_EQ(v->GetMeshCount(), 1u);  // the class's mesh
  VECTOR3 ofs = _V(1, 2, 3);
  EXPECT_EQ(v->InsertMesh(oapiLoadMesh("Other"), 24, &ofs), 24u);
  EXPECT_EQ(v->GetMeshCount(), 25u);
  EXPECT_EQ(v->AddMesh("Two"), 25u);  // after the highest used index
  EXPECT_EQ(record->meshes[24].visibility, MESHVIS_EXTERNAL);
  EXPECT_DOUBLE_EQ(record->meshes[24].offset.z, 3);
  EXPECT_EQ(v->InsertMesh("Two", 24), 24u);  // replaces
  EXPECT_EQ(record->meshes[24].name, "Two");
  EXPECT_FALSE(v->DelMesh(5));
  EXPECT_TRUE(v->DelMesh(25));
  EXPECT_EQ(v->GetMeshCount(), 25u);
  EXPECT_TRUE(v->DelMesh(24));
  EXPECT_EQ(v->GetMeshCount(), 1u);
  EXPECT_EQ(v->AddMesh("NotThere"), 1u);  // kept by name, with no mesh data
  EXPECT_EQ(record->meshes[1].mesh, nullptr);
  EXPECT_EQ(v->InsertMesh("Other", 0xFFFFFFFFu), 0xFFFFFFFFu);
  EXPECT_EQ(v->AddMesh(static_cast<MESHHANDLE>(nullptr)), 0xFFFFFFFFu);
  v->ClearMeshes();
  EXPECT_EQ(v->GetMeshCount(), 0u);
}

TEST_F(VesselMeshes, EventsReportRealChangesOnly) {
  v->SetMeshVisibilityMode(0, MESHVIS_ALWAYS);
  v->SetMeshVisibilityMode(0, MESHVIS_ALWAYS);  // no change
  v->SetMeshVisibilityMode(7, MESHVIS_ALWAYS);  // no such mesh
  EXPECT_TRUE(v->ShiftMesh(0, _V(4.3, 0, 0)));
  EXPECT_TRUE(v->ShiftMesh(0, _V(0, 0, 0)));  // no change
  v->InsertMesh("Other", 24);
  v->DelMesh(24);
  auto mesh = log.of("mesh");
  ASSERT_EQ(mesh.size(), 4u);
  EXPECT_EQ(mesh[0]["action"], "visibility");
  EXPECT_EQ(mesh[0]["mode"], 3);
  EXPECT_EQ(mesh[0]["name"], "A");
  EXPECT_EQ(mesh[0]["index"], 0);
  EXPECT_EQ(mesh[1]["action"], "shifted");
  EXPECT_DOUBLE_EQ(mesh[1]["offset"][0].get<double>(), 4.3);
  EXPECT_EQ(mesh[2]["action"], "inserted");
  EXPECT_EQ(mesh[2]["mesh"], "Other");
  EXPECT_EQ(mesh[3]["action"], "deleted");
}

TEST_F(VesselMeshes, GroupTransformsOnTheVisual) {
  VISHANDLE *vis = oapiObjectVisualPtr(h);
  ASSERT_NE(vis, nullptr);
  ASSERT_NE(*vis, nullptr);
  v->InsertMesh("Two", 24);
  MESHGROUP_TRANSFORM mt{};
  mt.transform = MESHGROUP_TRANSFORM::ROTATE;
  mt.P.rotparam.axis = _V(0, 1, 0);
  mt.P.rotparam.angle = 1.5f;
  struct Case {
    int mesh, group;
    bool ok;
  } cases[] = {{24, -1, true}, {24, 1, true}, {24, 2, false}, {3, 0, false}, {-1, 0, false}, {99, -1, false}};
  for (const auto &c : cases) {
    mt.nmesh = c.mesh;
    mt.ngrp = c.group;
    int r = v->MeshgroupTransform(*vis, mt);
    if (c.ok) {
      EXPECT_EQ(r, 0) << c.mesh << "/" << c.group;
    } else {
      EXPECT_LT(r, 0) << c.mesh << "/" << c.group;
    }
  }
  mt.nmesh = 24;
  mt.ngrp = -1;
  EXPECT_LT(v->MeshgroupTransform(nullptr, mt), 0);
  ASSERT_EQ(record->visual.transforms.size(), 2u);
  EXPECT_FLOAT_EQ(record->visual.transforms[0].angle, 1.5f);
  EXPECT_EQ(record->visual.transforms[1].group, 1);
  auto mesh = log.of("mesh");
  ASSERT_EQ(mesh.size(), 3u);  // inserted, two transforms
  EXPECT_EQ(mesh[1]["transform"], "rotate");
  // The rotation as given: axis and angle in radians.
  EXPECT_EQ(mesh[1]["axis"], (nlohmann::json{0.0, 1.0, 0.0}));
  EXPECT_EQ(mesh[1]["angle"].get<double>(), 1.5);
  EXPECT_EQ(mesh[2]["group"], 1);
  EXPECT_EQ(mesh[2]["angle"].get<double>(), 1.5);
}

}  // namespace
