#include "pictures/map_legend.h"

#include <algorithm>
#include <cstdio>

#include "pictures/svg.h"
#include "shared/numbers.h"

namespace simhost::command {

namespace {

using svg::num;

constexpr double kHudTop = 74;
constexpr double kHudLineHeight = 17;

std::vector<Simulation::HudText> hudInOrder(const SiteMoment &m) {
  std::vector<Simulation::HudText> lines = m.hud;
  std::stable_sort(lines.begin(), lines.end(), [](const auto &a, const auto &b) { return a.y < b.y; });
  return lines;
}

size_t hudRows(const SiteMoment &m) { return std::max<size_t>(1, m.hud.size()) + (m.debug.empty() ? 0 : 1); }

}  // namespace

std::string timeText(double seconds) { return fixed(seconds, 1) + " s"; }

double mapTitleAndHudHeight(const SiteMoment &m) { return kHudTop + 28 + hudRows(m) * kHudLineHeight; }

std::string mapTitleAndHud(const SiteMoment &m, double pageWidth, double margin) {
  std::string s;
  s += svg::element("text", {{"x", num(margin)}, {"y", "34"}, {"font-size", "22"}, {"font-weight", "bold"}},
                    "Site around " + m.focus + (m.title.empty() ? "" : " (" + m.title + ")") + " at " +
                        timeText(m.simTime) + " of simulation time");
  s += svg::element("text", {{"x", num(margin)}, {"y", "58"}, {"font-size", "14"}, {"fill", "#444"}},
                    "Seen from above, in " + m.focus +
                        "'s frame: x to the right, forward (z) up the page; north as the arrow shows.");
  const auto lines = hudInOrder(m);
  const double top = kHudTop, height = mapTitleAndHudHeight(m) - kHudTop;
  s += svg::element("rect", {{"x", num(margin)}, {"y", num(top)}, {"width", num(pageWidth - 2 * margin)},
                             {"height", num(height)}, {"rx", "4"}, {"fill", "#11161c"}});
  s += svg::element("text", {{"x", num(margin + 10)}, {"y", num(top + 17)}, {"font-size", "12"}, {"fill", "#9aa4ae"}},
                    "HUD of " + m.focus + " as drawn at " + timeText(m.simTime) + (lines.empty() ? ": empty" : ""));
  double y = top + 17 + kHudLineHeight;
  for (const auto &line : lines) {
    s += svg::element("text", {{"x", num(margin + 24)}, {"y", num(y)}, {"font-family", kMapMono}, {"font-size", "14"},
                               {"fill", "#7dff8a"}, {"xml:space", "preserve"}},
                      line.text);
    y += kHudLineHeight;
  }
  if (!m.debug.empty()) {
    s += svg::element("text", {{"x", num(margin + 24)}, {"y", num(y)}, {"font-family", kMapMono}, {"font-size", "14"},
                               {"fill", "#ffc24a"}, {"xml:space", "preserve"}},
                      "debug line: " + m.debug);
  }
  return s;
}

std::string mapLegend(const SiteMoment &m, double left, double top) {
  double y = top + 10;
  std::string s = svg::element("text", {{"x", num(left)}, {"y", num(y)}, {"font-size", "15"}, {"font-weight", "bold"}},
                               "Legend");
  auto entry = [&](const std::string &symbol, const std::string &text) {
    y += 30;
    s += symbol + svg::element("text", {{"x", num(left + 34)}, {"y", num(y + 5)}, {"font-size", "13"}}, text);
  };
  const double x = left + 12;
  auto yy = [&] { return num(y + 30); };
  entry(svg::element("rect", {{"x", num(x - 10)}, {"y", num(y + 30 - 7)}, {"width", "20"}, {"height", "14"},
                              {"fill", "#8c9199"}, {"stroke", "#3a3a3a"}}),
        "vessel: its meshes from above");
  entry(svg::element("rect", {{"x", num(x - 10)}, {"y", num(y + 30 - 7)}, {"width", "20"}, {"height", "14"},
                              {"fill", "#bf7326"}, {"stroke", "#c0392b"}, {"stroke-width", "2"},
                              {"stroke-dasharray", "5 3"}}),
        "cargo aboard a vessel");
  entry(svg::element("circle", {{"cx", num(x)}, {"cy", yy()}, {"r", "10"}, {"fill", "#1f9d55"}, {"fill-opacity", "0.1"},
                                {"stroke", "#1f9d55"}, {"stroke-width", "2"}}),
        "action area (dashed grey: disabled)");
  entry(svg::element("circle", {{"cx", num(x)}, {"cy", yy()}, {"r", "10"}, {"fill", "none"}, {"stroke", "#2f6fd0"},
                                {"stroke-width", "1.5"}, {"stroke-dasharray", "5 3"}}),
        "reach for cargo");
  entry(svg::element("rect", {{"x", num(x - 10)}, {"y", num(y + 30 - 7)}, {"width", "20"}, {"height", "14"},
                              {"fill", "none"}, {"stroke", "#8e44ad"}, {"stroke-width", "1.5"}, {"stroke-dasharray", "3 3"}}),
        "airlock");
  entry(svg::element("circle", {{"cx", num(x)}, {"cy", yy()}, {"r", "8"}, {"fill", "#ffffff"}, {"stroke", "#d62728"},
                                {"stroke-width", "1.5"}}),
        "set-down position, in the order used");
  entry(svg::element("circle", {{"cx", num(x)}, {"cy", yy()}, {"r", "10"}, {"fill", "none"}, {"stroke", "#d62728"},
                                {"stroke-width", "3"}}),
        "next set-down (inferred)");
  entry(svg::element("path", {{"d", "M" + num(x - 6) + "," + num(y + 24) + " l12,12 m-12,0 l12,-12"},
                              {"stroke", "#d62728"}, {"stroke-width", "3"}}),
        "where its box will stand");
  entry(svg::element("circle", {{"cx", num(x)}, {"cy", yy()}, {"r", "9"}, {"fill", "#0e8c8c"}, {"stroke", "#ffffff"},
                                {"stroke-width", "2.5"}}),
        "crew member outside");
  y += 40;
  const char *notes[] = {
      "What the host sees: vessels, meshes,",
      "masses, the airlock and action areas the",
      "module publishes, the crew outside.",
      "",
      "From the class's site description",
      "(Config/Vessels/<class>.site), not seen",
      "by the host: the reach for cargo, the",
      "set-down positions, the release offset,",
      "which meshes are cargo aboard.",
      "",
      "Inferred: the next set-down position, the",
      "one after the last used by the boxes set",
      "down so far in the run (the first when",
      "none has been).",
  };
  for (const char *line : notes) {
    y += 17;
    s += svg::element("text", {{"x", num(left)}, {"y", num(y)}, {"font-size", "12"}, {"fill", "#444"}}, line);
  }
  if (m.beyond > 0) {
    y += 20;
    char line[160];
    std::snprintf(line, sizeof line, "%zu %s beyond %g m of %s not drawn", m.beyond,
                  m.beyond == 1 ? "vessel" : "vessels", m.radius, m.focus.c_str());
    s += svg::element("text", {{"x", num(left)}, {"y", num(y)}, {"font-size", "12"}, {"fill", "#444"}}, line);
  }
  for (const std::string &problem : m.problems) {
    y += 20;
    s += svg::element("text", {{"x", num(left)}, {"y", num(y)}, {"font-size", "12"}, {"fill", "#b00"}}, problem);
  }
  return s;
}

}  // namespace simhost::command
