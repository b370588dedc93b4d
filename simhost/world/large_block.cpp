#include "world/large_block.h"

#include <cstdint>
#include <utility>

#include "platform/platform.h"

namespace simhost {

LargeBlock::LargeBlock(size_t bytes) {
  if (bytes < kLargeBytes) {
    heap_.reset(new (std::nothrow) unsigned char[bytes == 0 ? 1 : bytes]());
    start_ = heap_.get();
    return;
  }
  // One large page more than asked, so that the block can start on a
  // large page boundary.
  const size_t usable = (bytes + kLargeBytes - 1) / kLargeBytes * kLargeBytes;
  void *p = platform::reserveAddressSpace(usable + kLargeBytes);
  if (!p) return;
  mapping_ = p;
  mappingBytes_ = usable + kLargeBytes;
  const auto at = reinterpret_cast<std::uintptr_t>(p);
  void *aligned = static_cast<unsigned char *>(p) + ((kLargeBytes - at % kLargeBytes) % kLargeBytes);
  if (!platform::commitAddressSpace(aligned, usable)) {
    release();
    return;
  }
  platform::adviseLargePages(aligned, usable);
  start_ = aligned;
}

LargeBlock::~LargeBlock() { release(); }

LargeBlock::LargeBlock(LargeBlock &&other) noexcept { *this = std::move(other); }

LargeBlock &LargeBlock::operator=(LargeBlock &&other) noexcept {
  if (this == &other) return *this;
  release();
  heap_ = std::move(other.heap_);
  mapping_ = std::exchange(other.mapping_, nullptr);
  mappingBytes_ = std::exchange(other.mappingBytes_, 0);
  start_ = std::exchange(other.start_, nullptr);
  return *this;
}

void LargeBlock::release() {
  if (mapping_) platform::releaseAddressSpace(mapping_, mappingBytes_);
  mapping_ = nullptr;
  mappingBytes_ = 0;
  heap_.reset();
  start_ = nullptr;
}

}  // namespace simhost
