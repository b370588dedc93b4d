#include "faults.h"

#include <algorithm>
#include <filesystem>

#include "runtime.h"
#include "text.h"

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

}  // namespace

void FaultSet::failCreation(const std::string &classPattern, int times) {
  creationClass_ = classPattern;
  creationTimes_ = times;
}

void FaultSet::failMesh(const std::string &meshName) {
  if (!contains(meshes_, meshKey(meshName))) meshes_.push_back(meshKey(meshName));
}

void FaultSet::vanishFile(const std::string &resolvedPath) {
  if (!contains(vanishing_, resolvedPath)) vanishing_.push_back(resolvedPath);
}

void FaultSet::blockFile(const std::string &resolvedPath) {
  if (!contains(blocked_, resolvedPath)) blocked_.push_back(resolvedPath);
}

void FaultSet::clear() { *this = FaultSet(); }

bool FaultSet::creationFails(Runtime &rt, const std::string &name, const std::string &className) {
  if (creationTimes_ == 0) return false;
  if (creationClass_ != "*" && text::lower(creationClass_) != text::lower(className)) return false;
  if (creationTimes_ > 0) --creationTimes_;
  rt.report({{"kind", "fault"}, {"fault", "create-fails"}, {"name", name}, {"class", className}});
  return true;
}

bool FaultSet::meshFails(Runtime &rt, const std::string &meshName) {
  if (meshes_.empty() || !contains(meshes_, meshKey(meshName))) return false;
  rt.report({{"kind", "fault"}, {"fault", "mesh-fails"}, {"mesh", meshName}});
  return true;
}

bool FaultSet::openFails(Runtime &rt, const std::string &resolvedPath) {
  if (vanishing_.empty() && blocked_.empty()) return false;
  const std::string relative = std::filesystem::path(resolvedPath).lexically_relative(rt.root).generic_string();
  auto gone = std::find(vanishing_.begin(), vanishing_.end(), resolvedPath);
  if (gone != vanishing_.end()) {
    vanishing_.erase(gone);
    std::error_code ignored;
    std::filesystem::remove(resolvedPath, ignored);
    rt.report({{"kind", "fault"}, {"fault", "file-vanishes"}, {"file", relative}});
    return true;
  }
  if (!contains(blocked_, resolvedPath)) return false;
  rt.report({{"kind", "fault"}, {"fault", "file-unopenable"}, {"file", relative}});
  return true;
}

}  // namespace simhost
