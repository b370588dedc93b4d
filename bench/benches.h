// The benchmarks, registered by bench_main.cpp with the sizes of a full or a
// quick run. Each has its baseline beside it (see bench_report.h).
#pragma once

#include <benchmark/benchmark.h>

namespace bench {

// args: mills, cargo vessels. One frame of the busy world; counter
// "candidates": the vessels the mills look at in that frame.
void rockScan(benchmark::State &state);
// args: mills, cargo vessels. The same tests on an array of plain structs.
void bareScan(benchmark::State &state);
// arg: vessels. One frame of a resting world.
void restingFrame(benchmark::State &state);
// arg: vessels. Loading the scenario and saving it again.
void loadSave(benchmark::State &state);
// arg: vessels. Reading the same file's bytes and writing them.
void readWriteBytes(benchmark::State &state);
// arg: vessels. The simhost command as a child process: `run --until 0
// --quiet --save` of the resting world, and `show` of it. Counters
// "peak_kb", "floor_peak_kb": the child's peak resident memory, for this
// world and for one of a single vessel.
void commandLoadSave(benchmark::State &state);
void commandShow(benchmark::State &state);
// otherCase: the folders named in another case than the tree's.
void hostFileRead(benchmark::State &state, bool otherCase);
void plainFileRead(benchmark::State &state);
// The heap a vessel takes: counter "bytes_per_vessel".
void memoryPerVessel(benchmark::State &state);
// arg: simulated seconds of the demo run by the simhost command.
void demoDay(benchmark::State &state);

}  // namespace bench
