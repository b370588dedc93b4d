// What the fuzz targets share: a simulator tree in a temporary folder that
// lives as long as the fuzzing process, the input cut into scenario lines,
// and a quiet simhost run on such a tree.
//
// Each target makes its tree once (in a static) and rewrites only the file
// the input goes into, so one execution costs one small write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "simulation.h"

namespace fuzz_support {

// The longest line the host hands a module's reader, terminator excluded.
constexpr size_t kLineCapacity = 1023;

class FuzzTree {
public:
  // An empty tree below $TMPDIR; purpose names the folder.
  explicit FuzzTree(const char *purpose);
  ~FuzzTree();
  FuzzTree(const FuzzTree &) = delete;
  FuzzTree &operator=(const FuzzTree &) = delete;

  const std::string &root() const { return root_; }
  std::string path(const std::string &relative) const { return root_ + "/" + relative; }
  // Writes a file below the root, making its folders; '/' separated.
  void write(const std::string &relative, const void *data, size_t size) const;
  void write(const std::string &relative, const std::string &text) const;
  // Copies the whole built simulator tree (sample files and plugins) in.
  void copyBuiltTree() const;

private:
  std::string root_;
};

// The input as lines: cut at '\n' (a '\r' before it dropped), each cut to
// the host's line capacity, at most maxLines of them.
std::vector<std::string> inputLines(const uint8_t *data, size_t size, size_t maxLines);

// A line in a heap buffer of exactly its size and terminator, so that the
// sanitizer catches a reader that runs past the end.
std::unique_ptr<char[]> exactLine(const std::string &line);

// A copy of the built tree, made at the first call with the extra files
// (path below the root, text) written into it, and kept for the process: a
// fuzzing process runs one target, which works in one tree.
struct ExtraFile {
  const char *relative;
  std::string text;
};
const FuzzTree &processTree(const char *purpose, const std::vector<ExtraFile> &extraFiles = {});

// An empty tree with a simhost run on it, made at the first call and kept
// for the process: hostOpenFile resolves paths inside the tree of the
// running simulation, so a target can write a file and read it through the
// system's own file access.
const FuzzTree &emptyTreeWithARun(const char *purpose);

// A simhost run on the tree with the scenario loaded; null when the host
// refuses it. Events are not collected.
std::unique_ptr<simhost::Simulation> loadScenario(const FuzzTree &tree, const std::string &relative);

// Saves the run into Scenarios/Saved.scn of the tree, ends it and loads the
// saved file: the host must never write a file it refuses. Traps, naming
// what was saved, when it does.
void savedScenarioMustLoad(std::unique_ptr<simhost::Simulation> sim, const FuzzTree &tree, const char *what);

// A scenario's head up to and including BEGIN_SHIPS, focus on the ship.
std::string scenarioHead(const std::string &focusShip);

}  // namespace fuzz_support
