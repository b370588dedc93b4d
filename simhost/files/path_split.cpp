// Splitting a simulator path, the same on every platform.

#include "files/path_lookup.h"

namespace simhost {

bool splitSimPath(const std::string &simPath, std::vector<std::string> &parts) {
  size_t i = 0;
  while (i <= simPath.size()) {
    size_t j = simPath.find_first_of("\\/", i);
    if (j == std::string::npos) j = simPath.size();
    std::string part = simPath.substr(i, j - i);
    i = j + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts.empty()) return false;
      parts.pop_back();
      continue;
    }
    parts.push_back(std::move(part));
  }
  return true;
}

}  // namespace simhost
