#include "files/body_file.h"

#include <fstream>

#include "files/path_lookup.h"
#include "world/text.h"

namespace simhost {

namespace {

// A key simhost takes, where its value goes and what it must be.
struct BodyKey {
  const char *name;
  double *value;
  int count;
  bool positive;
  bool seen = false;
};

}  // namespace

BodyFile readBodyFile(const std::string &root, const std::string &name, FileGate *gate, CelestialBody &body,
                      std::string &error) {
  const std::string simPath = "Config\\" + name + ".cfg";
  const std::string path = name.empty() ? "" : resolvePath(root, simPath);
  if (path.empty()) {
    error = "no " + simPath;
    return BodyFile::Missing;
  }
  std::ifstream in(path);
  if (!in || (gate && gate->openFails(path))) {
    error = simPath + " cannot be opened";
    return BodyFile::Faulty;
  }
  body.name = name;
  body.file = simPath;
  double position[3] = {0, 0, 0};
  BodyKey keys[] = {{"Size", &body.radius, 1, true},
                    {"Mass", &body.mass, 1, true},
                    {"SidRotPeriod", &body.siderealPeriod, 1, false},
                    {"SidRotOffset", &body.rotationOffset, 1, false},
                    {"SimhostPosition", position, 3, false}};
  std::string raw;
  for (int number = 1; std::getline(in, raw); ++number) {
    const std::string_view line = text::trim(std::string_view(raw).substr(0, raw.find(';')));
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = text::trim(line.substr(0, eq)), value = text::trim(line.substr(eq + 1));
    for (BodyKey &k : keys) {
      if (!text::iequals(key, k.name)) continue;
      if (!text::parseNumbers(value, k.value, k.count) || (k.positive && !(*k.value > 0))) {
        error = simPath + ":" + std::to_string(number) + ": " + k.name + " needs " +
                (k.count == 1 ? (k.positive ? "a positive number" : "a number") : "three numbers");
        return BodyFile::Faulty;
      }
      k.seen = true;
    }
  }
  for (const BodyKey &k : keys)
    if (k.positive && !k.seen) {
      error = simPath + ": no " + k.name + " (simhost needs the body's " +
              (k.value == &body.radius ? "mean radius in m)" : "mass in kg)");
      return BodyFile::Faulty;
    }
  body.gm = kGravitationalConstant * body.mass;
  body.position = _V(position[0], position[1], position[2]);
  return BodyFile::Read;
}

}  // namespace simhost
