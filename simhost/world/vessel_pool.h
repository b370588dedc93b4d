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

// The number that an odd number times it is 1, in the arithmetic of the
// machine's word. Newton's iteration doubles the bits of it that are right,
// and an odd number is its own inverse to three bits.
constexpr std::uintptr_t inverseModWord(std::uintptr_t odd) {
  std::uintptr_t x = odd;
  for (int i = 0; i < 5; ++i) x *= 2 - odd * x;
  return x;
}

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
  // The live record at that address; null for any other address. Every
  // call from a module checks its handle here, so it costs one compare for
  // the range and one multiply for the place: the record's size is a power
  // of two times an odd factor, and an offset times that factor's inverse
  // is the place when the offset is a whole number of records, and a number
  // far beyond the places otherwise.
  VesselRecord *live(const void *address) const {
    const std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(address) - reinterpret_cast<std::uintptr_t>(base_);
    if (offset >= used_ * sizeof(VesselRecord) || offset % kSizeTwos != 0) return nullptr;
    const std::uintptr_t place = offset / kSizeTwos * kOddInverse;
    if (place >= used_ || live_[place] != 1) return nullptr;
    return static_cast<VesselRecord *>(const_cast<void *>(address));
  }
  // Bytes of memory made usable for places.
  size_t bytes() const { return committedBytes_; }

private:
  static constexpr std::uintptr_t kSizeTwos = sizeof(VesselRecord) & (~sizeof(VesselRecord) + 1);
  static constexpr std::uintptr_t kSizeOdd = sizeof(VesselRecord) / kSizeTwos;
  static constexpr std::uintptr_t kOddInverse = inverseModWord(kSizeOdd);
  static_assert(kSizeOdd * kOddInverse == 1);

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
