// Zeroed room for a big table that is read at random places (the names of a
// hundred thousand vessels): on large pages where the platform has them, so
// that a lookup needs few address translations. Small tables stay on the
// heap, where a world of a test's few vessels costs no mapping.
#pragma once

#include <cstddef>
#include <memory>

namespace simhost {

class LargeBlock {
public:
  // Below this, the heap.
  static constexpr size_t kLargeBytes = size_t{2} << 20;

  LargeBlock() = default;
  explicit LargeBlock(size_t bytes);
  ~LargeBlock();
  LargeBlock(LargeBlock &&other) noexcept;
  LargeBlock &operator=(LargeBlock &&other) noexcept;
  LargeBlock(const LargeBlock &) = delete;
  LargeBlock &operator=(const LargeBlock &) = delete;

  // Null when no room could be had.
  void *data() const { return start_; }

private:
  void release();

  std::unique_ptr<unsigned char[]> heap_;
  void *mapping_ = nullptr;  // the reserved range, as mapped
  size_t mappingBytes_ = 0;
  void *start_ = nullptr;
};

}  // namespace simhost
