// Fuzz target: simhost's vessel class file reader on a class file whose text
// is the input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "files/vessel_class.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const fuzz_support::FuzzTree tree("class");
  tree.write("Config/Vessels/Fuzz.cfg", data, size);
  simhost::VesselClass cls;
  std::string error;
  if (!simhost::parseClassFile(tree.path("Config/Vessels/Fuzz.cfg"), cls, error) && error.empty())
    __builtin_trap();
  return 0;
}
