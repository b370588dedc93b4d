// The POSIX side of host/: the Windows calls a vessel module makes to load
// modules, and the door through which it opens the simulator's files, all
// resolved inside the running tree with the simulator's path rules
// (module/host_extras.h, host/win32.h). TextOutA is the HUD surface's (hud.cpp). On
// Windows these are the platform's own.
#ifndef _WIN32

#include <cstring>

#include "files/path_lookup.h"
#include "platform/platform.h"
#include "plugin/module_host.h"
#include "plugin/modules.h"
#include "host_extras.h"

namespace {

std::string resolveForHost(const char *path, bool forWriting) {
  if (!path || !*path) return "";
  if (simhost::platform::isAbsolute(path)) return path;
  return simhost::resolvePath(simhost::currentTreeRoot(), path, forWriting);
}

}  // namespace

extern "C" {

FILE *hostOpenFile(const char *path, const char *mode) {
  if (!path || !mode) return nullptr;
  bool writing = std::strpbrk(mode, "wa+") != nullptr;
  simhost::ModuleHost *rt = simhost::currentHost();
  // Reading, with no file fault waiting: the path layer's quick way.
  if (!writing && !simhost::platform::isAbsolute(path) && !(rt && rt->anyFileFault())) {
    static const std::string noTree = ".";
    return simhost::openPathForReading(rt ? rt->root : noTree, path, mode);
  }
  std::string resolved = resolveForHost(path, writing);
  if (resolved.empty() || simhost::platform::isDirectory(resolved)) return nullptr;
  if (rt && rt->openFails(resolved)) return nullptr;
  return std::fopen(resolved.c_str(), mode);
}

HMODULE LoadLibraryA(LPCSTR path) {
  std::string resolved = resolveForHost(path, false);
  if (resolved.empty() || simhost::platform::isDirectory(resolved)) return nullptr;
  std::string error;
  simhost::LoadedLibrary *lib = simhost::openLibrary(resolved, error);
  return lib ? lib->handle : nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  return reinterpret_cast<FARPROC>(simhost::platform::librarySymbol(module, name));
}

BOOL FreeLibrary(HMODULE) { return TRUE; }

}  // extern "C"

#endif  // !_WIN32
