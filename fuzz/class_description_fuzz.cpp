// Fuzz target: the cargo bay's check whether another vessel class's
// description contains a text (ClassDescriptionContains), on a class file
// whose text is the input, with the needles consuming uses and a needle
// longer than the 21 characters compared.
#include <cstddef>
#include <cstdint>

#include "cargo_bay.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const fuzz_support::FuzzTree &tree = fuzz_support::emptyTreeWithARun("description");
  tree.write("Config/Vessels/Other.cfg", data, size);
  for (const char *needle : {"Rock", "KVT Ore", "", "Mined rock from the lunar regolith"}) {
    const int found = CargoBay::ClassDescriptionContains("Other", needle);
    if (found != 0 && found != 1) __builtin_trap();
    if (CargoBay::ClassDescriptionContains("other.CFG", needle) != found) __builtin_trap();
  }
  return 0;
}
