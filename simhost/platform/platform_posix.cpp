// The POSIX side of simhost's platform (platform.h): dlopen and a file
// system that tells case apart (files/path_lookup.cpp searches it). The
// process stays in the folder it was started in: on POSIX the system opens
// files and modules through libsimhost (host_posix.cpp), which resolves
// them inside the running tree.
#ifndef _WIN32

#include "platform/platform.h"

#include <dlfcn.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace simhost::platform {

bool isDirectory(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

bool isAbsolute(const std::string &path) { return !path.empty() && path[0] == '/'; }

const bool kSeesEveryOpen = true;

FileHold::FileHold(const std::string &) {}
FileHold::~FileHold() = default;

bool replaceFile(const std::string &from, const std::string &to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool canWriteFolder(const std::string &folder, std::string &error) {
  if (access(folder.c_str(), W_OK | X_OK) == 0) return true;
  error = std::strerror(errno);
  return false;
}

void *reserveAddressSpace(size_t bytes) {
  void *p = mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  return p == MAP_FAILED ? nullptr : p;
}

bool commitAddressSpace(void *start, size_t bytes) { return mprotect(start, bytes, PROT_READ | PROT_WRITE) == 0; }

void adviseLargePages(void *start, size_t bytes) { madvise(start, bytes, MADV_HUGEPAGE); }

void releaseAddressSpace(void *start, size_t bytes) { munmap(start, bytes); }

void keepFreedMemory() {
#ifdef __GLIBC__
  // Blocks up to the most glibc allows come from the heap, not a mapping of
  // their own, and the heap's top is trimmed only beyond a large size.
  mallopt(M_MMAP_THRESHOLD, sizeof(void *) >= 8 ? 32 << 20 : 8 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
}

void *openLibrary(const std::string &path, std::string &error) {
  void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char *why = dlerror();
    error = why ? why : "cannot be loaded";
  }
  return handle;
}

void *librarySymbol(void *library, const char *name) { return library && name ? dlsym(library, name) : nullptr; }

std::vector<void *> modulesOfProcess() { return {}; }

TreeFolder::TreeFolder(const std::string &root) : root_(root) {}
TreeFolder::~TreeFolder() = default;
std::string TreeFolder::outside(const std::string &path) const { return path; }

std::string thisExecutable() {
  char path[PATH_MAX] = {};
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

bool stderrIsTerminal() { return isatty(STDERR_FILENO) != 0; }

}  // namespace simhost::platform

#endif  // !_WIN32
