// The site map: a top-down plan, as SVG text, of the site around the focus
// vessel at one moment (site.h). It draws every vessel's footprint from its
// meshes turned by its heading, labelled with its name, class and empty
// mass, cargo aboard apart from free cargo; what the site descriptions and
// the crew module add (reach for cargo, set-down positions with the next one
// marked and its release point, action areas, airlocks, crew outside); a
// scale bar, the north arrow, and a title with the time and the HUD as drawn.
#pragma once

#include <string>

#include "pictures/site.h"

namespace simhost::command {

std::string siteMapSvg(const SiteMoment &moment);

// Writes the map to path; false with the reason in error.
bool writeSiteMap(const std::string &path, const SiteMoment &moment, std::string &error);

}  // namespace simhost::command
