// What the mill's tests share: the built simulator tree with the plugin
// Modules/Calvane.dll, a world of that tree to run scenarios in, scratch
// folders for scenarios the tests write, and the host's record of a vessel
// to look at what the mill defined.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "simulation.h"
#include "world.h"

namespace millworld {

inline std::string TreeDir() { return KVT_TREE_DIR; }
inline std::string PluginPath() { return TreeDir() + "/Modules/Calvane.dll"; }
inline std::string TreeFile(const std::string &relative) { return TreeDir() + "/" + relative; }

// A folder of its own under the system's temporary folder, removed with
// everything in it when the test ends.
class ScratchDir {
public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvt-mill-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir &) = delete;
  ScratchDir &operator=(const ScratchDir &) = delete;

  bool ok() const { return !path_.empty(); }
  std::string File(const std::string &name) const { return path_ + "/" + name; }
  std::string Write(const std::string &name, const std::string &content) const {
    std::string file = File(name);
    std::ofstream(file, std::ios::binary) << content;
    return file;
  }

private:
  std::string path_;
};

inline std::string ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A scenario with one mill landed at the given place, in the simulator's
// format.
inline std::string LandedMillScenario(const std::string &name, const std::string &pos,
                                      const std::string &heading) {
  return "BEGIN_DESC\nA mill for the tests.\nEND_DESC\n\n"
         "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 60000.5\nEND_ENVIRONMENT\n\n"
         "BEGIN_FOCUS\n  Ship " + name + "\nEND_FOCUS\n\n"
         "BEGIN_SHIPS\n" + name + ":Calvane\n  STATUS Landed Moon\n  POS " + pos + "\n  HEADING " + heading +
         "\nEND\nEND_SHIPS\n";
}

// A run of the simulator on the built tree.
class MillRun {
public:
  MillRun() : sim_(TreeDir()) {}

  simhost::Simulation &sim() { return sim_; }

  // Loads a scenario; a failure is reported to the test with its message.
  bool Load(const std::string &path) {
    std::string error;
    bool loaded = sim_.loadScenario(path, error);
    EXPECT_TRUE(loaded) << error;
    return loaded;
  }
  bool Save(const std::string &path) {
    std::string error;
    bool saved = sim_.saveScenario(path, error);
    EXPECT_TRUE(saved) << error;
    return saved;
  }
  // A new mill landed at (x, z) of another vessel's frame.
  bool Place(const std::string &name, const std::string &near, double x, double z) {
    std::string error;
    bool placed = sim_.placeVessel(name, "Calvane", near, x, z, 0.0, error);
    EXPECT_TRUE(placed) << error;
    return placed;
  }

  simhost::VesselRecord *Record(const std::string &name) { return sim_.world().find(name); }
  OBJHANDLE Handle(const std::string &name) { return Record(name); }
  // The vessel object the plugin made for the vessel.
  VESSEL *Interface(const std::string &name) {
    OBJHANDLE handle = Handle(name);
    return handle ? oapiGetVesselInterface(handle) : nullptr;
  }

private:
  simhost::Simulation sim_;
};

}  // namespace millworld
