// The table of modules the process loaded, and the vessel modules bound
// from it.

#include "plugin/modules.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "files/path_lookup.h"
#include "platform/platform.h"

namespace simhost {

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

// The libraries by the path they were asked for, so that a module asked for
// again (a crew module looked up every frame) is found without the loader.
std::map<std::string, LoadedLibrary *> &librariesAsked() {
  static auto *table = new std::map<std::string, LoadedLibrary *>();
  return *table;
}

}  // namespace

LoadedLibrary *openLibrary(const std::string &resolved, std::string &error) {
  {
    std::lock_guard<std::mutex> guard(libraryLock());
    auto asked = librariesAsked().find(resolved);
    if (asked != librariesAsked().end()) return asked->second;
  }
  void *handle = platform::openLibrary(resolved, error);
  if (!handle) return nullptr;
  std::lock_guard<std::mutex> guard(libraryLock());
  LoadedLibrary *&lib = libraries()[handle];
  if (!lib) {
    lib = new LoadedLibrary();
    lib->handle = handle;
    lib->opcDeleteVessel = reinterpret_cast<void (*)(OBJHANDLE)>(platform::librarySymbol(handle, "opcDeleteVessel"));
  }
  librariesAsked()[resolved] = lib;
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
  // The callbacks as they were when the last library was loaded: a world
  // deleted whole tells them of every vessel.
  // Never destroyed: a run may end while the process exits.
  static auto &known = *new std::vector<void (*)(OBJHANDLE)>();
  static size_t knownLibraries = static_cast<size_t>(-1);
  // A copy, since a callback may load a library; a few fit on the stack.
  void (*few[8])(OBJHANDLE) = {};
  size_t count = 0;
  std::vector<void (*)(OBJHANDLE)> many;
  {
    std::lock_guard<std::mutex> guard(libraryLock());
    if (knownLibraries != libraries().size()) {
      known.clear();
      for (const auto &entry : libraries())
        if (entry.second->opcDeleteVessel) known.push_back(entry.second->opcDeleteVessel);
      knownLibraries = libraries().size();
    }
    count = known.size();
    if (count <= 8)
      std::copy(known.begin(), known.end(), few);
    else
      many = known;
  }
  // Called without the lock: a plugin may load libraries from its callback.
  for (size_t i = 0; i < count; ++i) (count <= 8 ? few[i] : many[i])(vessel);
  // Modules the system loaded itself, past the table (on Windows), unless
  // the table told them already.
  for (void *module : platform::modulesOfProcess()) {
    auto callback = reinterpret_cast<void (*)(OBJHANDLE)>(platform::librarySymbol(module, "opcDeleteVessel"));
    void (*const *told)(OBJHANDLE) = count <= 8 ? few : many.data();
    if (callback && std::find(told, told + count, callback) == told + count) callback(vessel);
  }
}

}  // namespace simhost
