// The site around the focus vessel as `simhost play` draws it: what the host
// knows of the world (where the vessels stand, which are free cargo, the
// crew members outside and the action areas in the crew module's table),
// in metres of the focus vessel's frame seen from above (x to its right,
// z forward), plus what only a vessel's module knows of its own site (its
// footprint, its reach for cargo, where it sets cargo down), which the host
// cannot see and takes from a small per-class description kept in
// play_site.cpp.
#pragma once

#include <string>
#include <vector>

#include "simulation.h"

namespace simhost::command {

struct SiteBox {  // a footprint
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

struct SiteView {
  std::string focusName;  // empty: nothing has the focus, nothing to draw
  std::vector<SiteBox> footprints;
  std::vector<SiteCircle> circles;
  std::vector<SiteMark> marks;
};

// The site as it stands now.
SiteView surveySite(Simulation &sim);

}  // namespace simhost::command
