#include "pictures/site_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "files/mesh.h"
#include "pictures/map_labels.h"
#include "pictures/map_legend.h"
#include "pictures/svg.h"
#include "shared/numbers.h"
#include "shared/session.h"
#include "world/geometry.h"

namespace simhost::command {

namespace {

using svg::num;

// The page: a title and the HUD across the top, the map below on the left,
// the legend on its right.
constexpr double kPageWidth = 1200;
constexpr double kMargin = 20;
constexpr double kMapSize = 800;
constexpr double kLegendX = kMargin + kMapSize + 24;
// Room around what the map shows, in metres; and the smallest site shown.
constexpr double kPadMetres = 2.5;
constexpr double kMinimumSpan = 16;
constexpr double kSetDownRadius = 8;  // px
constexpr double kCharWidth = 0.58;   // of the font size, for a sans-serif text
constexpr double kWideFootprint = 150 * 150;  // px²


struct Point {
  double x = 0, z = 0;  // metres, the focus vessel's frame
};

// A footprint part: one mesh group's extents, turned as the vessel stands.
struct Patch {
  std::vector<Point> corners;
  double top = 0;  // the group's highest point, for drawing order
  std::string fill;
  bool aboard = false;
};

std::string colour(const MeshColour &c) {
  char text[16];
  auto byte = [](float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
  std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(c.r), byte(c.g), byte(c.b));
  return text;
}

Point onGround(const Simulation::VesselView &view, const VECTOR3 &local) {
  const VECTOR3 &p = view.pos;
  const MATRIX3 &r = view.rot;
  return {p.x + r.m11 * local.x + r.m12 * local.y + r.m13 * local.z,
          p.z + r.m31 * local.x + r.m32 * local.y + r.m33 * local.z};
}

// The vessel's visible meshes, group by group, as patches of the ground plan.
std::vector<Patch> patchesOf(const SiteVessel &vessel) {
  std::vector<Patch> patches;
  for (const auto &mesh : vessel.view.meshes) {
    if (mesh.visibility == 0 || mesh.mesh == nullptr) continue;
    for (const MeshGroup &group : mesh.mesh->groups) {
      VECTOR3 lo, hi;
      if (!groupBounds(mesh, group, lo, hi)) continue;
      Patch patch;
      for (auto [x, z] : {std::pair{lo.x, lo.z}, {hi.x, lo.z}, {hi.x, hi.z}, {lo.x, hi.z}})
        patch.corners.push_back(onGround(vessel.view, _V(x, mesh.offset.y, z)));
      patch.top = vessel.view.pos.y + hi.y;
      const int material = group.material;
      patch.fill = material > 0 && material <= static_cast<int>(mesh.mesh->diffuse.size())
                       ? colour(mesh.mesh->diffuse[static_cast<size_t>(material - 1)])
                       : "#9a9a9a";
      patch.aboard = isCargoAboard(vessel, mesh);
      patches.push_back(patch);
    }
  }
  return patches;
}

std::string massText(double kg) { return fixed(kg, 0) + " kg"; }

// A "nice" length for the scale bar: 1, 2 or 5 times a power of ten.
double niceLength(double metres) {
  const double power = std::pow(10.0, std::floor(std::log10(metres)));
  for (double step : {5.0, 2.0, 1.0})
    if (step * power <= metres) return step * power;
  return power;
}

class MapWriter {
public:
  explicit MapWriter(const SiteMoment &moment) : m(moment), placer({0, 0, 0, 0}) {}

