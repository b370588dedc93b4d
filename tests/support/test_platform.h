// What the tests need of the operating system, behind one door per
// platform: test_platform_posix.cpp and test_platform_windows.cpp (each
// compiles to nothing on the other platform). The tests run on Linux and,
// for the system's own suites, on Windows under Wine.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace kvt_test {

// A new empty folder under the system's temporary folder, its name starting
// with prefix; empty when none could be made.
std::string makeTempFolder(const std::string &prefix);

// Puts the file target at link as the same file: a symbolic link on POSIX,
// a hard link on Windows (a copy where neither can be made). A module
// loaded through the link is the module loaded from target, as the process
// loads each module once. False with the reason in error.
bool linkFile(const std::string &target, const std::string &link, std::string &error);

// A module the process has loaded already, by its file; null when it is
// not loaded. The handle needs no release.
void *loadedModule(const std::string &path);
void *moduleSymbol(void *module, const char *name);
#ifdef _WIN32
// Read from a loaded module's image: the names it exports, and the modules
// it imports from (as its import table names them, e.g. "KERNEL32.dll").
std::set<std::string> exportedNames(void *module);
std::set<std::string> importedModules(void *module);
#endif

// The files opened in a folder (not in its subfolders), by this process or
// any other, in the order of their opens: to see which files a component
// reads, and when, without standing between it and the host. Linux only
// (inotify); elsewhere watching() is false and opened() stays empty.
class OpenWatch {
public:
  explicit OpenWatch(const std::string &folder);
  ~OpenWatch();
  OpenWatch(const OpenWatch &) = delete;
  OpenWatch &operator=(const OpenWatch &) = delete;
  bool watching() const { return handle_ >= 0; }
  // The names of the files opened since the watch began or the last call.
  std::vector<std::string> opened();

private:
  int handle_ = -1;
};

// The test executable's own file.
std::string thisExecutable();

// Sets an environment variable of this process and of the programs it
// starts; an empty value removes it.
void setEnvironment(const char *name, const std::string &value);

// Runs a command line of the platform's shell and gives its exit status (-1
// when it did not exit normally) and all it wrote to stdout and stderr.
struct CommandResult {
  int status = -1;
  std::string output;
};
CommandResult runCommand(const std::string &commandLine);
// One argument of such a command line, quoted for the platform's shell.
std::string shellQuoted(const std::string &argument);

}  // namespace kvt_test
