#include "faults.h"

#include <algorithm>
#include <filesystem>

#include "runtime.h"
#include "world/text.h"

namespace simhost {

namespace {

// Mesh names are written with either separator and in any case.
std::string meshKey(const std::string &name) {
  std::string key = text::lower(name);
  std::replace(key.begin(), key.end(), '/', '\\');
  return key;
}

bool contains(const std::vector<std::string> &list, const std::string &item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

void reportFileFault(Runtime &rt, const char *fault, const std::string &resolvedPath) {
  const std::string relative = std::filesystem::path(resolvedPath).lexically_relative(rt.root).generic_string();
  Event e = Event::of(EventKind::Fault);
  e.fault = fault;
  e.file = relative;
  rt.report(std::move(e));
}

void vanish(Runtime &rt, const std::string &resolvedPath) {
  std::error_code ignored;
  std::filesystem::remove(resolvedPath, ignored);
  reportFileFault(rt, "file-vanishes", resolvedPath);
}

}  // namespace

void FaultSet::failCreation(const std::string &classPattern, int times) {
  creationClass_ = classPattern;
  creationTimes_ = times;
}

void FaultSet::failMesh(const std::string &meshName) {
  if (!contains(meshes_, meshKey(meshName))) meshes_.push_back(meshKey(meshName));
}

void FaultSet::vanishFile(const std::string &resolvedPath) {
  Runtime *rt = currentRuntime();
  if (!platform::kSeesEveryOpen && rt) {
    vanish(*rt, resolvedPath);
    return;
  }
  if (!contains(vanishing_, resolvedPath)) vanishing_.push_back(resolvedPath);
}

void FaultSet::blockFile(const std::string &resolvedPath) {
  if (contains(blocked_, resolvedPath)) return;
  blocked_.push_back(resolvedPath);
  if (platform::kSeesEveryOpen) return;
  // The opens it refuses are not seen: it is reported as it is put in place.
  holds_.push_back(std::make_shared<platform::FileHold>(resolvedPath));
  if (Runtime *rt = currentRuntime()) reportFileFault(*rt, "file-unopenable", resolvedPath);
}

void FaultSet::clear() { *this = FaultSet(); }

bool FaultSet::creationFails(Runtime &rt, const std::string &name, const std::string &className) {
  if (creationTimes_ == 0) return false;
  if (creationClass_ != "*" && text::lower(creationClass_) != text::lower(className)) return false;
  if (creationTimes_ > 0) --creationTimes_;
  Event e = Event::of(EventKind::Fault, name);
  e.fault = "create-fails";
  e.className = className;
  rt.report(std::move(e));
  return true;
}

bool FaultSet::meshFails(Runtime &rt, const std::string &meshName) {
  if (meshes_.empty() || !contains(meshes_, meshKey(meshName))) return false;
  Event e = Event::of(EventKind::Fault);
  e.fault = "mesh-fails";
  e.mesh = meshName;
  rt.report(std::move(e));
  return true;
}

bool FaultSet::openFails(Runtime &rt, const std::string &resolvedPath) {
  if (vanishing_.empty() && blocked_.empty()) return false;
  auto gone = std::find(vanishing_.begin(), vanishing_.end(), resolvedPath);
  if (gone != vanishing_.end()) {
    vanishing_.erase(gone);
    vanish(rt, resolvedPath);
    return true;
  }
  if (!contains(blocked_, resolvedPath)) return false;
  reportFileFault(rt, "file-unopenable", resolvedPath);
  return true;
}

}  // namespace simhost