  std::string write() {
    layOutPage();
    fitSite();
    std::string body;
    body += mapTitleAndHud(m, kPageWidth, kMargin);
    body += svg::open("g", {{"id", "map"}});
    body += background();
    body += footprints();
    body += circles();
    body += airlocks();
    body += markers();
    body += labels();
    body += scaleBar();
    body += northArrow();
    body += svg::element("rect", {{"x", num(mapX)}, {"y", num(mapY)}, {"width", num(kMapSize)},
                                  {"height", num(kMapSize)}, {"fill", "none"}, {"stroke", "#555"}});
    body += "</g>\n";
    body += mapLegend(m, kLegendX, mapY);
    std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    head += svg::open("svg", {{"xmlns", "http://www.w3.org/2000/svg"},
                              {"width", num(kPageWidth)},
                              {"height", num(pageHeight)},
                              {"viewBox", "0 0 " + num(kPageWidth) + " " + num(pageHeight)},
                              {"font-family", kMapFont}});
    head += svg::element("title", {}, "Site around " + m.focus + " at " + timeText(m.simTime));
    head += svg::element("rect", {{"width", "100%"}, {"height", "100%"}, {"fill", "#ffffff"}});
    return head + body + "</svg>\n";
  }

private:
  const SiteMoment &m;
  LabelPlacer placer;
  double mapX = kMargin, mapY = 0, pageHeight = 0;
  double midX = 0, midZ = 0, scale = 1;  // px per metre
  // Labels wait until every shape has blocked its place.
  struct Label {
    PageBox target;
    std::vector<std::string> lines;  // the first one bold
    std::string colour;
  };
  std::vector<Label> pending;

  double px(const Point &p) const { return mapX + kMapSize / 2 + (p.x - midX) * scale; }
  double py(const Point &p) const { return mapY + kMapSize / 2 - (p.z - midZ) * scale; }

  void layOutPage() {
    mapY = mapTitleAndHudHeight(m) + 16;
    pageHeight = mapY + kMapSize + kMargin;
    placer = LabelPlacer({mapX + 4, mapY + 4, mapX + kMapSize - 4, mapY + kMapSize - 4});
    // The north arrow's corner and the scale bar's.
    placer.block({mapX + kMapSize - 90, mapY, mapX + kMapSize, mapY + 100});
    placer.block({mapX, mapY + kMapSize - 60, mapX + kMapSize / 4 + 50, mapY + kMapSize});
  }

  // Everything the map shows, in metres; its centre and the scale that
  // fits it into the map.
  void fitSite() {
    double x0 = 0, x1 = 0, z0 = 0, z1 = 0;
    auto cover = [&](double x, double z, double r) {
      x0 = std::min(x0, x - r), x1 = std::max(x1, x + r), z0 = std::min(z0, z - r), z1 = std::max(z1, z + r);
    };
    for (const SiteVessel &v : m.vessels) {
      for (const Patch &patch : patchesOf(v))
        for (const Point &p : patch.corners) cover(p.x, p.z, 0);
      cover(v.view.pos.x, v.view.pos.z, 0);
      if (v.description.cargoReach > 0) cover(v.view.pos.x, v.view.pos.z, v.description.cargoReach);
      for (const auto &area : v.areas) {
        Point c = onGround(v.view, area.centre);
        cover(c.x, c.z, area.radius);
      }
      for (const VECTOR3 &s : v.description.setDowns) {
        Point p = onGround(v.view, geo::add(s, v.description.releaseOffset));
        cover(p.x, p.z, 1);
      }
      if (v.crewOutside) {
        Point c = onGround(v.view, v.crewAt);
        cover(c.x, c.z, 1);
      }
    }
    midX = (x0 + x1) / 2, midZ = (z0 + z1) / 2;
    const double span = std::max({x1 - x0 + 2 * kPadMetres, z1 - z0 + 2 * kPadMetres, kMinimumSpan});
    scale = kMapSize / span;
  }

