// The world's table of vessels by name, ignoring case: open addressing in
// one flat array of (hash, record) slots, so that a lookup reads one or two
// cache lines and nothing is allocated per vessel; a big table lies on large
// pages (large_block.h). The key is the record's
// own name, which does not change while the record is in the table.
#pragma once

#include <cstddef>
#include <string_view>

#include "world/large_block.h"

namespace simhost {

struct VesselRecord;

class NameTable {
public:
  VesselRecord *find(std::string_view name) const;
  // Starts fetching the slot where the name is sought into the cache: a
  // big table is read at random places, each a wait on memory, and a load
  // or teardown that knows the next name can wait for it while it works.
  void prefetch(std::string_view name) const;
  // The record's name must not be in the table yet.
  void insert(VesselRecord *record);
  void erase(const VesselRecord *record);
  // Room for so many names without growing.
  void reserve(size_t names);

private:
  struct Slot {
    size_t hash = 0;
    VesselRecord *record = nullptr;  // null: empty
  };
  void rebuild(size_t slots);

  LargeBlock block_;
  Slot *slots_ = nullptr;  // in block_: a power of two of them, at most half full
  size_t size_ = 0;
  size_t count_ = 0;
};

}  // namespace simhost
