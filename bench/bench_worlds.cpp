#include "bench_worlds.h"

#include "lunar_grid.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace bench {

namespace {

using lunar_grid::gridPlace;
using lunar_grid::kPi;
using lunar_grid::Lcg;
using lunar_grid::offset;
using lunar_grid::Place;

void writeHeader(std::FILE *out, const char *what, const char *focus) {
  std::fprintf(out,
               "BEGIN_DESC\n%s\nEND_DESC\n\nBEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 60000.5\nEND_ENVIRONMENT\n\n"
               "BEGIN_FOCUS\n  Ship %s\nEND_FOCUS\n\nBEGIN_SHIPS\n",
               what, focus);
}

void writeLanded(std::FILE *out, const char *name, const char *className, Place at, double heading) {
  std::fprintf(out, "%s:%s\n  STATUS Landed Moon\n  POS %.10f %.10f\n  HEADING %.2f\n", name, className, at.lon,
               at.lat, heading);
}

// Rock containers dealt out around the places in turn, each 300 m to 2 km
// away from its place.
void writeFarRock(std::FILE *out, int count, int places) {
  Lcg random;
  for (int n = 0; n < count; ++n) {
    const Place near = gridPlace(n % places, places);
    const double distance = 300.0 + 1700.0 * random.unit();
    const double angle = 2.0 * kPi * random.unit();
    char name[32];
    std::snprintf(name, sizeof name, "Rock%06d", n);
    writeLanded(out, name, "UCGO\\Cargos\\Lunar_Rock",
                offset(near, distance * std::cos(angle), distance * std::sin(angle)), 360.0 * random.unit());
    std::fprintf(out, "END\n");
  }
}

bool exists(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

}  // namespace

std::string treeDir() { return KVT_TREE_DIR; }

std::string scratchDir() {
  // Never destroyed: the handler that removes the folder at exit reads it.
  static const std::string &dir = *new std::string([] {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvt-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return std::string("/tmp");
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(scratchDir(), ignored);
    });
    return pattern;
  }());
  return dir;
}

std::string busyWorld(int mills, int cargo) {
  const std::string path = scratchDir() + "/busy-" + std::to_string(mills) + "-" + std::to_string(cargo) + ".scn";
  if (exists(path)) return path;
  std::FILE *out = std::fopen(path.c_str(), "w");
  if (!out) return path;
  writeHeader(out, "Mills producing, free rock out of their reach.", "Mill0000");
  for (int i = 0; i < mills; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "Mill%04d", i);
    writeLanded(out, name, "Calvane", gridPlace(i, mills), 90.0);
    std::fprintf(out, "  OreTankLevel 0\n  Autospawn 1\n  SpawnTime 300\n  Status 3\nEND\n");
  }
  writeFarRock(out, cargo, mills);
  std::fprintf(out, "END_SHIPS\n");
  std::fclose(out);
  return path;
}

std::string restingWorld(int vessels) {
  const std::string path = scratchDir() + "/resting-" + std::to_string(vessels) + ".scn";
  if (exists(path)) return path;
  std::FILE *out = std::fopen(path.c_str(), "w");
  if (!out) return path;
  writeHeader(out, "Rock containers at rest.", "Rock000000");
  writeFarRock(out, vessels, 1 + vessels / 1000);
  std::fprintf(out, "END_SHIPS\n");
  std::fclose(out);
  return path;
}

namespace {

struct KeptWorld {
  std::string scenario;
  std::unique_ptr<simhost::Simulation> sim;
};

KeptWorld &kept() {
  static KeptWorld world;
  return world;
}

}  // namespace

simhost::Simulation &loadedWorld(const std::string &scenario) {
  KeptWorld &w = kept();
  if (w.sim && w.scenario == scenario) return *w.sim;
  w.sim.reset();
  w.sim = std::make_unique<simhost::Simulation>(treeDir());
  w.scenario = scenario;
  std::string error;
  if (!w.sim->loadScenario(scenario, error)) std::fprintf(stderr, "bench: %s\n", error.c_str());
  return *w.sim;
}

void dropWorld() {
  kept().sim.reset();
  kept().scenario.clear();
}

long fileSize(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

}  // namespace bench
