#include "files/vessel_class.h"

#include <fstream>

#include "files/path_lookup.h"
#include "world/text.h"

namespace simhost {

namespace {

bool parseAttachmentLine(std::string_view line, ClassAttachment &att) {
  auto w = text::words(line);
  if (w.size() != 10 && w.size() != 11) return false;
  if (text::iequals(w[0], "P")) {
    att.toParent = true;
  } else if (text::iequals(w[0], "C")) {
    att.toParent = false;
  } else {
    return false;
  }
  double v[9];
  for (int i = 0; i < 9; ++i)
    if (!text::parseNumber(w[1 + i], v[i])) return false;
  att.pos = _V(v[0], v[1], v[2]);
  att.dir = _V(v[3], v[4], v[5]);
  att.rot = _V(v[6], v[7], v[8]);
  if (w.size() == 11) att.id = std::string(w[10].substr(0, 32));
  return true;
}

}  // namespace

bool parseClassFile(const std::string &path, VesselClass &cls, std::string &error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot be opened";
    return false;
  }
  std::string raw;
  int number = 0;
  bool inAttachments = false;
  auto fail = [&](const std::string &what) {
    error = std::to_string(number) + ": " + what;
    return false;
  };
  while (std::getline(in, raw)) {
    ++number;
    size_t semi = raw.find(';');
    std::string_view line = text::trim(std::string_view(raw).substr(0, semi));
    if (line.empty()) continue;
    if (inAttachments) {
      if (text::iequals(line, "END_ATTACHMENT")) {
        inAttachments = false;
        continue;
      }
      ClassAttachment att;
      if (!parseAttachmentLine(line, att)) return fail("bad attachment line (P|C x y z dx dy dz rx ry rz [ID])");
      cls.attachments.push_back(att);
      continue;
    }
    if (text::iequals(line, "BEGIN_ATTACHMENT")) {
      inAttachments = true;
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string key = text::lower(text::trim(line.substr(0, eq)));
    std::string_view value = text::trim(line.substr(eq + 1));
    if (key == "module") {
      cls.module = std::string(value);
    } else if (key == "size") {
      if (!text::parseNumber(value, cls.size) || cls.size <= 0) return fail("bad Size");
      cls.hasSize = true;
    } else if (key == "mass") {
      if (!text::parseNumber(value, cls.mass) || cls.mass < 0) return fail("bad Mass");
      cls.hasMass = true;
    } else if (key == "meshname") {
      cls.meshName = std::string(value);
    } else if (key == "touchdownpoints") {
      double v[9];
      if (!text::parseNumbers(value, v, 9)) return fail("TouchdownPoints needs 9 numbers");
      for (int i = 0; i < 3; ++i) cls.touchdown[i] = _V(v[3 * i], v[3 * i + 1], v[3 * i + 2]);
      cls.hasTouchdown = true;
    }
  }
  if (inAttachments) return fail("missing END_ATTACHMENT");
  return true;
}

const VesselClass *ClassLibrary::find(const std::string &className, std::string &error) {
  if (last_ && text::iequals(last_->name, className)) return last_;
  auto it = byName_.find(className);
  if (it != byName_.end()) return last_ = it->second.get();
  // Only classes that loaded are remembered: a class file that is missing,
  // cannot be opened or is malformed is looked for again at the class's
  // next use, so one that appears or is put right during the run is seen.
  std::string simPath = "Config\\Vessels\\" + className + ".cfg";
  std::string path = className.empty() ? "" : resolvePath(root_, simPath);
  if (path.empty()) {
    error = "unknown vessel class " + className + " (no " + simPath + ")";
    return nullptr;
  }
  if (gate_ && gate_->openFails(path)) {
    error = "vessel class " + className + ": " + simPath + " cannot be opened";
    return nullptr;
  }
  auto cls = std::make_unique<VesselClass>();
  cls->name = className;
  cls->file = path;
  std::string why;
  if (!parseClassFile(path, *cls, why)) {
    error = "vessel class " + className + ": " + simPath + ":" + why;
    return nullptr;
  }
  return last_ = byName_.emplace(text::lower(className), std::move(cls)).first->second.get();
}

}  // namespace simhost
