// The mill's timers count whole seconds of simulation time in 32 bits.
// Times are truncated towards zero and held within the 32-bit range, so a
// large interval or a long run saturates instead of overflowing.
#pragma once

#include <cmath>
#include <cstdint>

inline std::int32_t WholeSeconds(double seconds) {
  if (!(seconds < 2147483647.0)) return INT32_MAX;
  if (!(seconds > -2147483648.0)) return INT32_MIN;
  return static_cast<std::int32_t>(std::trunc(seconds));
}

inline std::int32_t SaturatingAdd(std::int32_t a, std::int32_t b) {
  return WholeSeconds(static_cast<double>(a) + static_cast<double>(b));
}
