// The soak's world: a scenario of mills spread over the Moon a few km apart
// and cargo vessels around them, written as the simulator would read it.
//
// Every tenth mill is still a construction site (Status 0, the three
// construction boxes within reach); the others are finished (Status 3) and
// produce on their own (Autospawn 1, SpawnTime 300). Each mill has a crew
// member aboard and four containers of rock within reach; the rest of the
// cargo lies 300 m to 2 km away, out of reach. The layout comes from a fixed
// seed, so the same options write the same file.
#pragma once

#include <string>

struct SoakOptions;

// The name of mill i ("Mill042"), as the day's crews and operators use it.
std::string soakMillName(int index);
// True when mill i starts as a construction site.
bool soakMillUnderConstruction(int index);
// Writes the world to path; false with a message in error when it cannot.
bool writeSoakWorld(const SoakOptions &options, const std::string &path, std::string &error);
