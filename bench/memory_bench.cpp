// The heap a vessel takes: a world of 100 000 resting vessels against one of
// 1 000, the difference divided by the vessels between.
#include <malloc.h>

#include "bench_worlds.h"
#include "benches.h"

namespace bench {

namespace {

double heapInUse() {
  struct mallinfo2 m = mallinfo2();
  return static_cast<double>(m.uordblks + m.hblkhd);
}

double heapOfWorld(int vessels) {
  const std::string path = restingWorld(vessels);
  dropWorld();
  const double before = heapInUse();
  loadedWorld(path);
  const double after = heapInUse();
  dropWorld();
  return after - before;
}

}  // namespace

void memoryPerVessel(benchmark::State &state) {
  double perVessel = 0;
  for (auto _ : state) {
    const double small = heapOfWorld(1000), large = heapOfWorld(100000);
    perVessel = (large - small) / 99000.0;
  }
  state.counters["bytes_per_vessel"] = perVessel;
}

}  // namespace bench
