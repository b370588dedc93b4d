// The soak's settings: the size of the world, the length of the run and how
// it is stepped. Read from the command line by readSoakOptions, which
// returns 0 to go on, or the exit code to end with (help shown, bad option).
#pragma once

#include <string>

struct SoakOptions {
  std::string root = KVT_TREE_DIR;  // the built simulator tree
  std::string work;                 // folder for the scenarios; empty: a fresh temporary one
  int mills = 100;
  int cargo = 10000;
  double seconds = 86400.0;  // simulated length
  double frame = 1.0;        // real seconds per frame
  double warp = 10.0;        // so a frame is 10 simulated seconds
  double hour = 3600.0;      // simulated seconds between save/reload cycles
  double slackPercent = 5.0; // growth of memory tolerated after the first two hours
  bool twice = false;        // run the whole soak again and compare the checksums
};

int readSoakOptions(int argc, char **argv, SoakOptions &options);
