// The vessels of a run: a list in creation order, looked up by index, by
// name (ignoring case) and by handle, each in constant time and without
// allocating, for worlds of a hundred thousand vessels.
//
// The world owns its records. Removing one takes it out of every table at
// once (indices after it shift down, the order of the others is kept) and
// hands the record back to the caller, who destroys it when no callback of
// that vessel is running any more.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "text.h"
#include "vessel.h"

namespace simhost {

// The one celestial body of the stand-in. Its address is its OBJHANDLE.
struct CelestialBody {
  const char *name;
  double radius;
  double gm;
};

CelestialBody &theMoon();

class World {
public:
  World() = default;
  ~World();
  World(const World &) = delete;
  World &operator=(const World &) = delete;

  size_t count() const { return list_.size(); }
  VesselRecord *at(size_t index) const { return index < list_.size() ? list_[index] : nullptr; }
  const std::vector<VesselRecord *> &vessels() const { return list_; }
  // The live vessel of that name, ignoring case; null if none.
  VesselRecord *find(std::string_view name) const;
  // The live vessel behind a handle; null for anything else (the Moon, a
  // deleted vessel, a stray pointer).
  VesselRecord *fromHandle(const void *handle) const;
  static bool isMoon(const void *handle) { return handle == &theMoon(); }

  // Appends; the name must be free.
  VesselRecord *add(std::unique_ptr<VesselRecord> record);
  std::unique_ptr<VesselRecord> remove(VesselRecord *record);

private:
  std::vector<VesselRecord *> list_;
  std::unordered_map<std::string, VesselRecord *, text::NoCaseHash, text::NoCaseEqual> byName_;
  std::unordered_set<const void *> live_;
};

}  // namespace simhost
