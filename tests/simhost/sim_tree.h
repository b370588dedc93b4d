// A simulator tree in a temporary folder for one test: files written by the
// test, the probe module copied into Modules/, removed again at the end.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "Orbitersdk.h"
#include "simulation.h"
#include "temp_tree.h"

namespace simtest {

namespace fs = std::filesystem;

class SimTree : public kvt_test::TempTree {
public:
  SimTree() : TempTree("simhost-test") {
    for (const char *folder : {"Config/Vessels", "Meshes", "Modules", "Scenarios"})
      fs::create_directories(path(folder));
    addBody();
  }

  // A box mesh of one group.
  void addBoxMesh(const std::string &name) const {
    write("Meshes/" + name + ".msh",
          "MSHX1\nGROUPS 1\nLABEL box\nGEOM 3 1\n0 0 0 0 1 0\n1 0 0 0 1 0\n0 0 1 0 1 0\n0 1 2\n");
  }
  // A passive class with a mesh and one attachment point to a parent.
  void addPassiveClass(const std::string &cls, double size = 2, double mass = 100,
                       const std::string &extra = "") const {
    std::string file = "Config/Vessels/" + cls + ".cfg";
    for (auto &c : file)
      if (c == '\\') c = '/';
    write(file, "; a passive test vessel\nSize = " + std::to_string(size) + "\nMass = " + std::to_string(mass) +
                    "\nMeshName = Box\n" + extra);
    addBoxMesh("Box");
  }
  // The probe module and its class "Probe".
  void addProbe() const {
    fs::copy_file(fs::path(KVT_BIN_DIR) / "Probe.dll", path("Modules/Probe.dll"), fs::copy_options::overwrite_existing);
    write("Config/Vessels/Probe.cfg", "ClassName = Probe\nModule = Probe\n");
    addBoxMesh("ProbeBox");
  }
};

// A landed vessel block.
inline std::string landedShip(const std::string &name, const std::string &cls, double lon, double lat, double hdg,
                              const std::string &extra = "") {
  std::ostringstream s;
  s << name << ":" << cls << "\n  STATUS Landed Moon\n  POS " << lon << " " << lat << "\n  HEADING " << hdg << "\n"
    << extra << "END\n";
  return s.str();
}

inline std::string scenario(const std::string &ships, const std::string &focus = "",
                            const std::string &more = "") {
  std::string s = "BEGIN_DESC\nA test.\nEND_DESC\n\nBEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 60000.25\nEND_ENVIRONMENT\n\n";
  if (!focus.empty()) s += "BEGIN_FOCUS\n  Ship " + focus + "\nEND_FOCUS\n\n";
  s += more;
  s += "BEGIN_SHIPS\n" + ships + "END_SHIPS\n";
  return s;
}

// An export of the probe module in the tree, through the host's own
// LoadLibraryA and GetProcAddress.
template <class F>
F probeExport(const SimTree &tree, const char *name) {
  HMODULE m = LoadLibraryA(tree.path("Modules/Probe.dll").c_str());
  return m ? reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(m, name))) : nullptr;
}

inline std::string probeLog(const SimTree &tree) {
  auto log = probeExport<const char *(*)()>(tree, "ProbeLog");
  return log ? log() : "";
}
inline void clearProbeLog(const SimTree &tree) {
  if (auto clear = probeExport<void (*)()>(tree, "ProbeClearLog")) clear();
}

// Collects the events of a run.
struct EventLog {
  std::vector<nlohmann::json> events;
  void attach(simhost::Simulation &sim) {
    sim.setObserver([this](const simhost::Event &e) { events.push_back(simhost::toJson(e)); });
  }
  std::vector<nlohmann::json> of(const std::string &kind) const {
    std::vector<nlohmann::json> out;
    for (const auto &e : events)
      if (e.value("kind", "") == kind) out.push_back(e);
    return out;
  }
};

}  // namespace simtest
