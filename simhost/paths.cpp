// The simulator's path rules on the platform's file system, and the table
// of modules the run loaded as vessel classes.

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "modules.h"
#include "platform.h"
#include "runtime.h"
#include "simulation.h"

namespace simhost {

std::string resolvePath(const std::string &root, const std::string &simPath, bool forWriting) {
  std::vector<std::string> parts;
  size_t i = 0;
  while (i <= simPath.size()) {
    size_t j = simPath.find_first_of("\\/", i);
    if (j == std::string::npos) j = simPath.size();
    std::string part = simPath.substr(i, j - i);
    i = j + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts.empty()) return "";  // would leave the tree
      parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string path = root.empty() ? "." : root;
  for (size_t k = 0; k < parts.size(); ++k) {
    std::string found;
    if (!platform::isDirectory(path)) return "";
    if (!platform::findEntry(path, parts[k], found)) {
      if (forWriting && k + 1 == parts.size()) {
        found = parts[k];
      } else {
        return "";
      }
    }
    path += platform::kSeparator + found;
  }
  return path;
}

namespace {

std::mutex &libraryLock() {
  static std::mutex m;
  return m;
}

// Process-wide and never released: plugins stay loaded for the process.
// Keyed by the loader's handle, which is the same however the file was
// named.
std::map<void *, LoadedLibrary *> &libraries() {
  static auto *table = new std::map<void *, LoadedLibrary *>();
  return *table;
}

}  // namespace

LoadedLibrary *openLibrary(const std::string &resolved, std::string &error) {
  void *handle = platform::openLibrary(resolved, error);
  if (!handle) return nullptr;
  std::lock_guard<std::mutex> guard(libraryLock());
  LoadedLibrary *&lib = libraries()[handle];
  if (!lib) {
    lib = new LoadedLibrary();
    lib->handle = handle;
    lib->opcDeleteVessel = reinterpret_cast<void (*)(OBJHANDLE)>(platform::librarySymbol(handle, "opcDeleteVessel"));
  }
  return lib;
}

const VesselModule *loadVesselModule(const std::string &root, const std::string &name, std::string &error) {
  std::string simPath = "Modules\\" + name + ".dll";
  std::string resolved = resolvePath(root, simPath);
  if (resolved.empty()) {
    error = "module " + simPath + " not found";
    return nullptr;
  }
  std::string why;
  LoadedLibrary *lib = openLibrary(resolved, why);
  if (!lib) {
    error = "module " + simPath + " cannot be loaded: " + why;
    return nullptr;
  }
  if (!lib->module.library) {
    lib->module.path = simPath;
    lib->module.library = lib->handle;
    lib->module.ovcInit = reinterpret_cast<VESSEL *(*)(OBJHANDLE, int)>(platform::librarySymbol(lib->handle, "ovcInit"));
    lib->module.ovcExit = reinterpret_cast<void (*)(VESSEL *)>(platform::librarySymbol(lib->handle, "ovcExit"));
  }
  if (!lib->module.ovcInit) {
    error = "module " + simPath + " has no ovcInit";
    return nullptr;
  }
  if (!lib->initialised) {
    lib->initialised = true;
    auto init = reinterpret_cast<void (*)(HINSTANCE)>(platform::librarySymbol(lib->handle, "InitModule"));
    if (init) init(static_cast<HINSTANCE>(lib->handle));
  }
  return &lib->module;
}

void notifyVesselDeleted(OBJHANDLE vessel) {
  std::vector<void (*)(OBJHANDLE)> callbacks;
  {
    std::lock_guard<std::mutex> guard(libraryLock());
    for (const auto &entry : libraries())
      if (entry.second->opcDeleteVessel) callbacks.push_back(entry.second->opcDeleteVessel);
  }
  // Modules the system loaded itself, past the table.
  for (void *module : platform::modulesOfProcess()) {
    auto callback = reinterpret_cast<void (*)(OBJHANDLE)>(platform::librarySymbol(module, "opcDeleteVessel"));
    if (callback && std::find(callbacks.begin(), callbacks.end(), callback) == callbacks.end())
      callbacks.push_back(callback);
  }
  // Called without the lock: a plugin may load libraries from its callback.
  for (auto callback : callbacks) callback(vessel);
}

}  // namespace simhost
