// Fuzz target: the cargo bay's scenario line reader (LoadStateLine) on a
// ready bay of five slots. The input is up to 16 lines of a vessel block;
// each goes to the reader in a buffer of exactly its size, as the host
// hands it over. A line the reader does not take must come back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "cargo_invariants.h"
#include "cargo_world.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz_support::CargoWorld world;
  world.SetUpBay(5);
  for (const std::string &line : fuzz_support::inputLines(data, size, 16)) {
    auto buffer = fuzz_support::exactLine(line);
    if (world.bay->LoadStateLine(buffer.get()) == 0 && std::memcmp(buffer.get(), line.c_str(), line.size() + 1) != 0)
      __builtin_trap();
  }
  fuzz_support::CheckBayBookkeeping(*world.bay);
  return 0;
}
