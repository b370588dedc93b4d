// The site map's frame (site_map.h): the title and the HUD as drawn across
// the top of the page, and the legend beside the map, which also says what
// the map takes from site descriptions and what it infers.
#pragma once

#include <string>

#include "pictures/site.h"

namespace simhost::command {

inline const char *const kMapFont = "DejaVu Sans, Verdana, Arial, sans-serif";
inline const char *const kMapMono = "DejaVu Sans Mono, Consolas, monospace";

// "12.3 s".
std::string timeText(double seconds);

// The title, the subtitle and the HUD panel, pageWidth wide; and how far
// down the page they reach.
std::string mapTitleAndHud(const SiteMoment &m, double pageWidth, double margin);
double mapTitleAndHudHeight(const SiteMoment &m);

// The legend, from left, top.
std::string mapLegend(const SiteMoment &m, double left, double top);

}  // namespace simhost::command
