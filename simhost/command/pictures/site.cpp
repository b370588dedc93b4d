#include "pictures/site.h"

#include <algorithm>

#include "files/mesh.h"
#include "shared/object_name.h"
#include "world/geometry.h"
#include "world/vessel.h"
#include "world/world.h"

namespace simhost::command {

namespace {

// The attachment point by which the cargo add-on's free cargo rests.
constexpr const char *kFreeCargoPoint = "UCGOCG";

// Free cargo rests by its point "UCGOCG" to a parent and is attached to
// nothing: carried cargo is not free.
bool isFreeCargo(Simulation &sim, const Simulation::VesselView &view) {
  const auto cargoPoint = [](const Simulation::PointView &point) { return point.toParent && point.id == kFreeCargoPoint; };
  if (std::none_of(view.attachments.begin(), view.attachments.end(), cargoPoint)) return false;
  for (const VesselRecord *record : sim.world().vessels())
    if (record->name == view.name) return record->parentLink == nullptr;
  return false;
}

// A vessel's view with its class's description and what the crew module
// publishes of it.
SiteVessel siteVessel(Simulation &sim, SiteDescriptions &descriptions, const SetDownHistory &history,
                      const Simulation::VesselView &view) {
  SiteVessel vessel;
  vessel.view = view;
  vessel.description = descriptions.of(view.className);
  crewActionAreas(sim, view.name, vessel.areas);
  int door = 0;
  vessel.airlock = crewAirlockBox(sim, view.name, vessel.airlockBox, door);
  vessel.crewOutside = crewOutside(sim, view.name, vessel.crewAt);
  vessel.nextSetDown = history.next(view.name, vessel.description);
  vessel.freeCargo = isFreeCargo(sim, view);
  return vessel;
}

}  // namespace

const SiteDescription &SiteDescriptions::of(const std::string &className) {
  auto it = byClass_.find(className);
  if (it != byClass_.end()) return it->second;
  SiteDescription description;
  std::string error;
  // A malformed description is told, and none of it is drawn.
  if (!readSiteDescription(root_, className, description, error)) {
    problems_.push_back(error);
    description = SiteDescription();
  }
  return byClass_.emplace(className, description).first->second;
}

void SetDownHistory::noteCreated(Simulation &sim, SiteDescriptions &descriptions, const std::string &name) {
  Simulation::SiteView site;
  std::string error;
  for (VesselRecord *owner : sim.world().vessels()) {
    if (owner->name == name) continue;
    const SiteDescription &description = descriptions.of(std::string(owner->className));
    if (description.setDowns.empty() || !sim.viewSite(owner->name, site, error)) continue;
    for (const auto &view : site.vessels) {
      if (view.name != name) continue;
      const int index = setDownAt(description, view.pos);
      if (index >= 0) {
        uses_.push_back({sim.simTime(), owner->name, name, index});
        return;
      }
    }
  }
}

int SetDownHistory::next(const std::string &vessel, const SiteDescription &description) const {
  if (description.setDowns.empty()) return -1;
  for (auto it = uses_.rbegin(); it != uses_.rend(); ++it) {
    if (it->vessel == vessel) return (it->index + 1) % static_cast<int>(description.setDowns.size());
  }
  return 0;
}

bool captureSite(Simulation &sim, SiteDescriptions &descriptions, const SetDownHistory &history,
                 SiteMoment &moment, std::string &error) {
  OBJHANDLE focus = sim.focus();
  if (focus == nullptr) {
    error = "no vessel has the focus";
    return false;
  }
  moment.focus = objectName(focus);
  moment.simTime = sim.simTime();
  Simulation::SiteView site;
  if (!sim.viewSite(moment.focus, site, error)) return false;
  moment.north = site.north;
  moment.vessels.clear();
  moment.beyond = 0;
  for (const auto &view : site.vessels) {
    if (view.name != moment.focus && geo::length(view.pos) > moment.radius) {
      ++moment.beyond;
      continue;
    }
    moment.vessels.push_back(siteVessel(sim, descriptions, history, view));
  }
  moment.hud = sim.hud();
  moment.debug = sim.debugText();
  moment.problems = descriptions.problems();
  return true;
}

bool isCargoAboard(const SiteVessel &vessel, const Simulation::MeshView &mesh) {
  return vessel.description.cargoMeshFrom >= 0 && mesh.index >= vessel.description.cargoMeshFrom;
}

bool groupBounds(const Simulation::MeshView &mesh, const MeshGroup &group, VECTOR3 &lo, VECTOR3 &hi) {
  if (group.positions.size() < 3) return false;
  double low[3] = {1e300, 1e300, 1e300}, high[3] = {-1e300, -1e300, -1e300};
  for (size_t i = 0; i + 2 < group.positions.size(); i += 3) {
    for (size_t k = 0; k < 3; ++k) {
      low[k] = std::min(low[k], static_cast<double>(group.positions[i + k]));
      high[k] = std::max(high[k], static_cast<double>(group.positions[i + k]));
    }
  }
  lo = geo::add(mesh.offset, _V(low[0], low[1], low[2]));
  hi = geo::add(mesh.offset, _V(high[0], high[1], high[2]));
  return true;
}

}  // namespace simhost::command
