// Attachment points, and the list of one side of a vessel (to its parent or
// for its children) in the order they were made. A point's address is its
// ATTACHMENTHANDLE and stays the same while the point exists. The list owns
// its points.
//
// With InlineFirst, the first point lies inside the list itself (in the
// vessel's record): most vessels have one point towards a parent, and a scan
// for free cargo reads it for every vessel of the world.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

#include "OrbiterAPI.h"

namespace simhost {

struct VesselRecord;

// One attachment point. What a scan for free cargo reads (the peer and the
// id) shares the first cache line.
struct alignas(64) Attachment {
  VesselRecord *owner = nullptr;
  Attachment *peer = nullptr;  // the point of the other vessel it is joined to
  bool toParent = false;
  bool loose = false;
  char id[33] = {};  // the whole id, up to 32 characters
  VECTOR3 pos{}, dir{}, rot{};
};

template <bool InlineFirst>
class AttachmentList {
public:
  AttachmentList() = default;
  ~AttachmentList() {
    release(first_);
    for (Attachment *a : rest_) delete a;
  }
  AttachmentList(const AttachmentList &) = delete;
  AttachmentList &operator=(const AttachmentList &) = delete;

  size_t size() const { return first_ ? 1 + rest_.size() : 0; }
  bool empty() const { return first_ == nullptr; }
  // The point at index i (below size()).
  Attachment *operator[](size_t i) const { return i == 0 ? first_ : rest_[i - 1]; }
  // The point at index i, or null beyond the end.
  Attachment *at(size_t i) const { return i < size() ? (*this)[i] : nullptr; }
  // The index of the point, or -1 when it is not in the list.
  long indexOf(const Attachment *point) const {
    if (!point) return -1;
    if (point == first_) return 0;
    for (size_t i = 0; i < rest_.size(); ++i)
      if (rest_[i] == point) return static_cast<long>(i + 1);
    return -1;
  }
  // A new default point at the end.
  Attachment *add() {
    if (first_) {
      rest_.push_back(new Attachment());
      return rest_.back();
    }
    first_ = InlineFirst && !inlineUsed_ ? placeInline() : new Attachment();
    return first_;
  }
  // Deletes the point; the points after it move up. False when it is not
  // in the list.
  bool erase(Attachment *point) {
    const long i = indexOf(point);
    if (i < 0) return false;
    if (i == 0) {
      first_ = rest_.empty() ? nullptr : rest_.front();
      if (!rest_.empty()) rest_.erase(rest_.begin());
    } else {
      rest_.erase(rest_.begin() + (i - 1));
    }
    release(point);
    return true;
  }

private:
  struct Nothing {};
  struct alignas(Attachment) Storage {
    unsigned char bytes[sizeof(Attachment)];
  };

  Attachment *placeInline() {
    if constexpr (InlineFirst) {
      inlineUsed_ = true;
      return new (storage_.bytes) Attachment();
    } else {
      return new Attachment();
    }
  }
  bool isInline(const Attachment *point) const {
    if constexpr (InlineFirst)
      return point == reinterpret_cast<const Attachment *>(storage_.bytes);
    else
      return false;
  }
  void release(Attachment *point) {
    if (!point) return;
    if (isInline(point)) {
      point->~Attachment();
      inlineUsed_ = false;
    } else {
      delete point;
    }
  }

  Attachment *first_ = nullptr;
  bool inlineUsed_ = false;
  std::vector<Attachment *> rest_;
  [[no_unique_address]] std::conditional_t<InlineFirst, Storage, Nothing> storage_;
};

}  // namespace simhost
