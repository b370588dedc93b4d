// The worlds the benchmarks run: scenario files written into a scratch
// folder, read by the stand-in from the built simulator tree.
//
// A busy world: mills producing (processing on, the rock tank empty) with
// free cargo vessels of rock 300 m to 2 km around them, out of their reach,
// so that every frame each mill scans the whole world and finds nothing. A
// resting world: landed passive rock containers and nothing else. The layout
// comes from a fixed seed: the same arguments write the same file.
#pragma once

#include <string>

#include "simulation.h"

namespace bench {

// The built simulator tree (Config/, Meshes/, Modules/, Scenarios/).
std::string treeDir();
// A scratch folder of this process, made on first use and removed at exit.
std::string scratchDir();

// The scenario file of a busy world, written on first use.
std::string busyWorld(int mills, int cargo);
// The scenario file of a resting world, written on first use.
std::string restingWorld(int vessels);

// A run of the stand-in on the tree with the scenario loaded; the same run
// while the same scenario is asked for again, a fresh one otherwise (at most
// one run lives at a time).
simhost::Simulation &loadedWorld(const std::string &scenario);
// Ends the run that loadedWorld keeps.
void dropWorld();

// The size of a file in bytes, or -1.
long fileSize(const std::string &path);

}  // namespace bench
