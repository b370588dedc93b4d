// What the readers of the tree's files ask before they open one: the run
// answers with the faults it injects (a mesh that cannot be loaded, a file
// that vanishes or cannot be opened), and reports each fault that strikes.
// The readers know nothing of the run beyond this.
#pragma once

#include <string>

namespace simhost {

class FileGate {
public:
  // The named mesh ("UCGO\Box") cannot be loaded.
  virtual bool meshFails(const std::string &meshName) = 0;
  // The file (a resolved path) cannot be opened; it may vanish as it is.
  virtual bool openFails(const std::string &resolvedPath) = 0;
  // True while some file fault waits to strike.
  virtual bool anyFileFault() const = 0;

protected:
  ~FileGate() = default;
};

}  // namespace simhost
