// The mill's rock scan: every frame each producing mill looks at every
// vessel for free rock within reach. Against it, a bare loop that makes the
// same tests (the attachment's id and status, the control mode, the distance
// in the mill's frame) on an array of plain structs.
#include <cmath>
#include <cstring>
#include <vector>

#include "bench_worlds.h"
#include "benches.h"

namespace bench {

namespace {

struct Vec {
  double x, y, z;
};

struct PlainCargo {
  char attachmentId[8];
  bool attached;
  unsigned controlMode;
  Vec global;
};

struct PlainMill {
  double rot[9];  // vessel frame to global, row-major
  Vec global;
};

Vec onSphere(double lon, double lat, double r) {
  return {r * std::cos(lat) * std::cos(lon), r * std::sin(lat), r * std::cos(lat) * std::sin(lon)};
}

// The nearest free cargo within 50 m of the mill, or -1.
long nearestFree(const PlainMill &mill, const std::vector<PlainCargo> &cargo) {
  double best = 10000;
  long found = -1;
  for (size_t i = 0; i < cargo.size(); ++i) {
    const PlainCargo &c = cargo[i];
    if (c.attached || std::strcmp(c.attachmentId, "UCGOCG") != 0) continue;
    const Vec d{c.global.x - mill.global.x, c.global.y - mill.global.y, c.global.z - mill.global.z};
    const double *r = mill.rot;
    const Vec local{r[0] * d.x + r[3] * d.y + r[6] * d.z, r[1] * d.x + r[4] * d.y + r[7] * d.z,
                    r[2] * d.x + r[5] * d.y + r[8] * d.z};
    const double dist = std::sqrt(local.x * local.x + local.y * local.y + local.z * local.z);
    if (dist > 50 || dist > best) continue;
    if ((c.controlMode & 0x18) == 0x18) continue;
    best = dist;
    found = static_cast<long>(i);
  }
  return found;
}

}  // namespace

void rockScan(benchmark::State &state) {
  const int mills = static_cast<int>(state.range(0)), cargo = static_cast<int>(state.range(1));
  simhost::Simulation &sim = loadedWorld(busyWorld(mills, cargo));
  sim.frame();
  for (auto _ : state) sim.frame();
  state.counters["candidates"] = static_cast<double>(mills) * (mills + cargo);
}

void bareScan(benchmark::State &state) {
  const int mills = static_cast<int>(state.range(0)), cargo = static_cast<int>(state.range(1));
  const double radius = 1737400.0, metre = 1.0 / radius;
  std::vector<PlainMill> plainMills(static_cast<size_t>(mills));
  std::vector<PlainCargo> plainCargo(static_cast<size_t>(mills + cargo));
  for (int m = 0; m < mills; ++m) {
    PlainMill &p = plainMills[static_cast<size_t>(m)];
    p.global = onSphere(0.35 + m * 1.7e-3, 0.01 + m * 1e-3, radius);
    const double c = std::cos(0.1 * m), s = std::sin(0.1 * m);
    const double rot[9] = {c, 0, s, 0, 1, 0, -s, 0, c};
    std::memcpy(p.rot, rot, sizeof rot);
  }
  for (int i = 0; i < mills + cargo; ++i) {
    PlainCargo &c = plainCargo[static_cast<size_t>(i)];
    std::strcpy(c.attachmentId, i < mills ? "" : "UCGOCG");
    const int near = i % mills;
    const double away = (300 + (i * 37) % 1700) * metre;
    c.global = onSphere(0.35 + near * 1.7e-3 + away, 0.01 + near * 1e-3, radius);
  }
  for (auto _ : state)
    for (const PlainMill &m : plainMills) benchmark::DoNotOptimize(nearestFree(m, plainCargo));
  state.counters["candidates"] = static_cast<double>(mills) * (mills + cargo);
}

}  // namespace bench