  // Regolith and a metre grid, bolder every five metres.
  std::string background() const {
    std::string s = svg::element("rect", {{"x", num(mapX)}, {"y", num(mapY)}, {"width", num(kMapSize)},
                                          {"height", num(kMapSize)}, {"fill", "#ece9e2"}});
    const double half = kMapSize / 2 / scale;
    const int step = scale >= 12 ? 1 : 5;
    for (long i = static_cast<long>(std::ceil((midX - half) / step)) * step; i <= midX + half; i += step) {
      const double x = px({static_cast<double>(i), 0});
      s += svg::element("line", {{"x1", num(x)}, {"y1", num(mapY)}, {"x2", num(x)}, {"y2", num(mapY + kMapSize)},
                                 {"stroke", i % 5 == 0 ? "#d2cdc2" : "#e0dcd3"}, {"stroke-width", "1"}});
    }
    for (long i = static_cast<long>(std::ceil((midZ - half) / step)) * step; i <= midZ + half; i += step) {
      const double y = py({0, static_cast<double>(i)});
      s += svg::element("line", {{"x1", num(mapX)}, {"y1", num(y)}, {"x2", num(mapX + kMapSize)}, {"y2", num(y)},
                                 {"stroke", i % 5 == 0 ? "#d2cdc2" : "#e0dcd3"}, {"stroke-width", "1"}});
    }
    return s;
  }

  // Reach for cargo and action areas: rings over the footprints, which
  // their faint fill lets through.
  std::string circles() {
    std::string s;
    for (const SiteVessel &v : m.vessels) {
      const Point c{v.view.pos.x, v.view.pos.z};
      if (v.description.cargoReach > 0) {
        const double r = v.description.cargoReach * scale;
        s += svg::element("circle", {{"cx", num(px(c))}, {"cy", num(py(c))}, {"r", num(r)}, {"fill", "#2f6fd0"},
                                     {"fill-opacity", "0.05"}, {"stroke", "#2f6fd0"}, {"stroke-width", "1.5"},
                                     {"stroke-dasharray", "8 5"}});
        const double top = py(c) - r;
        pending.push_back({{px(c) - 2, top - 2, px(c) + 2, top + 2},
                           {"reach for cargo", num(v.description.cargoReach) + " m from " + v.view.name + "'s centre"},
                           "#2f6fd0"});
      }
      for (const auto &area : v.areas) {
        const Point a = onGround(v.view, area.centre);
        const double r = area.radius * scale;
        const std::string stroke = area.enabled ? "#1f9d55" : "#8a8a8a";
        s += svg::element("circle", {{"cx", num(px(a))}, {"cy", num(py(a))}, {"r", num(r)}, {"fill", stroke},
                                     {"fill-opacity", "0.10"}, {"stroke", stroke}, {"stroke-width", "2"},
                                     {"stroke-dasharray", area.enabled ? "none" : "4 4"}});
        s += svg::element("circle", {{"cx", num(px(a))}, {"cy", num(py(a))}, {"r", "2.5"}, {"fill", stroke}});
        const double bottom = py(a) + r;
        pending.push_back({{px(a) - 2, bottom - 2, px(a) + 2, bottom + 2},
                           {"action area " + std::to_string(area.id) + (area.enabled ? ", enabled" : ", disabled"),
                            (area.label.empty() ? std::string("no label") : "\"" + area.label + "\"") + ", " +
                                num(area.radius) + " m"},
                           stroke});
      }
    }
    return s;
  }

  // Airlocks over the footprints: they lie on the vessels.
  std::string airlocks() {
    std::string s;
    for (const SiteVessel &v : m.vessels) {
      if (v.airlock) {
        const double *b = v.airlockBox;
        std::string points;
        PageBox box{1e9, 1e9, -1e9, -1e9};
        for (auto [x, z] : {std::pair{b[0], b[4]}, {b[1], b[4]}, {b[1], b[5]}, {b[0], b[5]}}) {
          const Point p = onGround(v.view, _V(x, 0, z));
          points += num(px(p)) + "," + num(py(p)) + " ";
          box = {std::min(box.x0, px(p)), std::min(box.y0, py(p)), std::max(box.x1, px(p)), std::max(box.y1, py(p))};
        }
        s += svg::element("polygon", {{"points", points}, {"fill", "none"}, {"stroke", "#8e44ad"},
                                      {"stroke-width", "1.5"}, {"stroke-dasharray", "3 3"}});
        pending.push_back({{box.x1 - 2, box.y0 - 2, box.x1 + 2, box.y0 + 2}, {"airlock of " + v.view.name}, "#8e44ad"});
      }
    }
    return s;
  }

