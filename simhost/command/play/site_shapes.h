// The site around the focus vessel as `simhost play` draws it, in metres of
// the focus vessel's frame seen from above (x to its right, z forward): the
// shapes and marks of the character map, taken from the same site the SVG
// map draws (pictures/site.h): every vessel's footprint from its meshes, its reach
// for cargo and set-down positions from its class's site description, the
// action areas, airlocks and crew outside as the crew module publishes
// them, and the free cargo and other vessels by name.
#pragma once

#include <string>
#include <vector>

#include "simulation.h"

namespace simhost::command {

struct SiteBox {
  enum Kind { Footprint, Airlock } kind;
  double xMin, xMax, zMin, zMax;
};

struct SiteCircle {
  enum Kind { Reach, ActionArea, DisabledActionArea } kind;
  double x, z, radius;
  std::string label;
};

struct SiteMark {
  enum Kind { Focus, SetDown, Cargo, Vessel, Crew } kind;
  double x, z;
  std::string label;  // a name; the set-down positions' number
};

struct SiteShapes {
  std::string focusName;  // empty: nothing has the focus, nothing to draw
  std::vector<SiteBox> boxes;
  std::vector<SiteCircle> circles;
  std::vector<SiteMark> marks;
};

// The site as it stands now, the site descriptions read from the
// simulation's tree.
SiteShapes surveySite(Simulation &sim);

}  // namespace simhost::command
