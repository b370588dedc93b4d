// The soak's day: loads the world into a fresh simhost Simulation and runs
// it hour by hour. Each simulated hour the operator sets down fresh rock
// within reach of every mill and hauls the ore boxes made away, crews walk
// out to some mills and activate them (building the construction sites,
// switching processing off and on again), the frames run, and at the end
// of the hour the scenario is saved, the Simulation ended and the saved
// file loaded into a new one. runSoakDay prints one line per hour and
// returns false (with a message in error) when anything fails to load,
// save or act.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "soak_options.h"

struct SoakHour {
  double simSeconds;       // simulated time at the end of the hour
  unsigned long vessels;   // vessels in the world when it was saved
  long oreBoxes;           // ore boxes set down since the start
  long rssKiB;             // resident memory after the reload
  long heapKiB;            // heap in use after the reload
  std::uint64_t checksum;  // of the scenario saved at the end of the hour
};

bool runSoakDay(const SoakOptions &options, const std::string &worldFile, const std::string &workDir,
                std::vector<SoakHour> &hours, std::string &error);
