// Fuzz target: the crew module's version file meshes\UMmu\ver.dtf, whose
// text is the input. Rosters read it once per process; the target reads
// every input afresh through the reader behind that cache.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "crew_roster.h"
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
  const float version = CrewRoster::ReadCrewModuleVersionFile();
  // A version is a number; the check against the first supported version
  // must not see a NaN.
  if (std::isnan(version)) __builtin_trap();
  return 0;
}
