// A folder of its own under the system's temporary folder, removed with
// everything in it when the object goes: the simulator trees the tests run
// on and the scratch files they write.
#pragma once

#include <string>

namespace kvt_test {

class TempTree {
public:
  explicit TempTree(const std::string &prefix = "kvt_test");
  ~TempTree();
  TempTree(const TempTree &) = delete;
  TempTree &operator=(const TempTree &) = delete;

  bool ok() const { return !root_.empty(); }
  const std::string &root() const { return root_; }
  // The full path of a file below the root, '/' separated.
  std::string path(const std::string &relative) const;
  // Writes a file below the root, folders made as needed; returns its path.
  std::string write(const std::string &relative, const std::string &content) const;
  void remove(const std::string &relative) const;
  // A link to a file outside the tree, folders made as needed (see linkFile).
  void link(const std::string &relative, const std::string &target) const;
  // The sample tree's Config/<name>.cfg of a celestial body, for a tree of
  // a test's own whose vessels stand on it.
  void addBody(const std::string &name = "Moon") const;
  // The file's text; empty when it cannot be read.
  std::string read(const std::string &relative) const;

private:
  std::string root_;
};

// The text of any file; empty when it cannot be read.
std::string readFile(const std::string &path);

}  // namespace kvt_test
