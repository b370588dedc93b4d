// Fuzz target: the ore mill's whole vessel block, read through simhost's
// scenario loading. The input is the block's text after the host's landing
// lines; the mill (Modules/Calvane.dll) offers each line to its cargo bay,
// its crew roster, its own keys and the host. The loaded world runs a few
// frames, is saved, and the saved file must load again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const fuzz_support::FuzzTree &tree = fuzz_support::processTree("mill");
  std::string scenario = fuzz_support::scenarioHead("Mill");
  scenario += "Mill:Calvane\n  STATUS Landed Moon\n  POS 23.48 0.67\n  HEADING 135\n";
  scenario.append(reinterpret_cast<const char *>(data), size);
  scenario += "\nEND\nEND_SHIPS\n";
  tree.write("Scenarios/Fuzz.scn", scenario);
  auto sim = fuzz_support::loadScenario(tree, "Scenarios/Fuzz.scn");
  if (!sim) return 0;
  for (int frame = 0; frame < 3; ++frame) sim->frame();
  fuzz_support::savedScenarioMustLoad(std::move(sim), tree, "mill scenario");
  return 0;
}
