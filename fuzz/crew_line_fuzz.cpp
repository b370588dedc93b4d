// Fuzz target: the crew roster's scenario line reader (LoadStateLine) on a
// roster set up as the ore mill sets its own up, on a hut in a world with
// the crew module. The first input byte chooses the seats (1 to 8); the
// rest is up to 16 lines of a vessel block, each in a buffer of exactly
// its size. Afterwards the hut carries exactly the crew's weight.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "crew_roster.h"
#include "fuzz_tree.h"

namespace {

const fuzz_support::FuzzTree &Tree() {
  return fuzz_support::processTree(
      "crew", {{"Config/Vessels/Hut.cfg", "ClassName = Hut\nSize = 4\nMass = 1500\nMeshName = UCGO\\KVT_OreBox\n"},
               {"Scenarios/Hut.scn", fuzz_support::scenarioHead("Base") +
                                         "Base:Hut\n  STATUS Landed Moon\n  POS 10.0 5.0\n  HEADING 0\nEND\nEND_SHIPS\n"}});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  auto sim = fuzz_support::loadScenario(Tree(), "Scenarios/Hut.scn");
  char name[] = "Base";
  OBJHANDLE hut = sim ? oapiGetVesselByName(name) : nullptr;
  if (!hut) std::abort();
  const int seats = size > 0 ? 1 + data[0] % 8 : 1;
  const double ownMass = oapiGetEmptyMass(hut);
  {
    CrewRoster roster;
    if (roster.Init(hut) != CREW_INIT_OK || roster.DefineAirlock(0, -3, 3, 0, 4, -7, 7) != 1 ||
        roster.SetMaxSeats(seats) != 1)
      std::abort();
    for (const std::string &line : fuzz_support::inputLines(size > 0 ? data + 1 : data, size > 0 ? size - 1 : 0, 16)) {
      auto buffer = fuzz_support::exactLine(line);
      roster.LoadStateLine(buffer.get());
    }
    if (roster.MemberCount() > seats) __builtin_trap();
    double weights = 0;
    for (int slot = 0; slot < roster.MemberCount(); ++slot) weights += roster.Member(slot)->weight;
    if (std::fabs(oapiGetEmptyMass(hut) - ownMass - weights) > 1e-6) {
      std::fprintf(stderr, "the hut's empty mass does not carry the crew's weight\n");
      __builtin_trap();
    }
  }
  return 0;
}
