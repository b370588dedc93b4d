#include "shared/replay_assets.h"

#include <filesystem>
#include <system_error>

#include "shared/plan.h"

namespace simhost::command {

std::string replayAssetsDir() {
  const std::string tree = treeBesideExecutable();
  if (tree.empty()) return {};
  return (std::filesystem::path(tree).parent_path() / "share" / "simhost").string();
}

bool checkReplayAssets(const std::string &assetsDir, std::string &error) {
  std::error_code ec;
  for (const char *file : kReplayAssets) {
    if (!std::filesystem::is_regular_file(std::filesystem::path(assetsDir) / file, ec)) {
      error = "the replay page's " + std::string(file) + " is not in " + assetsDir +
              " (the build puts it there; build simhost's replay assets with npm installed)";
      return false;
    }
  }
  return true;
}

}  // namespace simhost::command