  std::string polygon(const std::vector<Point> &corners, PageBox &box) const {
    std::string points;
    box = {1e9, 1e9, -1e9, -1e9};
    for (const Point &p : corners) {
      points += num(px(p)) + "," + num(py(p)) + " ";
      box = {std::min(box.x0, px(p)), std::min(box.y0, py(p)), std::max(box.x1, px(p)), std::max(box.y1, py(p))};
    }
    return points;
  }

  std::string footprints() {
    std::string s;
    for (const SiteVessel &v : m.vessels) {
      std::vector<Patch> patches = patchesOf(v);
      std::stable_sort(patches.begin(), patches.end(), [](const Patch &a, const Patch &b) { return a.top < b.top; });
      PageBox whole{1e9, 1e9, -1e9, -1e9};
      PageBox aboard = whole;
      std::string aboardNames;
      for (const Patch &patch : patches) {
        PageBox box;
        const std::string points = polygon(patch.corners, box);
        s += svg::element("polygon", {{"points", points}, {"fill", patch.fill}, {"stroke", patch.aboard ? "#c0392b" : "#3a3a3a"},
                                      {"stroke-width", patch.aboard ? "2" : "1"},
                                      {"stroke-dasharray", patch.aboard ? "5 3" : "none"}});
        // Labels may lie on a wide footprint, not on a small one.
        if (box.width() * box.height() < kWideFootprint) placer.block(box);
        PageBox &into = patch.aboard ? aboard : whole;
        into = {std::min(into.x0, box.x0), std::min(into.y0, box.y0), std::max(into.x1, box.x1), std::max(into.y1, box.y1)};
      }
      if (whole.x0 > whole.x1) {
        const Point c{v.view.pos.x, v.view.pos.z};
        whole = {px(c) - 3, py(c) - 3, px(c) + 3, py(c) + 3};
        s += svg::element("circle", {{"cx", num(px(c))}, {"cy", num(py(c))}, {"r", "3"}, {"fill", "#3a3a3a"}});
      }
      std::vector<std::string> lines = {v.view.name, v.view.className,
                                        massText(v.view.emptyMass) + " empty" + (v.freeCargo ? ", free cargo" : "")};
      pending.insert(pending.begin(), {whole, lines, "#1b1b1b"});
      for (const auto &mesh : v.view.meshes) {
        if (mesh.visibility != 0 && isCargoAboard(v, mesh)) aboardNames += (aboardNames.empty() ? "" : ", ") + mesh.name;
      }
      if (!aboardNames.empty()) pending.push_back({aboard, {"cargo aboard " + v.view.name, aboardNames}, "#c0392b"});
    }
    return s;
  }

