// The walking crew: crew members outside vessels, each at a point of its
// vessel's frame, and their activation of the vessels' action areas.
#include <cmath>

#include "ummu_exports.h"
#include "walking_crew.h"

namespace {

struct Walker {
  OBJHANDLE vessel;
  VECTOR3 position;
  unsigned long placedAt;  // order of placing, to give up the oldest first
};

const int WALKER_SLOTS = 64;
Walker walkers[WALKER_SLOTS];
unsigned long placements = 0;
// Slots with somebody in them: the host tells the module of every vessel
// deleted, a hundred thousand as a big world ends, and mostly nobody is
// outside any of them.
int slotsTaken = 0;

Walker *walkerOutside(OBJHANDLE vessel) {
  for (Walker &w : walkers)
    if (w.vessel == vessel) return &w;
  return nullptr;
}

// A free slot, or the one placed longest ago.
Walker &slotForNewWalker() {
  Walker *oldest = &walkers[0];
  for (Walker &w : walkers) {
    if (!w.vessel) return w;
    if (w.placedAt < oldest->placedAt) oldest = &w;
  }
  return *oldest;
}

double distance(const VECTOR3 &a, const VECTOR3 &b) {
  const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

DLLCLBK int UMmuEva(OBJHANDLE vessel, double x, double y, double z) {
  if (!vessel || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return 0;
  Walker *walker = walkerOutside(vessel);
  if (!walker) {
    walker = &slotForNewWalker();
    if (!walker->vessel) ++slotsTaken;
  }
  walker->vessel = vessel;
  walker->position = _V(x, y, z);
  walker->placedAt = ++placements;
  return 1;
}

DLLCLBK int UMmuCrewOutside(OBJHANDLE vessel, double position[3]) {
  const Walker *walker = vessel ? walkerOutside(vessel) : nullptr;
  if (!walker) return 0;
  if (position) {
    position[0] = walker->position.x;
    position[1] = walker->position.y;
    position[2] = walker->position.z;
  }
  return 1;
}

// The crew member outside a vessel that goes is gone with it; a later vessel
// given the same handle starts with nobody outside.
DLLCLBK void opcDeleteVessel(OBJHANDLE vessel) {
  if (!vessel || slotsTaken == 0) return;
  if (Walker *walker = walkerOutside(vessel)) {
    *walker = Walker{};
    --slotsTaken;
  }
}

DLLCLBK int UMmuActivate(OBJHANDLE vessel) {
  const Walker *walker = vessel ? walkerOutside(vessel) : nullptr;
  if (!walker) return -1;
  ActionStructure &table = crewActionTable();
  const ActionAreaEntry *nearest = nullptr;
  double nearestDistance = 0.0;
  for (const ActionAreaEntry &entry : table.entries) {
    if (entry.inUse != 1 || entry.vessel != vessel || entry.enabled == 0) continue;
    const double d = distance(walker->position, entry.position);
    if (!(d <= entry.radius)) continue;
    if (!nearest || d < nearestDistance) {
      nearest = &entry;
      nearestDistance = d;
    }
  }
  if (!nearest) return -1;
  // The newest activation replaces one its owner has not taken yet.
  table.activatedVessel = vessel;
  table.activatedId = nearest->id;
  return nearest->id;
}
