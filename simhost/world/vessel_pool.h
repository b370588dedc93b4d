// The storage of a world's vessel records: one reserved range of addresses
// in which each record keeps its place for the life of the world, and a
// live mark per place. A handle is then checked in constant time and
// without hashing: inside the range, at the start of a place, and marked
// live. A place freed by a deleted vessel is taken again only after every
// other freed place, so a stale handle stays stale for long.
//
// The range is reserved once (addresses only) and made usable as the world
// grows: a few pages at first, a huge page at a time once it is big.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "world/vessel.h"

namespace simhost {

class VesselPool {
public:
  VesselPool() = default;
  ~VesselPool();
  VesselPool(const VesselPool &) = delete;
  VesselPool &operator=(const VesselPool &) = delete;

  // A default record in a free place, not yet marked live; null when the
  // pool is full.
  VesselRecord *make();
  // Destroys the record and frees its place.
  void release(VesselRecord *record);
  void setLive(VesselRecord *record, bool live) { live_[placeOf(record)] = live ? 1 : 0; }
  // The live record at that address; null for any other address.
  VesselRecord *live(const void *address) const {
    const auto a = reinterpret_cast<std::uintptr_t>(address), b = reinterpret_cast<std::uintptr_t>(base_);
    if (a < b || a >= b + used_ * sizeof(VesselRecord)) return nullptr;
    const std::uintptr_t offset = a - b;
    if (offset % sizeof(VesselRecord) != 0 || live_[offset / sizeof(VesselRecord)] != 1) return nullptr;
    return static_cast<VesselRecord *>(const_cast<void *>(address));
  }
  // Bytes of memory made usable for places.
  size_t bytes() const { return committedBytes_; }

private:
  size_t placeOf(const VesselRecord *record) const {
    return static_cast<size_t>(reinterpret_cast<const unsigned char *>(record) - base_) / sizeof(VesselRecord);
  }
  bool reserve();
  bool grow();

  void *mapping_ = nullptr;  // the reserved range, as mapped
  size_t mappingBytes_ = 0;
  unsigned char *base_ = nullptr;  // its first huge page boundary
  size_t capacity_ = 0;            // places reserved
  size_t committedBytes_ = 0;
  size_t committed_ = 0;  // places usable
  size_t used_ = 0;       // places ever handed out
  std::vector<unsigned char> live_;  // per place: 1 live, 0 made but not live, 2 free
  std::deque<size_t> free_;
};

}  // namespace simhost
