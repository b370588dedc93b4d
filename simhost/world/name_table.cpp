#include "world/name_table.h"

#include "world/text.h"
#include "world/vessel.h"

namespace simhost {

namespace {

size_t hashOf(std::string_view name) { return text::NoCaseHash{}(name); }

}  // namespace

VesselRecord *NameTable::find(std::string_view name) const {
  if (slots_.empty()) return nullptr;
  const size_t mask = slots_.size() - 1, hash = hashOf(name);
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot &s = slots_[i];
    if (!s.record) return nullptr;
    if (s.hash == hash && text::iequals(s.record->name, name)) return s.record;
  }
}

void NameTable::insert(VesselRecord *record) {
  if ((count_ + 1) * 2 > slots_.size()) rebuild(slots_.empty() ? 64 : slots_.size() * 2);
  const size_t mask = slots_.size() - 1, hash = hashOf(record->name);
  size_t i = hash & mask;
  while (slots_[i].record) i = (i + 1) & mask;
  slots_[i] = Slot{hash, record};
  ++count_;
}

void NameTable::erase(const VesselRecord *record) {
  if (slots_.empty()) return;
  const size_t mask = slots_.size() - 1;
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
  size_t slots = slots_.empty() ? 64 : slots_.size();
  while (names * 2 > slots) slots *= 2;
  if (slots != slots_.size()) rebuild(slots);
}

void NameTable::rebuild(size_t slots) {
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.assign(slots, Slot{});
  const size_t mask = slots - 1;
  for (const Slot &s : old) {
    if (!s.record) continue;
    size_t i = s.hash & mask;
    while (slots_[i].record) i = (i + 1) & mask;
    slots_[i] = s;
  }
}

}  // namespace simhost
