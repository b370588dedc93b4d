// The operating system under simhost: its file system, its module loader,
// its current folder and its terminal. simhost reaches the platform only
// through this door, implemented once per platform: platform_posix.cpp
// (dlopen, a file system that tells case apart) and platform_windows.cpp
// (LoadLibraryA, a file system that ignores case, backslashes). Each file
// compiles to nothing on the other platform; so do the two sides of the
// simulator's path rules (files/path_lookup.cpp, path_lookup_windows.cpp)
// and of the HUD surface (plugin/hud.cpp, hud_windows.cpp). This is the
// bottom layer of simhost: it includes nothing of the rest.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace simhost::platform {

bool isDirectory(const std::string &path);
bool exists(const std::string &path);
bool isAbsolute(const std::string &path);
// Renames file from over file to, which may exist.
bool replaceFile(const std::string &from, const std::string &to);
// False with the reason in error when new files cannot be made in folder.
bool canWriteFolder(const std::string &folder, std::string &error);

// Whether simhost sees every open of the tree's files. On POSIX the system
// opens them through libsimhost (hostOpenFile); on Windows it calls fopen
// itself, and injected file faults must be made real in the file system.
extern const bool kSeesEveryOpen;

// Keeps anyone from opening a file while the object lives: on Windows the
// file is held open without sharing; on POSIX it holds nothing.
class FileHold {
public:
  explicit FileHold(const std::string &path);
  ~FileHold();
  FileHold(const FileHold &) = delete;
  FileHold &operator=(const FileHold &) = delete;

private:
  [[maybe_unused]] void *handle_ = nullptr;  // POSIX holds nothing
};

// Address space for a store that grows in place: reserved whole, made
// usable from its start as it grows. Null when it cannot be had.
void *reserveAddressSpace(size_t bytes);
// Makes bytes at start of a reservation usable (read and write).
bool commitAddressSpace(void *start, size_t bytes);
// Asks for large pages over a reservation, where the platform has them.
void adviseLargePages(void *start, size_t bytes);
void releaseAddressSpace(void *start, size_t bytes);
// Has the process keep what it frees for its next allocations rather than
// hand it back at once: a big world's load and save make and drop tables of
// a hundred thousand entries, and each page fresh from the system costs a
// fault. For a command's process, once at its start.
void keepFreedMemory();

// Loads a module for the life of the process. Loading a file already loaded
// gives the same handle. Null with the loader's reason in error.
void *openLibrary(const std::string &path, std::string &error);
// An export of a loaded module; null when it has none.
void *librarySymbol(void *library, const char *name);
// Every module the process has loaded, however it was loaded: on Windows
// the system loads modules with the real LoadLibraryA, past simhost. Empty
// on POSIX, where every load goes through simhost's own table.
std::vector<void *> modulesOfProcess();

// The simulator's files are named relative to its folder, which is its
// current folder. While a run of simhost lives the process stands in its
// tree as the simulator would (on Windows, where the system opens files and
// modules by such relative names itself); the folder it came from is kept,
// so that paths the operator gave stay where they were meant.
class TreeFolder {
public:
  // Stands in root; root itself is made absolute first.
  explicit TreeFolder(const std::string &root);
  // Back to the folder the process came from.
  ~TreeFolder();
  TreeFolder(const TreeFolder &) = delete;
  TreeFolder &operator=(const TreeFolder &) = delete;

  // The tree, as an absolute path where the process moved into it.
  const std::string &root() const { return root_; }
  // A path the operator gave, relative to the folder the process came from.
  std::string outside(const std::string &path) const;

private:
  std::string root_;
  std::string cameFrom_;  // empty when the process did not move
};

// The running program's own file; empty when it cannot be told.
std::string thisExecutable();
bool stderrIsTerminal();

}  // namespace simhost::platform
