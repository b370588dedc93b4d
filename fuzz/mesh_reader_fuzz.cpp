// Fuzz target: simhost's mesh reader on a mesh file whose text is the input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "files/mesh.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const fuzz_support::FuzzTree tree("mesh");
  tree.write("Meshes/Fuzz.msh", data, size);
  simhost::MeshData mesh;
  std::string error;
  if (simhost::parseMeshFile(tree.path("Meshes/Fuzz.msh"), mesh, error)) {
    // An accepted mesh only refers to materials and textures it has.
    for (const auto &group : mesh.groups) {
      if (group.material < 0 || group.material > static_cast<int>(mesh.materials.size())) __builtin_trap();
      if (group.texture < 0 || group.texture > static_cast<int>(mesh.textures.size())) __builtin_trap();
    }
  } else if (error.empty()) {
    __builtin_trap();
  }
  return 0;
}
