// Attachment points, and the list of one side of a vessel (to its parent or
// for its children) in the order they were made. A point's address is its
// ATTACHMENTHANDLE and stays the same while the point exists. The list owns
// its points.
//
// A list may be given a place for its first point (in the vessel's record,
// for the side towards a parent): most vessels have one such point, and a
// scan for free cargo reads it for every vessel of the world.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "OrbiterAPI.h"

namespace simhost {

struct VesselRecord;

// One attachment point. What a scan for free cargo reads (the peer and the
// id) comes last and fills the second cache line.
struct alignas(64) Attachment {
  VECTOR3 pos{}, dir{}, rot{};
  VesselRecord *owner = nullptr;
  Attachment *peer = nullptr;  // the point of the other vessel it is joined to
  bool toParent = false;
  bool loose = false;
  char id[33] = {};  // the whole id, up to 32 characters
};

// Room for one attachment point.
struct alignas(Attachment) AttachmentPlace {
  unsigned char bytes[sizeof(Attachment)];
};

class AttachmentList {
public:
  // place: where the first point is made while it is free; null for none.
  explicit AttachmentList(AttachmentPlace *place = nullptr) : place_(place) {}
  ~AttachmentList();
  AttachmentList(const AttachmentList &) = delete;
  AttachmentList &operator=(const AttachmentList &) = delete;

  size_t size() const { return first_ ? 1 + restSize() : 0; }
  bool empty() const { return first_ == nullptr; }
  // The point at index i (below size()).
  Attachment *operator[](size_t i) const { return i == 0 ? first_ : (*rest_)[i - 1]; }
  // The point at index i, or null beyond the end.
  Attachment *at(size_t i) const { return i < size() ? (*this)[i] : nullptr; }
  // The index of the point, or -1 when it is not in the list.
  long indexOf(const Attachment *point) const {
    if (!point) return -1;
    return point == first_ ? 0 : indexAfterFirst(point);
  }
  // A new default point at the end.
  Attachment *add();
  // Deletes the point; the points after it move up. False when it is not
  // in the list.
  bool erase(Attachment *point);

private:
  long indexAfterFirst(const Attachment *point) const;
  size_t restSize() const { return rest_ ? rest_->size() : 0; }
  Attachment *make();
  void release(Attachment *point);

  // Read by scans: first_ and rest_ together. The points after the first
  // are kept apart, made with the second: most vessels have one point a
  // side or none, and a big world keeps a hundred thousand lists.
  Attachment *first_ = nullptr;
  std::unique_ptr<std::vector<Attachment *>> rest_;
  AttachmentPlace *place_;
  bool placeUsed_ = false;
};

}  // namespace simhost
