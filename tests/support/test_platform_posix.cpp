// The POSIX side of the tests' platform (test_platform.h).
#ifndef _WIN32

#include "test_platform.h"

#include <dlfcn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

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
