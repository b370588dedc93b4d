#include "world/name_table.h"

#include <new>

#include "world/text.h"
#include "world/vessel.h"

namespace simhost {

namespace {

size_t hashOf(std::string_view name) { return text::NoCaseHash{}(name); }

}  // namespace

VesselRecord *NameTable::find(std::string_view name) const {
  if (size_ == 0) return nullptr;
  const size_t mask = size_ - 1, hash = hashOf(name);
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot &s = slots_[i];
    if (!s.record) return nullptr;
    if (s.hash == hash && text::iequals(s.record->name, name)) return s.record;
  }
}

void NameTable::prefetch(std::string_view name) const {
  if (size_ == 0) return;
  __builtin_prefetch(&slots_[hashOf(name) & (size_ - 1)]);
}

void NameTable::insert(VesselRecord *record) {
  if ((count_ + 1) * 2 > size_) rebuild(size_ == 0 ? 64 : size_ * 2);
  const size_t mask = size_ - 1, hash = hashOf(record->name);
  size_t i = hash & mask;
  while (slots_[i].record) i = (i + 1) & mask;
  slots_[i] = Slot{hash, record};
  ++count_;
}

void NameTable::erase(const VesselRecord *record) {
  if (size_ == 0) return;
  const size_t mask = size_ - 1;
  size_t i = hashOf(record->name) & mask;
  while (slots_[i].record && slots_[i].record != record) i = (i + 1) & mask;
  if (!slots_[i].record) return;
  // Moves back the slots after it that would no longer be found past the
  // hole (linear probing without tombstones).
  for (size_t j = (i + 1) & mask; slots_[j].record; j = (j + 1) & mask) {
    const size_t home = slots_[j].hash & mask;
    const bool between = i <= j ? (i < home && home <= j) : (i < home || home <= j);
    if (!between) {
      slots_[i] = slots_[j];
      i = j;
    }
  }
  slots_[i] = Slot{};
  --count_;
}

void NameTable::reserve(size_t names) {
  size_t slots = size_ == 0 ? 64 : size_;
  while (names * 2 > slots) slots *= 2;
  if (slots != size_) rebuild(slots);
}

void NameTable::rebuild(size_t slots) {
  LargeBlock block(slots * sizeof(Slot));
  // Zeroed room is empty slots.
  auto *fresh = static_cast<Slot *>(block.data());
  if (!fresh) throw std::bad_alloc();
  const size_t mask = slots - 1;
  for (size_t k = 0; k < size_; ++k) {
    const Slot &s = slots_[k];
    if (!s.record) continue;
    size_t i = s.hash & mask;
    while (fresh[i].record) i = (i + 1) & mask;
    fresh[i] = s;
  }
  block_ = std::move(block);
  slots_ = fresh;
  size_ = slots;
}

}  // namespace simhost
