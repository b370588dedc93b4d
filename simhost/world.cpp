#include "world.h"

#include "geometry.h"

namespace simhost {

CelestialBody &theMoon() {
  static CelestialBody moon{"Moon", moon::kRadius, moon::kGM};
  return moon;
}

World::~World() {
  for (VesselRecord *r : list_) delete r;
}

VesselRecord *World::find(std::string_view name) const {
  auto it = byName_.find(name);
  return it == byName_.end() ? nullptr : it->second;
}

VesselRecord *World::fromHandle(const void *handle) const {
  if (!handle || live_.find(handle) == live_.end()) return nullptr;
  return static_cast<VesselRecord *>(const_cast<void *>(handle));
}

VesselRecord *World::add(std::unique_ptr<VesselRecord> record) {
  VesselRecord *r = record.release();
  r->index = list_.size();
  list_.push_back(r);
  byName_.emplace(r->name, r);
  live_.insert(r);
  return r;
}

std::unique_ptr<VesselRecord> World::remove(VesselRecord *record) {
  if (!fromHandle(record)) return nullptr;
  size_t i = record->index;
  list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(i));
  for (size_t k = i; k < list_.size(); ++k) list_[k]->index = k;
  byName_.erase(record->name);
  live_.erase(record);
  return std::unique_ptr<VesselRecord>(record);
}

}  // namespace simhost
