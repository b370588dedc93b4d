#include "world/attachment_list.h"

#include <new>

namespace simhost {

AttachmentList::~AttachmentList() {
  release(first_);
  if (rest_)
    for (Attachment *a : *rest_) release(a);
}

long AttachmentList::indexAfterFirst(const Attachment *point) const {
  for (size_t i = 0; i < restSize(); ++i)
    if ((*rest_)[i] == point) return static_cast<long>(i + 1);
  return -1;
}

Attachment *AttachmentList::make() {
  if (place_ && !placeUsed_) {
    placeUsed_ = true;
    return new (place_->bytes) Attachment();
  }
  return new Attachment();
}

void AttachmentList::release(Attachment *point) {
  if (!point) return;
  if (place_ && point == reinterpret_cast<Attachment *>(place_->bytes)) {
    point->~Attachment();
    placeUsed_ = false;
  } else {
    delete point;
  }
}

Attachment *AttachmentList::add() {
  Attachment *point = make();
  if (!first_)
    first_ = point;
  else {
    if (!rest_) rest_ = std::make_unique<std::vector<Attachment *>>();
    rest_->push_back(point);
  }
  return point;
}

bool AttachmentList::erase(Attachment *point) {
  const long i = indexOf(point);
  if (i < 0) return false;
  if (i == 0) {
    first_ = restSize() == 0 ? nullptr : rest_->front();
    if (restSize() > 0) rest_->erase(rest_->begin());
  } else {
    rest_->erase(rest_->begin() + (i - 1));
  }
  release(point);
  return true;
}

}  // namespace simhost
