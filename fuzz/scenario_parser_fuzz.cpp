// Fuzz target: simhost's scenario parser on a whole scenario file, in the
// built simulator tree (so ship blocks may name passive classes, the cargo
// types and the ore mill). A scenario that loads is saved and must load
// again: the host never writes a file it would refuse.
#include <cstddef>
#include <cstdint>
#include <utility>

#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const fuzz_support::FuzzTree &tree = fuzz_support::processTree("scenario");
  tree.write("Scenarios/Fuzz.scn", data, size);
  auto sim = fuzz_support::loadScenario(tree, "Scenarios/Fuzz.scn");
  if (!sim) return 0;
  sim->frame();
  fuzz_support::savedScenarioMustLoad(std::move(sim), tree, "scenario");
  return 0;
}
