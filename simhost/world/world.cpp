#include "world/world.h"


namespace simhost {

World::~World() {
  for (VesselRecord *r : list_) pool_.release(r);
}

const CelestialBody *World::body(std::string_view name) const {
  for (const auto &b : bodies_)
    if (text::iequals(name, b->name)) return b.get();
  return nullptr;
}

const CelestialBody *World::bodyFromHandle(const void *handle) const {
  for (const auto &b : bodies_)
    if (handle == b.get()) return b.get();
  return nullptr;
}

const CelestialBody *World::addBody(std::unique_ptr<CelestialBody> body) {
  bodies_.push_back(std::move(body));
  return bodies_.back().get();
}

VesselRecord *World::find(std::string_view name) const {
  return byName_.find(name);
}

void World::prefetchName(std::string_view name) const { byName_.prefetch(name); }

std::string_view World::keepText(std::string_view text) {
  if (!lastText_.empty() && text == lastText_) return lastText_;
  auto it = texts_.find(text);
  if (it == texts_.end()) it = texts_.emplace(text).first;
  return lastText_ = *it;
}

OwnedVessel World::make() { return OwnedVessel(pool_.make(), VesselRelease{&pool_}); }

VesselRecord *World::add(OwnedVessel record) {
  VesselRecord *r = record.release();
  r->index = list_.size();
  list_.push_back(r);
  if (r->module) modules_.push_back(r);
  byName_.insert(r);
  pool_.setLive(r, true);
  return r;
}

OwnedVessel World::remove(VesselRecord *record) {
  if (!fromHandle(record)) return OwnedVessel(nullptr, VesselRelease{&pool_});
  size_t i = record->index;
  list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(i));
  for (size_t k = i; k < list_.size(); ++k) list_[k]->index = k;
  if (record->module) eraseFrom(modules_, record);
  if (record->listedFlying) eraseFrom(flying_, record);
  record->listedFlying = false;
  byName_.erase(record);
  pool_.setLive(record, false);
  return OwnedVessel(record, VesselRelease{&pool_});
}

void World::noteFlight(VesselRecord *record) {
  if (!fromHandle(record) || record->listedFlying) return;
  record->listedFlying = true;
  flying_.push_back(record);
}

void World::eraseFrom(std::vector<VesselRecord *> &list, VesselRecord *record) {
  for (auto it = list.end(); it != list.begin();) {
    --it;
    if (*it == record) {
      list.erase(it);
      return;
    }
  }
}

}  // namespace simhost
