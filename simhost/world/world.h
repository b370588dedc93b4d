// The vessels of a run: a list in creation order, looked up by index, by
// name (ignoring case) and by handle, each in constant time and without
// allocating, for worlds of a hundred thousand vessels. A handle is checked
// without hashing: records keep their place in the world's storage
// (vessel_pool.h), which marks the live ones.
//
// Besides the list, the world keeps the vessels a frame must visit: those
// with a module (in list order), and those that may be in free flight. A
// vessel at rest without a module is in neither, so it costs a frame nothing.
//
// The world owns its records. Removing one takes it out of every table at
// once (indices after it shift down, the order of the others is kept) and
// hands the record back to the caller, who destroys it when no callback of
// that vessel is running any more.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "world/body.h"
#include "world/name_table.h"
#include "world/text.h"
#include "world/vessel.h"
#include "world/vessel_pool.h"

namespace simhost {

// Hands a record back to the storage of its world.
struct VesselRelease {
  VesselPool *pool = nullptr;
  void operator()(VesselRecord *record) const { pool->release(record); }
};
using OwnedVessel = std::unique_ptr<VesselRecord, VesselRelease>;

class World {
public:
  World() = default;
  ~World();
  World(const World &) = delete;
  World &operator=(const World &) = delete;

  size_t count() const { return list_.size(); }
  VesselRecord *at(size_t index) const { return index < list_.size() ? list_[index] : nullptr; }
  const std::vector<VesselRecord *> &vessels() const { return list_; }
  // Starts fetching what scans read of the vessel at index into the cache.
  void prefetch(size_t index) const {
    if (index >= list_.size()) return;
    const char *hot = reinterpret_cast<const char *>(list_[index]);
    __builtin_prefetch(hot + 64);
    __builtin_prefetch(hot + 128);
    __builtin_prefetch(hot + 192);
  }
  // The live vessel of that name, ignoring case; null if none.
  VesselRecord *find(std::string_view name) const;
  // Starts fetching where a lookup, insertion or removal of the name will
  // read into the cache.
  void prefetchName(std::string_view name) const;
  // The live vessel behind a handle; null for anything else (a body, a
  // deleted vessel, a stray pointer).
  VesselRecord *fromHandle(const void *handle) const { return pool_.live(handle); }

  // The bodies vessels stand on and fly around, as the run read them from
  // the tree; they keep their addresses, which are their handles.
  const std::vector<std::unique_ptr<CelestialBody>> &bodies() const { return bodies_; }
  // The body of that name (ignoring case); null for one not read.
  const CelestialBody *body(std::string_view name) const;
  // The body behind a handle; null for anything else.
  const CelestialBody *bodyFromHandle(const void *handle) const;
  const CelestialBody *addBody(std::unique_ptr<CelestialBody> body);

  // A fresh record in the world's storage, not yet in the world; empty when
  // the storage is full.
  OwnedVessel make();
  // Appends; the name must be free.
  VesselRecord *add(OwnedVessel record);
  // Room for so many more vessels in the list and the name table.
  void reserve(size_t more) {
    list_.reserve(list_.size() + more);
    byName_.reserve(list_.size() + more);
  }
  OwnedVessel remove(VesselRecord *record);
  // The text as kept once for every vessel that gives it (a class name as
  // spelled): a view, ended by '\0', that stays valid as long as the world.
  std::string_view keepText(std::string_view text);

  // The vessels with a module, in list order.
  const std::vector<VesselRecord *> &moduleVessels() const { return modules_; }
  // The vessel may be in free flight from now on: the frame moves it while
  // it is (a landed or attached vessel drops out of the list).
  void noteFlight(VesselRecord *record);
  std::vector<VesselRecord *> &flightList() { return flying_; }
  // Bytes of the records' storage (their strings and lists are on the heap).
  size_t storageBytes() const { return pool_.bytes(); }

private:
  static void eraseFrom(std::vector<VesselRecord *> &list, VesselRecord *record);

  std::vector<std::unique_ptr<CelestialBody>> bodies_;
  VesselPool pool_;
  std::vector<VesselRecord *> list_;
  std::vector<VesselRecord *> modules_;
  std::vector<VesselRecord *> flying_;
  NameTable byName_;
  std::set<std::string, std::less<>> texts_;
  std::string_view lastText_;  // kept last: ship after ship names the same class
};

}  // namespace simhost
