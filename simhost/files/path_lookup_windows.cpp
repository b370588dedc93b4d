// The Windows side of path_lookup.h: the Windows file system ignores case
// by itself and takes backslashes, so the simulator's path is checked
// component by component (".." may not leave the root) and joined as it
// stands.
#ifdef _WIN32

#include "files/path_lookup.h"

#include <cstring>
#include <vector>

#include "platform/platform.h"

namespace simhost {

std::string lookUpPath(const std::string &root, const std::string &simPath, bool forWriting) {
  std::vector<std::string> parts;
  if (!splitSimPath(simPath, parts)) return "";  // would leave the tree
  std::string path = root.empty() ? "." : root;
  for (size_t k = 0; k < parts.size(); ++k) {
    if (!platform::isDirectory(path)) return "";
    path += '\\' + parts[k];
    const bool mayBeNew = forWriting && k + 1 == parts.size();
    if (!mayBeNew && !platform::exists(path)) return "";
  }
  return path;
}

FILE *openPathForReading(const std::string &root, const std::string &simPath, const char *mode) {
  if (!mode || std::strpbrk(mode, "wa+")) return nullptr;
  const std::string path = lookUpPath(root, simPath, false);
  if (path.empty() || platform::isDirectory(path)) return nullptr;
  return std::fopen(path.c_str(), mode);
}

}  // namespace simhost

#endif  // _WIN32
