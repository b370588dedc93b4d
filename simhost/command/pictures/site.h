// pictures/: the site model (this file) and what is drawn from it: the SVG
// map (site_map.h with map_labels.h, map_legend.h, svg.h) and the 3-D replay
// page (replay.h, replay_page.h). run/, play/ and show/ use it.
//
// The site at one moment of a run, as the pictures (the SVG map, the replay)
// and the map of `simhost play` draw it: every vessel as it stands in the
// focus vessel's frame, what its class's site description adds
// (site_description.h), what the crew module publishes of it (action areas,
// airlock, a crew member outside), the HUD and the debug line.
//
// The run (or `simhost show`) keeps one SetDownHistory and tells it of every
// vessel created after loading (play keeps none: it does not mark the next
// set-down position); captureSite then takes the site as it stands. Neither
// changes the simulation.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "crew_module.h"
#include "simulation.h"
#include "pictures/site_description.h"

namespace simhost {
struct MeshGroup;
}

namespace simhost::command {

// The site descriptions of the classes met, each read once.
class SiteDescriptions {
public:
  explicit SiteDescriptions(std::string root) : root_(std::move(root)) {}
  const SiteDescription &of(const std::string &className);
  // "FILE:LINE: what is wrong" for each malformed file met.
  const std::vector<std::string> &problems() const { return problems_; }

private:
  std::string root_;
  std::map<std::string, SiteDescription> byClass_;
  std::vector<std::string> problems_;
};

// Which set-down positions the run has used: a new vessel that stands where
// a vessel's description releases cargo was set down by it there.
class SetDownHistory {
public:
  struct Use {
    double t = 0;
    std::string vessel, cargo;
    int index = 0;
  };
  // After a "created" event of the vessel named name.
  void noteCreated(Simulation &sim, SiteDescriptions &descriptions, const std::string &name);
  // The position after the last one vessel used, or the first when none:
  // -1 when its description has no set-down positions.
  int next(const std::string &vessel, const SiteDescription &description) const;
  const std::vector<Use> &uses() const { return uses_; }

private:
  std::vector<Use> uses_;
};

struct SiteVessel {
  Simulation::VesselView view;
  SiteDescription description;
  std::vector<CrewActionArea> areas;
  bool airlock = false;
  double airlockBox[6] = {};  // xMin, xMax, yMin, yMax, zMin, zMax, vessel frame
  bool crewOutside = false;
  VECTOR3 crewAt{};           // vessel frame
  int nextSetDown = -1;       // inferred from the run's history
  bool freeCargo = false;     // a cargo vessel lying free (its "UCGOCG" point, attached to nothing)
};

// How far around the focus vessel the pictures reach by default, m.
inline constexpr double kSiteRadius = 100;

struct SiteMoment {
  // Asked for: vessels farther from the focus vessel than this are counted
  // in beyond, not taken, so that far vessels never grow a picture.
  double radius = kSiteRadius;
  size_t beyond = 0;
  std::string title;  // the scenario as named on the command line
  std::string focus;
  double simTime = 0;
  VECTOR3 north{};
  std::vector<SiteVessel> vessels;
  std::vector<Simulation::HudText> hud;
  std::string debug;
  std::vector<std::string> problems;
};

// The site around the focus vessel, within moment.radius; false with the
// reason in error when there is no focus vessel.
bool captureSite(Simulation &sim, SiteDescriptions &descriptions, const SetDownHistory &history,
                 SiteMoment &moment, std::string &error);

// The vessel's visible meshes that are cargo aboard by its description.
bool isCargoAboard(const SiteVessel &vessel, const Simulation::MeshView &mesh);

// The box a mesh group's vertices span in its vessel's frame, the mesh's
// offset added: false for a group without a whole vertex.
bool groupBounds(const Simulation::MeshView &mesh, const MeshGroup &group, VECTOR3 &lo, VECTOR3 &hi);

}  // namespace simhost::command
