// The bay's bookkeeping after a reader has run: the counted cargo equals a
// fresh recount, and the carrier's empty mass is its own plus the cargo.
// A broken rule ends the run as a finding.
#pragma once

#include <cmath>
#include <cstdio>

#include "cargo_bay.h"

namespace fuzz_support {

inline void CheckBayBookkeeping(CargoBay &bay) {
  const int count = bay.cargoCount;
  const double total = bay.cargoMassTotal;
  bay.RecountCargo();
  if (count != bay.cargoCount || std::fabs(total - bay.cargoMassTotal) > 1e-6) {
    std::fprintf(stderr, "cargo totals drifted: %d cargo %.3f kg counted, %d cargo %.3f kg aboard\n", count, total,
                 bay.cargoCount, bay.cargoMassTotal);
    __builtin_trap();
  }
  if (bay.adjustEmptyMass == 1 && bay.baseEmptyMass >= 0) {
    const double expected = bay.baseEmptyMass + bay.cargoMassTotal;
    const double actual = oapiGetEmptyMass(bay.vesselHandle);
    if (std::fabs(expected - actual) > 1e-6 * (1 + std::fabs(expected))) {
      std::fprintf(stderr, "empty mass %.3f kg, own mass and cargo %.3f kg\n", actual, expected);
      __builtin_trap();
    }
  }
}

}  // namespace fuzz_support