  // Set-down positions, the next one and its release point, crew outside.
  std::string markers() {
    std::string s;
    for (const SiteVessel &v : m.vessels) {
      const SiteDescription &d = v.description;
      for (size_t i = 0; i < d.setDowns.size(); ++i) {
        const Point p = onGround(v.view, d.setDowns[i]);
        const bool next = static_cast<int>(i) == v.nextSetDown;
        if (next) s += nextSetDown(v, i);
        s += svg::element("circle", {{"cx", num(px(p))}, {"cy", num(py(p))}, {"r", num(kSetDownRadius)},
                                     {"fill", "#ffffff"}, {"stroke", "#d62728"}, {"stroke-width", "1.5"}});
        s += svg::element("text", {{"x", num(px(p))}, {"y", num(py(p) + 4)}, {"font-size", "11"}, {"font-weight", "bold"},
                                   {"text-anchor", "middle"}, {"fill", "#d62728"}},
                          std::to_string(i + 1));
        placer.block({px(p) - kSetDownRadius - 4, py(p) - kSetDownRadius - 4, px(p) + kSetDownRadius + 4,
                      py(p) + kSetDownRadius + 4});
      }
      if (v.crewOutside) {
        const Point c = onGround(v.view, v.crewAt);
        s += svg::element("circle", {{"cx", num(px(c))}, {"cy", num(py(c))}, {"r", "9"}, {"fill", "#0e8c8c"},
                                     {"stroke", "#ffffff"}, {"stroke-width", "2.5"}});
        s += svg::element("circle", {{"cx", num(px(c))}, {"cy", num(py(c) - 2.5)}, {"r", "3"}, {"fill", "#ffffff"}});
        placer.block({px(c) - 10, py(c) - 10, px(c) + 10, py(c) + 10});
        pending.push_back({{px(c) - 10, py(c) - 10, px(c) + 10, py(c) + 10}, {"crew member outside " + v.view.name}, "#0e8c8c"});
      }
    }
    return s;
  }

  // The next set-down position ringed, and a cross where its box will
  // stand, with one label for both.
  std::string nextSetDown(const SiteVessel &v, size_t i) {
    const SiteDescription &d = v.description;
    const Point p = onGround(v.view, d.setDowns[i]);
    const Point r = onGround(v.view, geo::add(d.setDowns[i], d.releaseOffset));
    const double c = 7, ring = kSetDownRadius + 4;
    std::string s = svg::element("line", {{"x1", num(px(p))}, {"y1", num(py(p))}, {"x2", num(px(r))}, {"y2", num(py(r))},
                                          {"stroke", "#d62728"}, {"stroke-width", "2"}, {"stroke-dasharray", "4 3"}});
    s += svg::element("path", {{"d", "M" + num(px(r) - c) + "," + num(py(r) - c) + " L" + num(px(r) + c) + "," +
                                         num(py(r) + c) + " M" + num(px(r) - c) + "," + num(py(r) + c) + " L" +
                                         num(px(r) + c) + "," + num(py(r) - c)},
                               {"stroke", "#d62728"}, {"stroke-width", "3"}});
    s += svg::element("circle", {{"cx", num(px(p))}, {"cy", num(py(p))}, {"r", num(ring)}, {"fill", "none"},
                                 {"stroke", "#d62728"}, {"stroke-width", "3"}});
    const PageBox both{std::min(px(p) - ring, px(r) - c), std::min(py(p) - ring, py(r) - c),
                       std::max(px(p) + ring, px(r) + c), std::max(py(p) + ring, py(r) + c)};
    placer.block(both);
    pending.push_back({both,
                       {"next set-down: " + std::to_string(i + 1) + " (inferred)",
                        "its box will stand at the cross (release point)"},
                       "#d62728"});
    return s;
  }

  // Leaders first, so that no line crosses a label's text.
  std::string labels() {
    std::string leaders, boxes;
    for (const Label &label : pending) {
      double width = 0;
      for (size_t i = 0; i < label.lines.size(); ++i)
        width = std::max(width, label.lines[i].size() * (i == 0 ? 13 : 11) * kCharWidth);
      const double height = 6 + 15 + (label.lines.size() - 1) * 13.0;
      PageBox box = placer.place(label.target, width + 10, height);
      leaders += leader(label, box);
      boxes += svg::element("rect", {{"x", num(box.x0)}, {"y", num(box.y0)}, {"width", num(box.width())},
                                     {"height", num(box.height())}, {"rx", "3"}, {"fill", "#ffffff"},
                                     {"fill-opacity", "0.9"}, {"stroke", label.colour}, {"stroke-width", "0.8"}});
      double y = box.y0 + 16;
      for (size_t i = 0; i < label.lines.size(); ++i) {
        boxes += svg::element("text", {{"x", num(box.x0 + 5)}, {"y", num(y)}, {"font-size", i == 0 ? "13" : "11"},
                                       {"font-weight", i == 0 ? "bold" : "normal"}, {"fill", label.colour}},
                              label.lines[i]);
        y += 13;
      }
    }
    return leaders + boxes;
  }

