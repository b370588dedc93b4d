// Fuzz target: the crew module's version file meshes\UMmu\ver.dtf, read by
// CrewRoster::ReadCrewModuleVersion, whose text is the input.
//
// The roster caches the version for the life of the process, as the
// simulator loads the add-on once. To read every input afresh this target
// compiles the roster's life-cycle source into itself, where the cache is
// reachable, and links the rest of the crew component without it.
#include "roster_setup.cpp"

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "fuzz_tree.h"
#include "simulation.h"

namespace {

struct VersionWorld {
  fuzz_support::FuzzTree tree{"version"};
  // hostOpenFile resolves paths inside the tree of the running simulation.
  simhost::Simulation sim{tree.root()};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static VersionWorld world;
  world.tree.write("Meshes/UMmu/ver.dtf", data, size);
  crewModuleVersion = 0.0f;
  const float version = CrewRoster::ReadCrewModuleVersion();
  // A version is a number; the check against the first supported version
  // must not see a NaN.
  if (std::isnan(version)) __builtin_trap();
  return 0;
}
