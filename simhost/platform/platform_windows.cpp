// The Windows side of simhost's platform (platform.h): LoadLibraryA and
// GetProcAddress, and the Windows file system, which ignores case by itself
// and takes backslashes. As in the simulator, the process stands in the
// simulator's folder while a run lives: the system opens its files with
// fopen and its modules with LoadLibraryA, both relative to that folder.
#ifdef _WIN32

#include "platform/platform.h"

#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cstdio>

namespace simhost::platform {

namespace {

DWORD attributesOf(const std::string &path) { return GetFileAttributesA(path.c_str()); }

std::string lastErrorText() {
  const DWORD code = GetLastError();
  char text[512] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                           sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == ' ')) text[--n] = '\0';
  return n > 0 ? std::string(text) : "Windows error " + std::to_string(code);
}

std::string fullPath(const std::string &path) {
  char full[MAX_PATH] = {};
  const DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return n > 0 && n < sizeof full ? std::string(full, n) : path;
}

std::string currentFolder() {
  char folder[MAX_PATH] = {};
  const DWORD n = GetCurrentDirectoryA(sizeof folder, folder);
  return n > 0 && n < sizeof folder ? std::string(folder, n) : std::string();
}

}  // namespace

bool isDirectory(const std::string &path) {
  const DWORD a = attributesOf(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool exists(const std::string &path) { return attributesOf(path) != INVALID_FILE_ATTRIBUTES; }

// "C:\x", "C:/x", "\\server\share\x", and "\x" or "/x" on the current drive.
bool isAbsolute(const std::string &path) {
  if (path.empty()) return false;
  if (path[0] == '\\' || path[0] == '/') return true;
  return path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

const bool kSeesEveryOpen = false;

FileHold::FileHold(const std::string &path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) handle_ = file;
}

FileHold::~FileHold() {
  if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
}

bool replaceFile(const std::string &from, const std::string &to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

// The folder answers for itself: a scratch file is made in it and removed.
bool canWriteFolder(const std::string &folder, std::string &error) {
  char scratch[MAX_PATH] = {};
  if (GetTempFileNameA(folder.c_str(), "kvt", 0, scratch) == 0) {
    error = lastErrorText();
    return false;
  }
  DeleteFileA(scratch);
  return true;
}

void *reserveAddressSpace(size_t bytes) { return VirtualAlloc(nullptr, bytes, MEM_RESERVE, PAGE_NOACCESS); }

bool commitAddressSpace(void *start, size_t bytes) {
  return VirtualAlloc(start, bytes, MEM_COMMIT, PAGE_READWRITE) != nullptr;
}

// Large pages need a privilege a plain process lacks: none are asked for.
void adviseLargePages(void *, size_t) {}

void releaseAddressSpace(void *start, size_t) { VirtualFree(start, 0, MEM_RELEASE); }

// The Windows heap keeps freed blocks for reuse by itself.
void keepFreedMemory() {}

void *openLibrary(const std::string &path, std::string &error) {
  // A file that is no module is an error to report, not a dialog box.
  DWORD oldMode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) error = lastErrorText();
  SetThreadErrorMode(oldMode, nullptr);
  return reinterpret_cast<void *>(module);
}

void *librarySymbol(void *library, const char *name) {
  if (!library || !name) return nullptr;
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}

std::vector<void *> modulesOfProcess() {
  std::vector<HMODULE> modules(256);
  DWORD bytes = 0;
  for (;;) {
    const DWORD room = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
    if (!EnumProcessModules(GetCurrentProcess(), modules.data(), room, &bytes)) return {};
    if (bytes <= room) break;
    modules.resize(bytes / sizeof(HMODULE));
  }
  modules.resize(bytes / sizeof(HMODULE));
  return std::vector<void *>(modules.begin(), modules.end());
}

TreeFolder::TreeFolder(const std::string &root) : root_(fullPath(root)) {
  std::string from = currentFolder();
  if (!from.empty() && SetCurrentDirectoryA(root_.c_str())) cameFrom_ = from;
}

TreeFolder::~TreeFolder() {
  if (!cameFrom_.empty()) SetCurrentDirectoryA(cameFrom_.c_str());
}

std::string TreeFolder::outside(const std::string &path) const {
  if (cameFrom_.empty() || path.empty() || isAbsolute(path)) return path;
  return cameFrom_ + '\\' + path;
}

std::string thisExecutable() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}

bool stderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace simhost::platform

#endif  // _WIN32
