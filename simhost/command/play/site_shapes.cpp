#include "play/site_shapes.h"

#include <algorithm>
#include <string>

#include "files/mesh.h"
#include "pictures/site.h"
#include "world/geometry.h"

namespace simhost::command {

namespace {

// A box of the ground that grows to span the points it is given.
struct Span {
  double xMin = 1e300, xMax = -1e300, zMin = 1e300, zMax = -1e300;

  void cover(double x, double z) {
    xMin = std::min(xMin, x), xMax = std::max(xMax, x);
    zMin = std::min(zMin, z), zMax = std::max(zMax, z);
  }
  bool empty() const { return xMin > xMax; }
};

// A point of the vessel's frame in the focus vessel's frame.
VECTOR3 seenFromFocus(const SiteVessel &vessel, const VECTOR3 &local) {
  return geo::add(vessel.view.pos, geo::mul(vessel.view.rot, local));
}

// The ground the vessel's own visible meshes cover, cargo aboard apart: the
// box their extents span in its frame.
Span ownMeshExtents(const SiteVessel &vessel) {
  Span span;
  for (const Simulation::MeshView &mesh : vessel.view.meshes) {
    if (mesh.visibility == 0 || mesh.mesh == nullptr || isCargoAboard(vessel, mesh)) continue;
    for (const MeshGroup &group : mesh.mesh->groups) {
      VECTOR3 lo, hi;
      if (!groupBounds(mesh, group, lo, hi)) continue;
      span.cover(lo.x, lo.z);
      span.cover(hi.x, hi.z);
    }
  }
  return span;
}

// A box of the vessel's frame, drawn as the box it spans in the focus
// vessel's frame.
SiteBox seenBox(SiteBox::Kind kind, const SiteVessel &vessel, const Span &local) {
  Span seen;
  for (double x : {local.xMin, local.xMax}) {
    for (double z : {local.zMin, local.zMax}) {
      const VECTOR3 corner = seenFromFocus(vessel, _V(x, 0, z));
      seen.cover(corner.x, corner.z);
    }
  }
  return {kind, seen.xMin, seen.xMax, seen.zMin, seen.zMax};
}

SiteMark::Kind markKind(const SiteVessel &vessel, const std::string &focus) {
  if (vessel.view.name == focus) return SiteMark::Focus;
  return vessel.freeCargo ? SiteMark::Cargo : SiteMark::Vessel;
}

// The vessel's footprint, airlock, reach and set-down positions, and its
// own mark over them.
void addVessel(const SiteVessel &vessel, const std::string &focus, SiteShapes &shapes) {
  const Span meshes = ownMeshExtents(vessel);
  if (!meshes.empty()) shapes.boxes.push_back(seenBox(SiteBox::Footprint, vessel, meshes));
  if (vessel.airlock) {
    const double *b = vessel.airlockBox;
    shapes.boxes.push_back(seenBox(SiteBox::Airlock, vessel, {b[0], b[1], b[4], b[5]}));
  }
  const VECTOR3 &centre = vessel.view.pos;
  if (vessel.description.cargoReach > 0)
    shapes.circles.push_back({SiteCircle::Reach, centre.x, centre.z, vessel.description.cargoReach, "reach"});
  const std::vector<VECTOR3> &setDowns = vessel.description.setDowns;
  for (size_t i = 0; i < setDowns.size(); ++i) {
    const VECTOR3 p = seenFromFocus(vessel, setDowns[i]);
    shapes.marks.push_back({SiteMark::SetDown, p.x, p.z, std::to_string(i + 1)});
  }
  shapes.marks.push_back({markKind(vessel, focus), centre.x, centre.z, vessel.view.name});
}

// What the crew module publishes of the vessel: its action areas, and the
// crew member outside it.
void addCrew(const SiteVessel &vessel, SiteShapes &shapes) {
  for (const CrewActionArea &area : vessel.areas) {
    const VECTOR3 p = seenFromFocus(vessel, area.centre);
    shapes.circles.push_back(
        {area.enabled ? SiteCircle::ActionArea : SiteCircle::DisabledActionArea, p.x, p.z, area.radius, area.label});
  }
  if (vessel.crewOutside) {
    const VECTOR3 p = seenFromFocus(vessel, vessel.crewAt);
    shapes.marks.push_back({SiteMark::Crew, p.x, p.z, "crew"});
  }
}

}  // namespace

SiteShapes surveySite(Simulation &sim) {
  SiteShapes shapes;
  SiteDescriptions descriptions(sim.root());
  SiteMoment moment;
  std::string error;
  if (!captureSite(sim, descriptions, SetDownHistory(), moment, error)) return shapes;
  shapes.focusName = moment.focus;
  for (const SiteVessel &vessel : moment.vessels) addVessel(vessel, moment.focus, shapes);
  // The crew's marks and areas over every vessel's.
  for (const SiteVessel &vessel : moment.vessels) addCrew(vessel, shapes);
  return shapes;
}

}  // namespace simhost::command