  // A line from a label to what it names, when they stand apart.
  static std::string leader(const Label &label, const PageBox &box) {
    const PageBox &t = label.target;
    const double tx = std::clamp((box.x0 + box.x1) / 2, t.x0, t.x1), ty = std::clamp((box.y0 + box.y1) / 2, t.y0, t.y1);
    const double lx = std::clamp(tx, box.x0, box.x1), ly = std::clamp(ty, box.y0, box.y1);
    if (std::hypot(lx - tx, ly - ty) < 6) return "";
    return svg::element("line", {{"x1", num(tx)}, {"y1", num(ty)}, {"x2", num(lx)}, {"y2", num(ly)},
                                 {"stroke", label.colour}, {"stroke-width", "1"}});
  }

  std::string scaleBar() const {
    const double metres = niceLength(kMapSize / 4 / scale);
    const double length = metres * scale, x = mapX + 20, y = mapY + kMapSize - 24;
    std::string s = svg::element("rect", {{"x", num(x - 8)}, {"y", num(y - 26)}, {"width", num(length + 16)},
                                          {"height", "40"}, {"fill", "#ffffff"}, {"fill-opacity", "0.85"}});
    for (int i = 0; i < 5; ++i) {
      s += svg::element("rect", {{"x", num(x + i * length / 5)}, {"y", num(y)}, {"width", num(length / 5)}, {"height", "7"},
                                 {"fill", i % 2 == 0 ? "#222" : "#fff"}, {"stroke", "#222"}});
    }
    s += svg::element("text", {{"x", num(x)}, {"y", num(y - 8)}, {"font-size", "13"}}, "0");
    s += svg::element("text", {{"x", num(x + length)}, {"y", num(y - 8)}, {"font-size", "13"}, {"text-anchor", "middle"}},
                      num(metres) + " m");
    return s;
  }

  std::string northArrow() const {
    const double cx = mapX + kMapSize - 46, cy = mapY + 50, r = 28;
    double dx = m.north.x, dy = -m.north.z;
    const double n = std::hypot(dx, dy);
    if (n < 1e-9) return "";
    dx /= n, dy /= n;
    auto at = [&](double along, double across) {
      return num(cx + dx * along - dy * across) + "," + num(cy + dy * along + dx * across);
    };
    std::string s = svg::element("circle", {{"cx", num(cx)}, {"cy", num(cy)}, {"r", num(r + 12)}, {"fill", "#ffffff"},
                                            {"fill-opacity", "0.85"}, {"stroke", "#999"}});
    s += svg::element("polygon", {{"points", at(r, 0) + " " + at(-r * 0.6, 9) + " " + at(-r * 0.3, 0) + " " +
                                                 at(-r * 0.6, -9)},
                                  {"fill", "#222"}});
    const std::string tip = at(r + 9, 0);
    const size_t comma = tip.find(',');
    return s + svg::element("text", {{"x", tip.substr(0, comma)}, {"y", num(std::stod(tip.substr(comma + 1)) + 5)},
                                     {"font-size", "14"}, {"font-weight", "bold"}, {"text-anchor", "middle"}},
                            "N");
  }

};

}  // namespace

std::string siteMapSvg(const SiteMoment &moment) { return MapWriter(moment).write(); }

bool writeSiteMap(const std::string &path, const SiteMoment &moment, std::string &error) {
  return writeWholeFile(path, siteMapSvg(moment), "map", error);
}

}  // namespace simhost::command
