#include "pictures/site_description.h"

#include <cmath>
#include <fstream>

#include "simulation.h"
#include "world/text.h"

namespace simhost::command {

namespace {

// Released cargo lands a little off the point it was given: the ground
// under it is curved and its touchdown points are its own.
constexpr double kStandingSlack = 0.3;

bool readVector(std::string_view value, VECTOR3 &v) {
  double d[3];
  if (!text::parseNumbers(value, d, 3)) return false;
  v = _V(d[0], d[1], d[2]);
  return true;
}

// One "Key = value" line into the description; false with what is wrong.
bool readLine(std::string_view key, std::string_view value, SiteDescription &site, std::string &what) {
  if (text::iequals(key, "CargoReach")) {
    if (!text::parseNumber(value, site.cargoReach) || site.cargoReach < 0) what = "CargoReach needs metres >= 0";
  } else if (text::iequals(key, "SetDown")) {
    VECTOR3 v;
    if (readVector(value, v))
      site.setDowns.push_back(v);
    else
      what = "SetDown needs three numbers x y z";
  } else if (text::iequals(key, "ReleaseOffset")) {
    if (!readVector(value, site.releaseOffset)) what = "ReleaseOffset needs three numbers x y z";
  } else if (text::iequals(key, "CargoMeshFrom")) {
    long long index = 0;
    if (!text::parseInteger(value, index) || index < 0 || index > 65535)
      what = "CargoMeshFrom needs a mesh index from 0 to 65535";
    else
      site.cargoMeshFrom = static_cast<int>(index);
  } else {
    what = "unknown key " + std::string(key);
  }
  return what.empty();
}

}  // namespace

bool readSiteDescription(const std::string &root, const std::string &className, SiteDescription &site,
                         std::string &error) {
  site = SiteDescription();
  const std::string path = resolvePath(root, "Config\\Vessels\\" + className + ".site");
  if (path.empty()) return true;
  std::ifstream in(path);
  if (!in) {
    error = path + ": cannot be opened";
    return false;
  }
  site.found = true;
  std::string raw;
  for (int number = 1; std::getline(in, raw); ++number) {
    std::string_view line = text::trim(std::string_view(raw).substr(0, raw.find(';')));
    if (line.empty()) continue;
    const size_t equals = line.find('=');
    std::string what = equals == std::string_view::npos ? "expected Key = value" : "";
    if (what.empty()) readLine(text::trim(line.substr(0, equals)), text::trim(line.substr(equals + 1)), site, what);
    if (!what.empty()) {
      error = path + ":" + std::to_string(number) + ": " + what;
      return false;
    }
  }
  return true;
}

int setDownAt(const SiteDescription &site, const VECTOR3 &standing) {
  for (size_t i = 0; i < site.setDowns.size(); ++i) {
    const double dx = standing.x - (site.setDowns[i].x + site.releaseOffset.x);
    const double dz = standing.z - (site.setDowns[i].z + site.releaseOffset.z);
    if (std::hypot(dx, dz) <= kStandingSlack) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace simhost::command
