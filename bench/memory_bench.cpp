// The memory a vessel takes: a world of 100 000 resting vessels against one
// of 1 000, the difference divided by the vessels between. Counted: the heap
// in use and the world's own storage of records (reserved apart from the
// heap).
#include <malloc.h>

#include "bench_worlds.h"
#include "benches.h"
#include "world/world.h"

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
  simhost::Simulation &sim = loadedWorld(path);
  const double after = heapInUse() + static_cast<double>(sim.world().storageBytes());
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
