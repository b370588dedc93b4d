#include "pictures/map_labels.h"

namespace simhost::command {

namespace {

// How far from its target a label may go, nearest first, in pixels.
constexpr double kDistances[] = {4, 10, 20, 34, 50, 70, 95, 125, 160, 200, 250, 300};

// The candidate spots at one distance: right, left, above, below, then the
// four corners.
std::vector<PageBox> ring(const PageBox &t, double w, double h, double d) {
  const double midX = (t.x0 + t.x1) / 2 - w / 2, midY = (t.y0 + t.y1) / 2 - h / 2;
  const double right = t.x1 + d, left = t.x0 - d - w, above = t.y0 - d - h, below = t.y1 + d;
  std::vector<PageBox> spots;
  for (auto [x, y] : {std::pair{right, midY}, {left, midY}, {midX, above}, {midX, below}, {right, above},
                      {left, above}, {right, below}, {left, below}})
    spots.push_back({x, y, x + w, y + h});
  return spots;
}

}  // namespace

bool LabelPlacer::free(const PageBox &box) const {
  if (box.x0 < bounds_.x0 || box.y0 < bounds_.y0 || box.x1 > bounds_.x1 || box.y1 > bounds_.y1) return false;
  for (const PageBox &taken : taken_)
    if (box.overlaps(taken)) return false;
  return true;
}

PageBox LabelPlacer::place(const PageBox &target, double width, double height) {
  for (double distance : kDistances) {
    for (const PageBox &spot : ring(target, width, height, distance)) {
      if (free(spot) && !spot.overlaps(target)) {
        taken_.push_back(spot);
        return spot;
      }
    }
  }
  PageBox fallback = ring(target, width, height, kDistances[0]).front();
  taken_.push_back(fallback);
  return fallback;
}

}  // namespace simhost::command
