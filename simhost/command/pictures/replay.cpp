#include "pictures/replay.h"

#include <cmath>
#include <map>
#include <set>

#include "files/mesh.h"
#include "pictures/replay_page.h"
#include "shared/timeline.h"
#include "world/world.h"

namespace simhost::command {

namespace {

using nlohmann::json;

// Poses are looked at once a simulated second; a vessel that moved less
// than this since its last pose keeps it.
constexpr double kPoseEvery = 1.0;
constexpr double kPoseSlack = 0.01;

// Millimetres are enough for a picture and keep the page small.
double rounded(double value) { return std::round(value * 1000) / 1000; }

json vec(const VECTOR3 &v) { return {rounded(v.x), rounded(v.y), rounded(v.z)}; }

json matrix(const MATRIX3 &m) {
  return {rounded(m.m11), rounded(m.m12), rounded(m.m13), rounded(m.m21), rounded(m.m22),
          rounded(m.m23), rounded(m.m31), rounded(m.m32), rounded(m.m33)};
}

json meshGeometry(const MeshData &mesh) {
  json groups = json::array();
  for (const MeshGroup &group : mesh.groups) {
    json positions = json::array();
    for (float p : group.positions) positions.push_back(rounded(p));
    MeshColour c;
    if (group.material > 0 && group.material <= static_cast<int>(mesh.diffuse.size()))
      c = mesh.diffuse[static_cast<size_t>(group.material - 1)];
    groups.push_back({{"label", group.label}, {"p", positions}, {"i", group.indices},
                      {"c", {rounded(c.r), rounded(c.g), rounded(c.b)}}});
  }
  return {{"groups", groups}};
}

json siteJson(const SiteDescription &d) {
  json setDowns = json::array();
  for (const VECTOR3 &s : d.setDowns) setDowns.push_back(vec(s));
  return {{"reach", d.cargoReach}, {"setDowns", setDowns}, {"releaseOffset", vec(d.releaseOffset)},
          {"cargoFrom", d.cargoMeshFrom}};
}

json vesselJson(const SiteVessel &v, double t) {
  json meshes = json::array();
  for (const auto &mesh : v.view.meshes)
    meshes.push_back({{"index", mesh.index}, {"mesh", mesh.name}, {"offset", vec(mesh.offset)}, {"vis", mesh.visibility}});
  json vessel = {{"name", v.view.name},  {"class", v.view.className}, {"t", t},
                 {"pos", vec(v.view.pos)}, {"rot", matrix(v.view.rot)}, {"mass", v.view.emptyMass},
                 {"cog", rounded(v.view.cogElevation)}, {"free", v.freeCargo}, {"meshes", meshes}};
  if (v.description.found) vessel["site"] = siteJson(v.description);
  if (v.airlock) vessel["airlock"] = std::vector<double>(v.airlockBox, v.airlockBox + 6);
  return vessel;
}

json areasJson(const std::vector<CrewActionArea> &areas) {
  json out = json::array();
  for (const auto &a : areas)
    out.push_back({{"centre", vec(a.centre)}, {"radius", a.radius}, {"id", a.id}, {"enabled", a.enabled},
                   {"label", a.label}});
  return out;
}

}  // namespace

struct ReplayRecorder::Data {
  json page = json::object();
  json meshes = json::object();
  json vessels = json::array();
  json events = json::array();
  json timeline = json::array();
  json areas = json::array();
  json poses = json::array();
  std::set<std::string> known;  // vessels alive whose view is recorded
  std::map<std::string, json> lastPose;
  json lastAreas;
  double nextPoseAt = 0;
  Timeline lines;
  bool started = false;
};

ReplayRecorder::ReplayRecorder(SiteDescriptions &descriptions, const SetDownHistory &history)
    : data_(std::make_unique<Data>()), descriptions_(descriptions), history_(history) {}

ReplayRecorder::~ReplayRecorder() = default;

namespace {

void addMeshes(Simulation &sim, json &meshes, const json &vessel) {
  for (const json &mesh : vessel["meshes"]) {
    const std::string name = mesh["mesh"].get<std::string>();
    if (name.empty() || meshes.contains(name)) continue;
    MeshData data;
    std::string error;
    const std::string path = resolvePath(sim.root(), "Meshes\\" + name + ".msh");
    meshes[name] = !path.empty() && parseMeshFile(path, data, error) ? meshGeometry(data) : json(nullptr);
  }
}

}  // namespace

void ReplayRecorder::start(Simulation &sim, const std::string &title) {
  Data &d = *data_;
  SiteMoment moment;
  moment.radius = radius;
  std::string error;
  d.started = true;
  if (!captureSite(sim, descriptions_, history_, moment, error)) return;
  d.page = {{"title", title}, {"focus", moment.focus}, {"north", vec(moment.north)}, {"radius", radius},
            {"beyond", moment.beyond}};
  d.lines.setFocusName(moment.focus);
  for (const SiteVessel &v : moment.vessels) {
    d.vessels.push_back(vesselJson(v, sim.simTime()));
    addMeshes(sim, d.meshes, d.vessels.back());
    d.known.insert(v.view.name);
    d.lastPose[v.view.name] = {vec(v.view.pos), matrix(v.view.rot)};
  }
  afterFrame(sim);
}

void ReplayRecorder::event(Simulation &sim, const Event &event) {
  Data &d = *data_;
  if (!d.started) return;
  d.events.push_back(toJson(event));
  std::string told = d.lines.format(event);
  if (!told.empty()) {
    if (told.back() == '\n') told.pop_back();
    d.timeline.push_back({{"t", event.t}, {"text", told}});
  }
  const EventKind kind = event.kind;
  const std::string &name = event.vessel;
  if (kind == EventKind::Focus && !name.empty()) d.lines.setFocusName(name);
  if (kind == EventKind::Deleted) d.known.erase(name);
  if (kind == EventKind::Mesh && (event.meshAction == MeshAction::Added || event.meshAction == MeshAction::Inserted ||
                                  event.meshAction == MeshAction::Transform))
    addMeshes(sim, d.meshes, {{"meshes", {{{"mesh", event.mesh}}}}});
  if (kind != EventKind::Created || name.empty() || d.known.count(name) > 0) return;
  // A vessel created in the run: its pose and meshes as it is announced.
  SiteMoment moment;
  moment.radius = radius;
  std::string error;
  if (!captureSite(sim, descriptions_, history_, moment, error) || moment.focus != d.page.value("focus", "")) return;
  for (const SiteVessel &v : moment.vessels) {
    if (v.view.name != name) continue;
    d.vessels.push_back(vesselJson(v, sim.simTime()));
    addMeshes(sim, d.meshes, d.vessels.back());
    d.known.insert(name);
    d.lastPose[name] = {vec(v.view.pos), matrix(v.view.rot)};
  }
}

void ReplayRecorder::afterFrame(Simulation &sim) {
  Data &d = *data_;
  if (!d.started || !d.page.contains("focus")) return;
  json areas = json::object();
  for (VesselRecord *v : sim.world().vessels()) {
    std::vector<CrewActionArea> list;
    if (crewActionAreas(sim, v->name, list)) areas[v->name] = areasJson(list);
  }
  if (areas != d.lastAreas) {
    d.areas.push_back({{"t", sim.simTime()}, {"areas", areas}});
    d.lastAreas = areas;
  }
  if (sim.simTime() + 1e-9 < d.nextPoseAt) return;
  d.nextPoseAt = sim.simTime() + kPoseEvery;
  Simulation::SiteView site;
  std::string error;
  if (!sim.viewSite(d.page["focus"].get<std::string>(), site, error)) return;
  for (const auto &view : site.vessels) {
    json pose = {vec(view.pos), matrix(view.rot)};
    auto last = d.lastPose.find(view.name);
    if (last == d.lastPose.end()) continue;
    const json &before = last->second[0];
    const double moved = std::hypot(before[0].get<double>() - view.pos.x, before[1].get<double>() - view.pos.y,
                                    before[2].get<double>() - view.pos.z);
    if (moved < kPoseSlack && last->second[1] == pose[1]) continue;
    d.poses.push_back({{"t", sim.simTime()}, {"name", view.name}, {"pos", pose[0]}, {"rot", pose[1]}});
    last->second = pose;
  }
}

bool ReplayRecorder::write(const std::string &path, const std::string &assetsDir, std::string &error) {
  Data &d = *data_;
  json setDowns = json::array();
  for (const auto &use : history_.uses())
    setDowns.push_back({{"t", use.t}, {"vessel", use.vessel}, {"cargo", use.cargo}, {"index", use.index}});
  json data = d.page;
  data["meshes"] = d.meshes;
  data["vessels"] = d.vessels;
  data["events"] = d.events;
  data["timeline"] = d.timeline;
  data["areas"] = d.areas;
  data["poses"] = d.poses;
  data["setDowns"] = setDowns;
  return writeReplayPage(path, assetsDir, data, error);
}

}  // namespace simhost::command
