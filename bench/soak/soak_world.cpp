#include "soak_world.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "../lunar_grid.h"
#include "soak_options.h"

namespace {

const int ROCKS_IN_REACH = 4;

using lunar_grid::Lcg;
using lunar_grid::offset;
using lunar_grid::Place;
const double PI = lunar_grid::kPi;

Place millPlace(const SoakOptions &options, int index) { return lunar_grid::gridPlace(index, options.mills); }

void writeLanded(std::FILE *out, const char *name, const char *className, Place at, double heading) {
  std::fprintf(out, "%s:%s\n  STATUS Landed Moon\n  POS %.10f %.10f\n  HEADING %.2f\n", name, className, at.lon,
               at.lat, heading);
}

}  // namespace

std::string soakMillName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "Mill%03d", index);
  return name;
}

bool soakMillUnderConstruction(int index) { return index % 10 == 9; }

bool writeSoakWorld(const SoakOptions &options, const std::string &path, std::string &error) {
  std::FILE *out = std::fopen(path.c_str(), "w");
  if (!out) {
    error = "cannot write " + path;
    return false;
  }
  std::fprintf(out,
               "BEGIN_DESC\nThe soak's world: %d ore mills a few km apart on the Moon and %d cargo vessels "
               "around them.\nEND_DESC\n\nBEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 60000.5\n"
               "END_ENVIRONMENT\n\nBEGIN_FOCUS\n  Ship %s\nEND_FOCUS\n\nBEGIN_SHIPS\n",
               options.mills, options.cargo, soakMillName(0).c_str());
  for (int i = 0; i < options.mills; ++i) {
    writeLanded(out, soakMillName(i).c_str(), "Calvane", millPlace(options, i), 90.0);
    std::fprintf(out, "  UMMUCREW Eng-Crew_%03d-35-70-75\n", i);
    if (soakMillUnderConstruction(i))
      std::fprintf(out, "  SpawnTime 300\n  Status 0\nEND\n");
    else
      std::fprintf(out, "  OreTankLevel 0\n  Autospawn 1\n  SpawnTime 300\n  Status 3\nEND\n");
  }

  // The cargo is dealt out to the mills in turn: first what lies within
  // reach of each (rock, and the kits of a construction site), then the
  // far cargo.
  static const char *const KITS[3] = {"UCGO\\Cargos\\KVT_Construction_BoxB", "UCGO\\Cargos\\KVT_Construction_BoxC",
                                      "UCGO\\Cargos\\KVT_Construction_BoxD"};
  const char *const ROCK = "UCGO\\Cargos\\Lunar_Rock";
  Lcg random;
  int written = 0;
  for (int i = 0; i < options.mills && written < options.cargo; ++i) {
    const Place mill = millPlace(options, i);
    const int near = ROCKS_IN_REACH + (soakMillUnderConstruction(i) ? 3 : 0);
    for (int k = 0; k < near && written < options.cargo; ++k, ++written) {
      const double angle = (200.0 + 25.0 * k) * PI / 180.0;
      char name[32];
      std::snprintf(name, sizeof name, "%s%05d", k < ROCKS_IN_REACH ? "Rock" : "Kit", written);
      writeLanded(out, name, k < ROCKS_IN_REACH ? ROCK : KITS[k - ROCKS_IN_REACH], offset(mill, 7.0 * std::cos(angle),
                  7.0 * std::sin(angle)), 10.0 * k);
      std::fprintf(out, "END\n");
    }
  }
  for (int n = 0; written < options.cargo; ++n, ++written) {
    const Place mill = millPlace(options, n % options.mills);
    const double distance = 300.0 + 1700.0 * random.unit();
    const double angle = 2.0 * PI * random.unit();
    const bool kit = written % 5 == 0;
    char name[32];
    std::snprintf(name, sizeof name, "%s%05d", kit ? "Kit" : "Rock", written);
    writeLanded(out, name, kit ? KITS[written % 3] : ROCK,
                offset(mill, distance * std::cos(angle), distance * std::sin(angle)), 360.0 * random.unit());
    std::fprintf(out, "END\n");
  }
  std::fprintf(out, "END_SHIPS\n");
  const bool ok = std::fclose(out) == 0;
  if (!ok) error = "cannot finish writing " + path;
  return ok;
}
