// The site map of `simhost play`: the site's shapes (site_shapes.h) drawn top-down in
// characters, the focus vessel at the centre, its forward (z) up and its
// right (x) to the right. The scale is chosen to show the site on the area
// given, with the reach for cargo whole, and taking a character as about
// twice as tall as it is wide, so circles stay round:
//
//   #  a footprint            .  the reach for cargo    1-6 set-down positions
//   =  an airlock             +  the focus vessel's centre
//   :  an action area (o when disabled)
//   *  free cargo, with its name            ^  another vessel, with its name
//   @  a crew member outside
//
// Marks win over labels, labels over outlines and circles; a label that
// finds no room beside its mark is left out.
#pragma once

#include <string>
#include <vector>

#include "play/site_shapes.h"

namespace simhost::command {

struct SiteMap {
  std::vector<std::string> rows;  // each exactly as wide as asked
  double metresPerColumn = 1;     // a row is twice that
  int columnsNeeded = 0;          // the columns the site takes at that scale
  std::string legend;             // the symbols and the scale, one line
};

SiteMap drawSiteMap(const SiteShapes &site, int columns, int rows);

}  // namespace simhost::command
