// Fuzz target: the simhost command's script parser. It is a pure function of
// the text, so the input is the whole script.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shared/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::vector<simhost::command::ScriptEvent> events;
  std::vector<std::string> errors;
  const bool accepted = simhost::command::parseScript(
      std::string_view(reinterpret_cast<const char *>(data), size), "fuzz.script", events, errors);
  // An accepted script has no error and a refused one says why.
  if (accepted != errors.empty()) __builtin_trap();
  for (const auto &event : events)
    if (!(event.time >= 0)) __builtin_trap();
  return 0;
}
