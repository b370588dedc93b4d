#include "play_site.h"

#include <algorithm>
#include <cstring>

#include "ActionStructure.h"
#include "VesselAPI.h"
#include "win32.h"

namespace simhost::command {

namespace {

// What a vessel's module knows of its own site and shows the host nowhere:
// the ore mill's platform, its reach for cargo from its centre, and the six
// positions it sets its ore boxes down at, in turn. Metres of the vessel's
// frame.
struct ClassSite {
  const char *className;
  SiteBox footprint;
  double reach;
  double setDown[6][2];  // x, z
};

constexpr ClassSite kClassSites[] = {
    {"Calvane", {-5.5, 6, -7, 7}, 10, {{-6.5, 0}, {-6.5, 1.5}, {-6.5, -1.5}, {-8, 0}, {-8, 1.5}, {-8, -1.5}}},
};

const ClassSite *classSite(const char *className) {
  for (const ClassSite &site : kClassSites)
    if (className != nullptr && std::strcmp(site.className, className) == 0) return &site;
  return nullptr;
}

// Free cargo lies about with an attachment point "UCGOCG" to no parent.
bool isFreeCargo(VESSEL &vessel) {
  for (DWORD i = 0; i < vessel.AttachmentCount(true); ++i) {
    ATTACHMENTHANDLE point = vessel.GetAttachmentHandle(true, i);
    const char *id = vessel.GetAttachmentId(point);
    if (id != nullptr && std::strcmp(id, "UCGOCG") == 0 && vessel.GetAttachmentStatus(point) == nullptr) return true;
  }
  return false;
}

std::string nameOf(OBJHANDLE object) {
  char name[256] = {};
  oapiGetObjectName(object, name, static_cast<int>(sizeof name));
  return name;
}

// The crew module's view: its action table and the crew outside vessels.
struct CrewView {
  ActionStructure *table = nullptr;
  int (*crewOutside)(OBJHANDLE, double *) = nullptr;
};

CrewView bindCrewView() {
  CrewView view;
  HMODULE module = LoadLibraryA("Modules\\UMmu.dll");
  if (module == nullptr) return view;
  if (FARPROC address = GetProcAddress(module, "GetActionStructureAdress"))
    view.table = reinterpret_cast<GetActionStructureAdressFunc>(reinterpret_cast<void (*)()>(address))();
  if (FARPROC address = GetProcAddress(module, "UMmuCrewOutside"))
    view.crewOutside = reinterpret_cast<int (*)(OBJHANDLE, double *)>(reinterpret_cast<void (*)()>(address));
  return view;
}

class Survey {
public:
  explicit Survey(VESSEL &focus) : focus(focus) {}

  // A point of a vessel's frame in the focus vessel's frame.
  VECTOR3 fromVessel(VESSEL &vessel, const VECTOR3 &local) const {
    VECTOR3 global{}, seen{};
    vessel.Local2Global(local, global);
    focus.Global2Local(global, seen);
    return seen;
  }

  void addVessel(OBJHANDLE handle, SiteView &view) const {
    VESSEL *vessel = oapiGetVesselInterface(handle);
    if (vessel == nullptr) return;
    const bool isFocus = vessel == &focus;
    const VECTOR3 centre = fromVessel(*vessel, _V(0, 0, 0));
    if (const ClassSite *site = classSite(vessel->GetClassNameA())) addClassSite(*vessel, *site, view);
    SiteMark::Kind kind = isFocus ? SiteMark::Focus : isFreeCargo(*vessel) ? SiteMark::Cargo : SiteMark::Vessel;
    view.marks.push_back({kind, centre.x, centre.z, nameOf(handle)});
  }

  // The footprint is drawn as the box it spans in the focus vessel's frame.
  void addClassSite(VESSEL &vessel, const ClassSite &site, SiteView &view) const {
    const SiteBox &box = site.footprint;
    SiteBox seen{1e300, -1e300, 1e300, -1e300};
    for (double x : {box.xMin, box.xMax}) {
      for (double z : {box.zMin, box.zMax}) {
        VECTOR3 corner = fromVessel(vessel, _V(x, 0, z));
        seen = {std::min(seen.xMin, corner.x), std::max(seen.xMax, corner.x), std::min(seen.zMin, corner.z),
                std::max(seen.zMax, corner.z)};
      }
    }
    view.footprints.push_back(seen);
    VECTOR3 centre = fromVessel(vessel, _V(0, 0, 0));
    view.circles.push_back({SiteCircle::Reach, centre.x, centre.z, site.reach, "reach"});
    int number = 1;
    for (const auto &position : site.setDown) {
      VECTOR3 p = fromVessel(vessel, _V(position[0], 0, position[1]));
      view.marks.push_back({SiteMark::SetDown, p.x, p.z, std::to_string(number++)});
    }
  }

  void addCrew(const CrewView &crew, SiteView &view) const {
    if (crew.table != nullptr) {
      for (const ActionAreaEntry &entry : crew.table->entries) {
        VESSEL *owner = entry.inUse == 1 ? oapiGetVesselInterface(entry.vessel) : nullptr;
        if (owner == nullptr) continue;
        VECTOR3 p = fromVessel(*owner, entry.position);
        std::string label(entry.label, strnlen(entry.label, sizeof entry.label));
        view.circles.push_back(
            {entry.enabled != 0 ? SiteCircle::ActionArea : SiteCircle::DisabledActionArea, p.x, p.z, entry.radius, label});
      }
    }
    if (crew.crewOutside == nullptr) return;
    for (DWORD i = 0; i < oapiGetVesselCount(); ++i) {
      OBJHANDLE handle = oapiGetVesselByIndex(i);
      double position[3] = {};
      VESSEL *vessel = oapiGetVesselInterface(handle);
      if (vessel == nullptr || crew.crewOutside(handle, position) != 1) continue;
      VECTOR3 p = fromVessel(*vessel, _V(position[0], position[1], position[2]));
      view.marks.push_back({SiteMark::Crew, p.x, p.z, "crew"});
    }
  }

private:
  VESSEL &focus;
};

}  // namespace

SiteView surveySite(Simulation &sim) {
  SiteView view;
  OBJHANDLE focusHandle = sim.focus();
  VESSEL *focus = focusHandle != nullptr ? oapiGetVesselInterface(focusHandle) : nullptr;
  if (focus == nullptr) return view;
  view.focusName = nameOf(focusHandle);
  Survey survey(*focus);
  for (DWORD i = 0; i < oapiGetVesselCount(); ++i) survey.addVessel(oapiGetVesselByIndex(i), view);
  survey.addCrew(bindCrewView(), view);
  return view;
}

}  // namespace simhost::command
