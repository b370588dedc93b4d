// Vessel classes: the files Config/Vessels/<class>.cfg of the simulator tree
// and the per-run library that reads each of them once it loads.
//
// A class whose file names a Module is made by that plugin; any other class
// is a passive vessel that the file defines by itself (size, empty mass, one
// mesh, touchdown points and attachment points). The library keeps the
// classes it loaded; a class that could not be loaded is looked for again at
// its next use, as a file that appears is seen at its next open.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "OrbiterAPI.h"
#include "files/file_gate.h"
#include "world/text.h"

namespace simhost {

struct ClassAttachment {
  bool toParent = false;  // 'P': attaches to a parent; 'C': takes children
  VECTOR3 pos{}, dir{}, rot{};
  std::string id;
};

struct VesselClass {
  std::string name;  // as first asked for
  std::string file;  // resolved path
  std::string module;  // empty: passive vessel
  bool hasSize = false, hasMass = false, hasTouchdown = false;
  double size = 1.0;
  double mass = 0.0;
  std::string meshName;
  VECTOR3 touchdown[3]{};
  std::vector<ClassAttachment> attachments;
};

// Parses a class file; false with "LINE: what is wrong" in error.
bool parseClassFile(const std::string &path, VesselClass &cls, std::string &error);

class ClassLibrary {
public:
  // gate: asked before a class file is opened; null for none.
  ClassLibrary(std::string root, FileGate *gate) : root_(std::move(root)), gate_(gate) {}
  // The class, or null with the reason in error.
  const VesselClass *find(const std::string &className, std::string &error);

private:
  std::string root_;
  FileGate *gate_;
  std::map<std::string, std::unique_ptr<VesselClass>, text::NoCaseLess> byName_;  // lower-case class name
  // The class found last: a scenario names the same class for ship after ship.
  const VesselClass *last_ = nullptr;
};

}  // namespace simhost
