// Fuzz target: simhost's scenario parser on a whole scenario file, in the
// built simulator tree (so ship blocks may name passive classes, the cargo
// types and the ore mill). A scenario that loads is saved and must load
// again: the host never writes a file it would refuse.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz_tree.h"

namespace {

const fuzz_support::FuzzTree &Tree() {
  static const fuzz_support::FuzzTree tree("scenario");
  static const bool filled = (tree.copyBuiltTree(), true);
  (void)filled;
  return tree;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const fuzz_support::FuzzTree &tree = Tree();
  tree.write("Scenarios/Fuzz.scn", data, size);
  auto sim = fuzz_support::loadScenario(tree, "Scenarios/Fuzz.scn");
  if (!sim) return 0;
  sim->frame();
  std::string error;
  if (!sim->saveScenario(tree.path("Scenarios/Saved.scn"), error)) return 0;
  sim.reset();
  if (!fuzz_support::loadScenario(tree, "Scenarios/Saved.scn")) {
    std::fprintf(stderr, "a saved scenario was refused on loading\n");
    __builtin_trap();
  }
  return 0;
}
