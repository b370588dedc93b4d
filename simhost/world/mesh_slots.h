// A vessel's mesh slots by index. The first is kept in the record: a passive
// vessel has its class's one mesh, and a world of a hundred thousand of them
// then allocates nothing for meshes. A module's vessel that adds more has
// them all on the heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "OrbiterAPI.h"

namespace simhost {

struct MeshData;

struct MeshSlot {
  bool used = false;
  WORD visibility = MESHVIS_EXTERNAL;
  std::string_view name;           // kept by the world; empty when added by handle of unknown name
  const MeshData *mesh = nullptr;  // null when the file could not be loaded
  VECTOR3 offset{};
};

class MeshSlots {
public:
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  MeshSlot &operator[](size_t i) { return data()[i]; }
  const MeshSlot &operator[](size_t i) const { return data()[i]; }
  MeshSlot &back() { return data()[size_ - 1]; }
  MeshSlot *begin() { return data(); }
  MeshSlot *end() { return data() + size_; }
  const MeshSlot *begin() const { return data(); }
  const MeshSlot *end() const { return data() + size_; }
  void push_back(const MeshSlot &slot) {
    resize(size_ + 1);
    back() = slot;
  }
  void pop_back() { resize(size_ - 1); }
  void clear() { resize(0); }
  // Slots added are empty; slots dropped are emptied.
  void resize(size_t n);

private:
  MeshSlot *data() { return capacity_ ? heap_.get() : &first_; }
  const MeshSlot *data() const { return capacity_ ? heap_.get() : &first_; }

  MeshSlot first_;
  std::unique_ptr<MeshSlot[]> heap_;  // all the slots, once there were more than one
  std::uint32_t size_ = 0, capacity_ = 0;
};

inline void MeshSlots::resize(size_t n) {
  if (n > (capacity_ ? capacity_ : 1)) {
    const size_t capacity = n > 2 * size_t{capacity_} ? n : 2 * size_t{capacity_};
    auto grown = std::make_unique<MeshSlot[]>(capacity);
    for (size_t i = 0; i < size_; ++i) grown[i] = data()[i];
    first_ = MeshSlot();
    heap_ = std::move(grown);
    capacity_ = static_cast<std::uint32_t>(capacity);
  }
  for (size_t i = n; i < size_; ++i) data()[i] = MeshSlot();
  size_ = static_cast<std::uint32_t>(n);
}

}  // namespace simhost
