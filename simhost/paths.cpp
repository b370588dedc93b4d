// The simulator's path rules on a POSIX file system, and the Windows calls
// that load modules by such paths.

#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "modules.h"
#include "path_lookup.h"
#include "runtime.h"
#include "simulation.h"
#include "text.h"

namespace simhost {

namespace {

bool isDirectory(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool absolutePath(const char *path) { return path[0] == '/'; }

}  // namespace

std::string resolvePath(const std::string &root, const std::string &simPath, bool forWriting) {
  return lookUpPath(root, simPath, forWriting);
}

namespace {

std::string resolveForHost(const char *path, bool forWriting) {
  if (!path || !*path) return "";
  if (absolutePath(path)) return path;
  return resolvePath(currentTreeRoot(), path, forWriting);
}

struct LoadedLibrary {
  void *handle = nullptr;
  void (*opcDeleteVessel)(OBJHANDLE) = nullptr;
  bool initialised = false;
  VesselModule module;
};

std::mutex &libraryLock() {
  static std::mutex m;
  return m;
}

// Process-wide and never released: plugins stay loaded for the process.
std::map<std::string, LoadedLibrary *> &libraries() {
  static auto *table = new std::map<std::string, LoadedLibrary *>();
  return *table;
}

// The libraries by the path they were asked for, so that a module asked for
// again (a crew module looked up every frame) is found without resolving
// its real path once more.
std::map<std::string, LoadedLibrary *> &librariesAsked() {
  static auto *table = new std::map<std::string, LoadedLibrary *>();
  return *table;
}

LoadedLibrary *openLibrary(const std::string &resolved, std::string &error) {
  {
    std::lock_guard<std::mutex> guard(libraryLock());
    auto asked = librariesAsked().find(resolved);
    if (asked != librariesAsked().end()) return asked->second;
  }
  char real[4096];
  std::string key = realpath(resolved.c_str(), real) ? std::string(real) : resolved;
  std::lock_guard<std::mutex> guard(libraryLock());
  auto it = libraries().find(key);
  if (it != libraries().end()) {
    librariesAsked()[resolved] = it->second;
    return it->second;
  }
  void *handle = dlopen(key.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char *why = dlerror();
    error = why ? why : "cannot be loaded";
    return nullptr;
  }
  auto *lib = new LoadedLibrary();
  lib->handle = handle;
  lib->opcDeleteVessel = reinterpret_cast<void (*)(OBJHANDLE)>(dlsym(handle, "opcDeleteVessel"));
  libraries()[key] = lib;
  librariesAsked()[resolved] = lib;
  return lib;
}

}  // namespace

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
    lib->module.ovcInit = reinterpret_cast<VESSEL *(*)(OBJHANDLE, int)>(dlsym(lib->handle, "ovcInit"));
    lib->module.ovcExit = reinterpret_cast<void (*)(VESSEL *)>(dlsym(lib->handle, "ovcExit"));
  }
  if (!lib->module.ovcInit) {
    error = "module " + simPath + " has no ovcInit";
    return nullptr;
  }
  if (!lib->initialised) {
    lib->initialised = true;
    auto init = reinterpret_cast<void (*)(HINSTANCE)>(dlsym(lib->handle, "InitModule"));
    if (init) init(lib->handle);
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
}

}  // namespace simhost

extern "C" {

FILE *hostOpenFile(const char *path, const char *mode) {
  if (!path || !mode) return nullptr;
  bool writing = std::strpbrk(mode, "wa+") != nullptr;
  simhost::Runtime *rt = simhost::currentRuntime();
  // Reading, with no file fault waiting: the path layer's quick way.
  if (!writing && !simhost::absolutePath(path) && !(rt && rt->faults.anyFileFault())) {
    static const std::string noTree = ".";
    return simhost::openPathForReading(rt ? rt->root : noTree, path, mode);
  }
  std::string resolved = simhost::resolveForHost(path, writing);
  if (resolved.empty() || simhost::isDirectory(resolved)) return nullptr;
  if (rt && rt->faults.openFails(*rt, resolved)) return nullptr;
  return std::fopen(resolved.c_str(), mode);
}

HMODULE LoadLibraryA(LPCSTR path) {
  std::string resolved = simhost::resolveForHost(path, false);
  if (resolved.empty() || simhost::isDirectory(resolved)) return nullptr;
  std::string error;
  simhost::LoadedLibrary *lib = simhost::openLibrary(resolved, error);
  return lib ? lib->handle : nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (!module || !name) return nullptr;
  return reinterpret_cast<FARPROC>(dlsym(module, name));
}

BOOL FreeLibrary(HMODULE) { return TRUE; }

}  // extern "C"
