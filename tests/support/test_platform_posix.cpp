// The POSIX side of the tests' platform (test_platform.h).
#ifndef _WIN32

#include "test_platform.h"

#include <dlfcn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/inotify.h>
#endif

#include <climits>
#include <cstdio>
#include <filesystem>

namespace kvt_test {

std::string makeTempFolder(const std::string &prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "_XXXXXX")).string();
  return mkdtemp(pattern.data()) ? pattern : std::string();
}

bool linkFile(const std::string &target, const std::string &link, std::string &error) {
  std::error_code code;
  std::filesystem::create_symlink(target, link, code);
  if (code) error = code.message();
  return !code;
}

void *loadedModule(const std::string &path) {
  void *module = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  // The module stays loaded by whoever loaded it first: drop the reference
  // this lookup took.
  if (module) dlclose(module);
  return module;
}

void *moduleSymbol(void *module, const char *name) { return module ? dlsym(module, name) : nullptr; }

#ifdef __linux__
// Closes are watched too: inotify merges an event into an identical one
// still unread, so two opens of one file in a row would count as one, but
// an open, its close and the next open differ.
OpenWatch::OpenWatch(const std::string &folder) : handle_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
  if (handle_ >= 0 && inotify_add_watch(handle_, folder.c_str(), IN_OPEN | IN_CLOSE) < 0) {
    close(handle_);
    handle_ = -1;
  }
}

OpenWatch::~OpenWatch() {
  if (handle_ >= 0) close(handle_);
}

std::vector<std::string> OpenWatch::opened() {
  std::vector<std::string> names;
  alignas(inotify_event) char buffer[16384];
  ssize_t n;
  while (handle_ >= 0 && (n = read(handle_, buffer, sizeof buffer)) > 0) {
    for (ssize_t at = 0; at < n;) {
      const inotify_event *e = reinterpret_cast<const inotify_event *>(buffer + at);
      if ((e->mask & IN_OPEN) && !(e->mask & IN_ISDIR) && e->len > 0) names.emplace_back(e->name);
      at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
    }
  }
  return names;
}
#else
OpenWatch::OpenWatch(const std::string &) {}
OpenWatch::~OpenWatch() = default;
std::vector<std::string> OpenWatch::opened() { return {}; }
#endif

std::string thisExecutable() {
  char path[PATH_MAX] = {};
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

void setEnvironment(const char *name, const std::string &value) {
  if (value.empty())
    unsetenv(name);
  else
    setenv(name, value.c_str(), 1);
}

CommandResult runCommand(const std::string &commandLine) {
  CommandResult result;
  FILE *pipe = popen((commandLine + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) result.output.append(chunk, n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string shellQuoted(const std::string &argument) {
  std::string quoted = "'";
  for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace kvt_test

#endif  // !_WIN32
