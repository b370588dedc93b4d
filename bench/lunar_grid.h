// The layout both busy worlds share (the benchmarks' and the soak's): mills
// on a grid 0.1 degrees (about 3 km) apart near 20 E 0.5 N, places so many
// metres east and north of another, and a fixed-seed generator, so that a
// world is the same on every run and the soak's checksums stay comparable.
#pragma once

#include <cmath>
#include <cstdint>

namespace lunar_grid {

inline constexpr double kMoonRadius = 1737400.0;
inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kMillSpacingDeg = 0.1;

struct Lcg {
  std::uint64_t state = 0x5eed5eedull;
  double unit() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state >> 11) / 9007199254740992.0;
  }
};

struct Place {
  double lon, lat;  // degrees
};

// The index-th of count places on a square grid.
inline Place gridPlace(int index, int count) {
  const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
  return {20.0 + (index % columns) * kMillSpacingDeg, 0.5 + (index / columns) * kMillSpacingDeg};
}

// The point east and north of a place by so many metres.
inline Place offset(Place from, double east, double north) {
  const double lat = from.lat + north / kMoonRadius * 180.0 / kPi;
  const double lon = from.lon + east / (kMoonRadius * std::cos(from.lat * kPi / 180.0)) * 180.0 / kPi;
  return {lon, lat};
}

}  // namespace lunar_grid
