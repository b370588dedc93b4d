// A frame of a resting world: landed passive vessels, nothing moving and no
// module to call. Vessels at rest should cost nothing per frame.
#include "bench_worlds.h"
#include "benches.h"

namespace bench {

void restingFrame(benchmark::State &state) {
  simhost::Simulation &sim = loadedWorld(restingWorld(static_cast<int>(state.range(0))));
  sim.frame();
  for (auto _ : state) sim.frame();
}

}  // namespace bench
