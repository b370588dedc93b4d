// Fuzz target: the crew module's version file meshes\UMmu\ver.dtf, whose
// text is the input. Rosters read it once per process; the target reads
// every input afresh through the reader behind that cache.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "crew_roster.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const fuzz_support::FuzzTree &tree = fuzz_support::emptyTreeWithARun("version");
  tree.write("Meshes/UMmu/ver.dtf", data, size);
  const float version = CrewRoster::ReadCrewModuleVersionFile();
  // A version is a number; the check against the first supported version
  // must not see a NaN.
  if (std::isnan(version)) __builtin_trap();
  return 0;
}
