// Places the site map's labels where they cover neither each other nor the
// shapes on the map: each label goes to the first free spot of a ring of
// candidates around what it names, nearest first.
#pragma once

#include <vector>

namespace simhost::command {

// A box on the page, pixels, y down.
struct PageBox {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  double width() const { return x1 - x0; }
  double height() const { return y1 - y0; }
  bool overlaps(const PageBox &other) const {
    return x0 < other.x1 && other.x0 < x1 && y0 < other.y1 && other.y0 < y1;
  }
};

class LabelPlacer {
public:
  // Labels stay inside bounds.
  explicit LabelPlacer(const PageBox &bounds) : bounds_(bounds) {}
  // Something labels must not cover.
  void block(const PageBox &box) { taken_.push_back(box); }
  // A free place for a label of width x height beside target, never on
  // it, which is then taken; the nearest place right of target when none
  // is free.
  PageBox place(const PageBox &target, double width, double height);

private:
  PageBox bounds_;
  std::vector<PageBox> taken_;
  bool free(const PageBox &box) const;
};

}  // namespace simhost::command
