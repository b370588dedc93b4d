#include "play/map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <numbers>

namespace simhost::command {

namespace {

// Scales a reader can count in: metres per column.
constexpr double kScales[] = {0.25, 0.5, 1, 2, 5, 10, 20, 50};
// The map shows at least this far from the focus vessel's centre, and
// draws no further out than this to find what lies about.
constexpr double kLeastExtent = 11;
constexpr double kMostExtent = 60;

constexpr double kHalfwaySlack = 1e-6;

// What a cell holds, lowest first: a later layer may draw over an earlier.
enum Layer { Ground, Circle, Outline, Label, Mark };

class Canvas {
public:
  Canvas(int columns, int rows, double metresPerColumn)
      : columns(columns), rowCount(rows), scale(metresPerColumn), cells(rows, std::string(columns, ' ')),
        layers(rows, std::vector<Layer>(columns, Ground)) {}

  int column(double x) const { return columns / 2 + cell(x / scale); }
  int row(double z) const { return rowCount / 2 - cell(z / (2 * scale)); }
  bool inside(int c, int r) const { return c >= 0 && c < columns && r >= 0 && r < rowCount; }

  void put(int c, int r, char glyph, Layer layer) {
    if (!inside(c, r) || layers[r][c] > layer) return;
    cells[r][c] = glyph;
    layers[r][c] = layer;
  }

  // A label beside its mark where it covers no other mark or label: to its
  // right, to its left, or else centred below or above it.
  void label(int c, int r, const std::string &text) {
    const int width = static_cast<int>(text.size());
    const int places[][2] = {{c + 1, r}, {c - width, r}, {c - width / 2, r + 1}, {c - width / 2, r - 1}};
    for (const auto &place : places) {
      if (fits(place[0], place[1], width)) {
        for (int i = 0; i < width; ++i) put(place[0] + i, place[1], text[i], Label);
        return;
      }
    }
  }

  void circle(double x, double z, double radius, char glyph) {
    // Enough points that the circle's cells touch at any scale.
    const int points = std::max(16, static_cast<int>(8 * radius / scale));
    for (int i = 0; i < points; ++i) {
      const double angle = 2 * std::numbers::pi * i / points;
      put(column(x + radius * std::cos(angle)), row(z + radius * std::sin(angle)), glyph, Circle);
    }
  }

  void box(const SiteBox &b, char glyph) {
    const int left = column(b.xMin), right = column(b.xMax), top = row(b.zMax), bottom = row(b.zMin);
    for (int c = left; c <= right; ++c) {
      put(c, top, glyph, Outline);
      put(c, bottom, glyph, Outline);
    }
    for (int r = top; r <= bottom; ++r) {
      put(left, r, glyph, Outline);
      put(right, r, glyph, Outline);
    }
  }

  std::vector<std::string> take() { return std::move(cells); }

private:
  // Points half way between two cells are common (1.5 m at 1 m a row),
  // and the frame's arithmetic leaves them a hair to either side: they go
  // up or right, alike for every point.
  static int cell(double units) { return static_cast<int>(std::floor(units + 0.5 + kHalfwaySlack)); }

  bool fits(int start, int r, int width) const {
    if (start < 0 || start + width > columns || r < 0 || r >= rowCount) return false;
    for (int i = 0; i < width; ++i)
      if (layers[r][start + i] >= Label) return false;
    return true;
  }

  int columns, rowCount;
  double scale;
  std::vector<std::string> cells;
  std::vector<std::vector<Layer>> layers;
};

// How far out the map must reach to show what lies about.
double extentOf(const SiteShapes &site) {
  double extent = kLeastExtent;
  auto cover = [&extent](double reach) {
    if (reach <= kMostExtent) extent = std::max(extent, reach);
  };
  for (const SiteMark &mark : site.marks) cover(std::max(std::fabs(mark.x), std::fabs(mark.z)) + 1);
  for (const SiteCircle &circle : site.circles)
    cover(std::max(std::fabs(circle.x), std::fabs(circle.z)) + circle.radius + 0.5);
  for (const SiteBox &box : site.boxes)
    cover(std::max({std::fabs(box.xMin), std::fabs(box.xMax), std::fabs(box.zMin), std::fabs(box.zMax)}) + 0.5);
  return extent;
}

double scaleFor(double extent, int columns, int rows) {
  for (double scale : kScales) {
    if (scale * (columns / 2) >= extent && 2 * scale * (rows / 2) >= extent) return scale;
  }
  return kScales[std::size(kScales) - 1];
}

char markGlyph(SiteMark::Kind kind) {
  switch (kind) {
    case SiteMark::Focus:
      return '+';
    case SiteMark::SetDown:
      return '?';  // replaced by its number
    case SiteMark::Cargo:
      return '*';
    case SiteMark::Vessel:
      return '^';
    case SiteMark::Crew:
      return '@';
  }
  return '?';
}

// Names no vessel, so that it fits 120 columns whatever the focus is called:
// the status line above names the focus vessel.
std::string legendFor() {
  return "up = forward  # footprint  = airlock  . cargo reach  : action area (o off)  "
         "1-6 set-down  * cargo  @ crew  ^ vessel";
}

}  // namespace

SiteMap drawSiteMap(const SiteShapes &site, int columns, int rows) {
  SiteMap map;
  columns = std::max(columns, 1);
  rows = std::max(rows, 1);
  map.metresPerColumn = scaleFor(extentOf(site), columns, rows);
  map.legend = legendFor();
  map.columnsNeeded = std::min(columns, 2 * static_cast<int>(std::ceil(extentOf(site) / map.metresPerColumn)) + 1);
  Canvas canvas(columns, rows, map.metresPerColumn);
  for (const SiteCircle &circle : site.circles)
    canvas.circle(circle.x, circle.z, circle.radius, circle.kind == SiteCircle::Reach ? '.' : circle.kind == SiteCircle::ActionArea ? ':' : 'o');
  // Airlocks over footprints: they lie on the vessels.
  for (const SiteBox &box : site.boxes) {
    if (box.kind == SiteBox::Footprint) canvas.box(box, '#');
  }
  for (const SiteBox &box : site.boxes) {
    if (box.kind == SiteBox::Airlock) canvas.box(box, '=');
  }
  for (const SiteMark &mark : site.marks) {
    const char glyph = mark.kind == SiteMark::SetDown ? mark.label[0] : markGlyph(mark.kind);
    canvas.put(canvas.column(mark.x), canvas.row(mark.z), glyph, Mark);
  }
  // Labels after every mark, so that none hides one.
  for (const SiteMark &mark : site.marks) {
    if (mark.kind == SiteMark::Cargo || mark.kind == SiteMark::Vessel || mark.kind == SiteMark::Crew)
      canvas.label(canvas.column(mark.x), canvas.row(mark.z), mark.label);
  }
  for (const SiteCircle &circle : site.circles) {
    if (circle.kind != SiteCircle::Reach && !circle.label.empty())
      canvas.label(canvas.column(circle.x), canvas.row(circle.z), circle.label);
  }
  map.rows = canvas.take();
  return map;
}

}  // namespace simhost::command
