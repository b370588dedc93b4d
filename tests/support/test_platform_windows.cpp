// The Windows side of the tests' platform (test_platform.h).
#ifdef _WIN32

#include "test_platform.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace kvt_test {

std::string makeTempFolder(const std::string &prefix) {
  const std::filesystem::path temp = std::filesystem::temp_directory_path();
  for (unsigned attempt = 0; attempt < 1000; ++attempt) {
    const std::string name = prefix + "_" + std::to_string(GetCurrentProcessId()) + "_" +
                             std::to_string(GetTickCount() + attempt);
    const std::string folder = (temp / name).string();
    if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return "";
}

bool linkFile(const std::string &target, const std::string &link, std::string &error) {
  if (CreateHardLinkA(link.c_str(), target.c_str(), nullptr)) return true;
  if (CopyFileA(target.c_str(), link.c_str(), TRUE)) return true;
  error = "Windows error " + std::to_string(GetLastError());
  return false;
}

void *loadedModule(const std::string &path) { return reinterpret_cast<void *>(GetModuleHandleA(path.c_str())); }

void *moduleSymbol(void *module, const char *name) {
  return module ? reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(module), name)) : nullptr;
}

namespace {

// Where a directory of a loaded image lies; null when the image has none.
const unsigned char *imageDirectory(void *module, int which) {
  if (!module) return nullptr;
  const auto *base = static_cast<const unsigned char *>(module);
  const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
  const auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY &directory = nt->OptionalHeader.DataDirectory[which];
  return directory.VirtualAddress ? base + directory.VirtualAddress : nullptr;
}

}  // namespace

std::set<std::string> exportedNames(void *module) {
  std::set<std::string> names;
  const unsigned char *directory = imageDirectory(module, IMAGE_DIRECTORY_ENTRY_EXPORT);
  if (!directory) return names;
  const auto *base = static_cast<const unsigned char *>(module);
  const auto *exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(directory);
  const auto *nameOffsets = reinterpret_cast<const DWORD *>(base + exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i)
    names.insert(reinterpret_cast<const char *>(base + nameOffsets[i]));
  return names;
}

std::set<std::string> importedModules(void *module) {
  std::set<std::string> names;
  const unsigned char *directory = imageDirectory(module, IMAGE_DIRECTORY_ENTRY_IMPORT);
  if (!directory) return names;
  const auto *base = static_cast<const unsigned char *>(module);
  for (const auto *entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(directory); entry->Name; ++entry)
    names.insert(reinterpret_cast<const char *>(base + entry->Name));
  return names;
}

// Windows tells of changes to a folder, not of opens.
OpenWatch::OpenWatch(const std::string &) {}
OpenWatch::~OpenWatch() = default;
std::vector<std::string> OpenWatch::opened() { return {}; }

std::string thisExecutable() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}

void setEnvironment(const char *name, const std::string &value) { _putenv_s(name, value.c_str()); }

CommandResult runCommand(const std::string &commandLine) {
  CommandResult result;
  // cmd /c keeps the outer quotes of a line that starts with one only when
  // the whole line is quoted once more.
  FILE *pipe = _popen(("\"" + commandLine + " 2>&1\"").c_str(), "rb");
  if (!pipe) return result;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) result.output.append(chunk, n);
  result.status = _pclose(pipe);
  return result;
}

std::string shellQuoted(const std::string &argument) { return "\"" + argument + "\""; }

}  // namespace kvt_test

#endif  // _WIN32
