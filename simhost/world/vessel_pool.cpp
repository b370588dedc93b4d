#include "world/vessel_pool.h"

#include <new>

#include "platform/platform.h"

namespace simhost {

namespace {

// Room for four million vessels, far beyond any world the stand-in runs; a
// 32-bit process, whose whole address space is 4 GiB, reserves 256 MiB.
constexpr size_t kCapacity =
    sizeof(void *) >= 8 ? size_t{1} << 22 : (size_t{256} << 20) / sizeof(VesselRecord);
// Made usable a huge page at a time once the world is big: a scan over it
// then needs few address translations. A small world (a test's, a fuzz
// input's) starts with a few pages and doubles up to that.
constexpr size_t kBlockBytes = size_t{2} << 20;
constexpr size_t kFirstBytes = size_t{64} << 10;
constexpr size_t kBlock = 1024;  // freed places kept back before they are taken again

size_t roundUp(size_t bytes, size_t unit) { return (bytes + unit - 1) / unit * unit; }

}  // namespace

VesselPool::~VesselPool() {
  for (size_t i = 0; i < used_; ++i)
    if (live_[i] != 2) std::launder(reinterpret_cast<VesselRecord *>(base_ + i * sizeof(VesselRecord)))->~VesselRecord();
  if (mapping_) platform::releaseAddressSpace(mapping_, mappingBytes_);
}

bool VesselPool::reserve() {
  mappingBytes_ = roundUp(kCapacity * sizeof(VesselRecord), kBlockBytes) + kBlockBytes;
  void *p = platform::reserveAddressSpace(mappingBytes_);
  if (!p) return false;
  mapping_ = p;
  const auto start = reinterpret_cast<std::uintptr_t>(p);
  base_ = static_cast<unsigned char *>(p) + (roundUp(start, kBlockBytes) - start);
  capacity_ = kCapacity;
  platform::adviseLargePages(base_, roundUp(kCapacity * sizeof(VesselRecord), kBlockBytes));
  return true;
}

bool VesselPool::grow() {
  if (!base_ && !reserve()) return false;
  if (committed_ == capacity_) return false;
  size_t step = committedBytes_ < kFirstBytes ? kFirstBytes : committedBytes_;
  if (step > kBlockBytes) step = kBlockBytes;
  if (!platform::commitAddressSpace(base_ + committedBytes_, step)) return false;
  committedBytes_ += step;
  committed_ = committedBytes_ / sizeof(VesselRecord);
  if (committed_ > capacity_) committed_ = capacity_;
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
