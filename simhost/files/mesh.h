// Mesh files of the simulator tree (Meshes/<name>.msh, the simulator's text
// mesh format) and the per-run library that loads each of them once it can
// (a mesh that could not be loaded is looked for again at its next load).
//
// A MESHHANDLE handed to a module is the address of a MeshData owned by the
// library; it stays valid until the run ends. The stand-in keeps what it
// needs to check calls on meshes (the groups and their sizes) and what the
// pictures of a run draw (the vertices, the triangles and the materials'
// colours).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "files/file_gate.h"
#include "world/text.h"

namespace simhost {

struct MeshGroup {
  std::string label;
  int vertices = 0;
  int triangles = 0;
  int material = 0;  // 0: none, else 1-based into the materials
  int texture = 0;   // 0: none, else 1-based into the textures
  std::vector<float> positions;  // x, y, z of each vertex, mesh frame, m
  std::vector<int> indices;      // three vertex indices a triangle
};

// A material's diffuse colour, red, green, blue and alpha from 0 to 1.
struct MeshColour {
  float r = 1, g = 1, b = 1, a = 1;
};

struct MeshData {
  std::string name;  // as asked for, e.g. "UCGO\Box"
  std::vector<MeshGroup> groups;
  std::vector<std::string> materials;
  std::vector<MeshColour> diffuse;  // one per material
  std::vector<std::string> textures;
};

// Parses a mesh file. False with "LINE: what is wrong" in error when the
// file does not follow the format.
bool parseMeshFile(const std::string &path, MeshData &mesh, std::string &error);

class MeshLibrary {
public:
  // gate: asked before a mesh is loaded or its file opened; null for none.
  MeshLibrary(std::string root, FileGate *gate) : root_(std::move(root)), gate_(gate) {}
  // The mesh Meshes/<name>.msh; null when it is missing or malformed.
  const MeshData *load(const std::string &name);
  // True when the address is a mesh of this library.
  bool owns(const void *mesh) const;

private:
  std::string root_;
  FileGate *gate_;
  std::map<std::string, std::unique_ptr<MeshData>, text::NoCaseLess> byName_;  // lower-case name
  // The mesh loaded last: vessels of one class load the same mesh in turn.
  const MeshData *last_ = nullptr;
};

}  // namespace simhost
