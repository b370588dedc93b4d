#include "vessel_pool.h"

#include <sys/mman.h>

#include <new>

namespace simhost {

namespace {

// Room for four million vessels, far beyond any world the stand-in runs.
constexpr size_t kCapacity = size_t{1} << 22;
constexpr size_t kBlock = 1024;  // places made usable at a time

size_t pageRound(size_t bytes) {
  const size_t page = 4096;
  return (bytes + page - 1) / page * page;
}

}  // namespace

VesselPool::~VesselPool() {
  for (size_t i = 0; i < used_; ++i)
    if (live_[i] != 2) reinterpret_cast<VesselRecord *>(base_ + i * sizeof(VesselRecord))->~VesselRecord();
  if (base_) munmap(base_, pageRound(capacity_ * sizeof(VesselRecord)));
}

bool VesselPool::reserve() {
  void *p = mmap(nullptr, pageRound(kCapacity * sizeof(VesselRecord)), PROT_NONE,
                 MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p == MAP_FAILED) return false;
  base_ = static_cast<unsigned char *>(p);
  capacity_ = kCapacity;
  return true;
}

bool VesselPool::grow() {
  if (!base_ && !reserve()) return false;
  if (committed_ == capacity_) return false;
  const size_t places = committed_ + kBlock <= capacity_ ? committed_ + kBlock : capacity_;
  const size_t from = committed_ * sizeof(VesselRecord) / 4096 * 4096;
  const size_t to = pageRound(places * sizeof(VesselRecord));
  if (mprotect(base_ + from, to - from, PROT_READ | PROT_WRITE) != 0) return false;
  committed_ = places;
  live_.resize(committed_, 2);
  return true;
}

VesselRecord *VesselPool::make() {
  size_t place;
  if (!free_.empty() && (used_ == committed_ || free_.size() > kBlock)) {
    place = free_.front();
    free_.pop_front();
  } else {
    if (used_ == committed_ && !grow()) return nullptr;
    place = used_++;
  }
  live_[place] = 0;
  return new (base_ + place * sizeof(VesselRecord)) VesselRecord();
}

void VesselPool::release(VesselRecord *record) {
  if (!record) return;
  const size_t place = placeOf(record);
  record->~VesselRecord();
  live_[place] = 2;  // free: no record here
  free_.push_back(place);
}

}  // namespace simhost
