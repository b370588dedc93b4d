// Loading a scenario into the run: the reader's target makes the vessels in
// the run's world as their blocks are read.

#include "scenario_apply.h"

#include "files/scenario_file.h"
#include "world/geometry.h"
#include "world/vessel_state.h"

namespace simhost {

namespace {

class RunTarget final : public ScenarioTarget {
public:
  explicit RunTarget(Runtime &rt) : rt_(rt) {}

  void expectVessels(size_t count) override { rt_.world.reserve(count); }
  void setDate(double mjd) override {
    rt_.mjd0 = mjd;
    rt_.phi0 = moon::rotationAngle(mjd);
  }
  bool hasVessel(std::string_view name) override { return rt_.world.find(name) != nullptr; }
  bool makeVessel(const std::string &name, const std::string &className, ScenarioBlock &block,
                  std::string &why) override {
    return rt_.createVessel(name, className, nullptr, &block, why) != nullptr;
  }
  bool joinAttachments(int &line, std::string &what) override;
  bool setFocus(std::string_view name) override {
    VesselRecord *f = name.empty() ? rt_.world.at(0) : rt_.world.find(name);
    if (!f && !name.empty()) return false;
    rt_.focus = f;
    return true;
  }

private:
  Runtime &rt_;
};

bool RunTarget::joinAttachments(int &line, std::string &what) {
  for (VesselRecord *child : rt_.world.vessels()) {
    if (!child->pendingAttachment) continue;
    const PendingAttachment &pending = *child->pendingAttachment;
    line = pending.line > 0 ? pending.line : 1;
    VesselRecord *parent = rt_.world.find(pending.parent);
    if (!parent) {
      what = "ATTACHED names no vessel: " + pending.parent;
      return false;
    }
    size_t ci = static_cast<size_t>(pending.childPoint), pi = static_cast<size_t>(pending.parentPoint);
    if (ci >= child->parentPoints.size() || pi >= parent->childPoints.size() ||
        !attach(rt_, parent->childPoints[pi], child->parentPoints[ci])) {
      what = "cannot attach " + child->name + " to " + parent->name;
      return false;
    }
    child->pendingAttachment.reset();
  }
  return true;
}

}  // namespace

bool loadScenarioFile(Runtime &rt, const std::string &path, std::string &error) {
  std::string bytes;
  std::vector<std::string_view> lines;
  rt.deleteAllVessels();
  rt.scenario = ScenarioMeta();
  rt.simt = rt.simStep = 0;
  rt.simClock.reset();
  rt.mjd0 = moon::kEpochMjd;
  rt.phi0 = moon::rotationAngle(rt.mjd0);
  if (!readScenarioLines(path, bytes, lines)) {
    error = path + ": cannot be opened";
    return false;
  }
  rt.holdEvents = true;
  bool ok;
  {
    BusyScope scope(rt);
    RunTarget target(rt);
    ok = readScenario(path, std::move(lines), rt.scenario, target, error);
  }
  if (!ok) {
    rt.deleteAllVessels();
    rt.scenario = ScenarioMeta();
    rt.heldEvents.clear();
    rt.holdEvents = false;
    return false;
  }
  for (VesselRecord *v : rt.world.vessels()) rt.announce(v);
  if (rt.focus) rt.report({{"kind", "focus"}, {"name", rt.focus->name}});
  rt.report({{"kind", "loaded"}, {"file", path}});
  rt.releaseHeldEvents();
  return true;
}

}  // namespace simhost
