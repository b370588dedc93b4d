// The built plugin Modules/Calvane.dll as the simulator sees it: which
// symbols it offers and which it needs. The simulator finds the module only
// by its three C entry points, and a module that needs anything but the
// simulator and the standard library would not load in it.
#include <gtest/gtest.h>

#include <cstdio>
#include <exception>
#include <set>
#include <string>
#include <vector>

#include "mill_world.h"
#include "test_platform.h"

#ifdef _WIN32

// On Windows the module's own tables, read from its image as loaded: what it
// exports, and the modules it imports from.
namespace {

// The plugin as a run of the built tree loaded it.
void *LoadedPlugin(millworld::MillRun &run) {
  return run.Load(millworld::PlainMillScenarioFile()) ? kvt_test::loadedModule(millworld::PluginPath()) : nullptr;
}

TEST(CalvanePlugin, ExportsExactlyTheThreeEntryPointsWithCLinkage) {
  millworld::MillRun run;
  void *module = LoadedPlugin(run);
  ASSERT_NE(module, nullptr) << millworld::PluginPath();
  EXPECT_EQ(kvt_test::exportedNames(module), (std::set<std::string>{"InitModule", "ovcExit", "ovcInit"}));
}

// The host library stands in for the simulator; the compiler's runtime is
// linked into the module itself.
TEST(CalvanePlugin, NeedsOnlyTheHostAndTheStandardLibrary) {
  millworld::MillRun run;
  void *module = LoadedPlugin(run);
  ASSERT_NE(module, nullptr) << millworld::PluginPath();
  const std::set<std::string> windows = {"KERNEL32.dll", "GDI32.dll", "msvcrt.dll"};
  bool usesHost = false;
  for (const std::string &name : kvt_test::importedModules(module)) {
    if (windows.count(name)) continue;
    EXPECT_EQ(name, "libsimhost.dll") << name << " is neither the host nor Windows";
    usesHost = true;
  }
  EXPECT_TRUE(usesHost);
}

}  // namespace

#else

#include <dlfcn.h>
#include <gnu/libc-version.h>

namespace {

struct DynamicSymbol {
  char type;            // nm's letter: U undefined, w weak undefined, T code ...
  std::string name;     // without the version
  std::string version;  // "GLIBCXX_3.4" for name@GLIBCXX_3.4, else empty
};

// A shared object's dynamic symbols as nm lists them.
std::vector<DynamicSymbol> DynamicSymbols(const std::string &file, const std::string &which) {
  std::vector<DynamicSymbol> symbols;
  std::string command = "nm -D " + which + " '" + file + "' 2>/dev/null";
  FILE *out = popen(command.c_str(), "r");
  if (!out) return symbols;
  char line[2048];
  while (std::fgets(line, sizeof line, out)) {
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    // "<value or blanks> <type> <name>[@[@]version]"
    std::size_t nameStart = text.rfind(' ');
    if (nameStart == std::string::npos || nameStart < 2) continue;
    DynamicSymbol symbol;
    symbol.type = text[nameStart - 1];
    std::string name = text.substr(nameStart + 1);
    std::size_t at = name.find('@');
    if (at != std::string::npos) {
      std::size_t versionStart = name.find_first_not_of('@', at);
      symbol.version = versionStart == std::string::npos ? "" : name.substr(versionStart);
      name.erase(at);
    }
    symbol.name = name;
    symbols.push_back(symbol);
  }
  pclose(out);
  return symbols;
}

bool StartsWith(const std::string &text, const char *prefix) { return text.rfind(prefix, 0) == 0; }

// The shared object that holds the code at an address.
std::string LibraryOf(const void *address) {
  Dl_info info{};
  if (!dladdr(address, &info) || !info.dli_fname) return "";
  return info.dli_fname;
}

std::set<std::string> DefinedNames(const std::string &file) {
  std::set<std::string> names;
  for (const DynamicSymbol &symbol : DynamicSymbols(file, "--defined-only")) names.insert(symbol.name);
  return names;
}

// What the C and C++ standard libraries of this process export. The
// checking build's sanitizer runtime stands in for some of them (memory
// and string functions, operator new), which links them without a version.
std::set<std::string> StandardLibraryNames() {
  std::set<std::string> names;
  for (const void *member : {reinterpret_cast<const void *>(&gnu_get_libc_version),
                             reinterpret_cast<const void *>(&std::terminate)}) {
    std::set<std::string> library = DefinedNames(LibraryOf(member));
    names.insert(library.begin(), library.end());
  }
  return names;
}

// Versioned symbols come from the C and C++ standard libraries and the
// compiler's runtime; the sanitizer runtimes of the checking build are the
// compiler's too.
bool IsStandardLibrary(const DynamicSymbol &symbol, const std::set<std::string> &standardNames) {
  for (const char *tag : {"GLIBC_", "GLIBCXX_", "CXXABI_", "GCC_"}) {
    if (StartsWith(symbol.version, tag)) return true;
  }
  for (const char *prefix : {"__asan_", "__ubsan_", "__sanitizer_", "__lsan_"}) {
    if (StartsWith(symbol.name, prefix)) return true;
  }
  return standardNames.count(symbol.name) > 0;
}

// Weak references every shared object carries for tools it may run under.
bool IsOptionalRuntimeHook(const DynamicSymbol &symbol) {
  static const std::set<std::string> hooks = {"__gmon_start__", "_ITM_deregisterTMCloneTable",
                                              "_ITM_registerTMCloneTable", "__cxa_finalize"};
  return symbol.type == 'w' && hooks.count(symbol.name) > 0;
}

// The simulator's own symbols: those the host library of this process
// (the one that provides the simulator's functions) exports.
std::set<std::string> HostNames() { return DefinedNames(LibraryOf(reinterpret_cast<const void *>(&oapiGetSimTime))); }

TEST(CalvanePlugin, ExportsExactlyTheThreeEntryPointsWithCLinkage) {
  std::set<std::string> exportedCode;
  for (const DynamicSymbol &symbol : DynamicSymbols(millworld::PluginPath(), "--defined-only")) {
    if (symbol.type != 'T' && symbol.type != 'W' && symbol.type != 'i') continue;
    if (symbol.name == "_init" || symbol.name == "_fini") continue;
    exportedCode.insert(symbol.name);
  }
  EXPECT_EQ(exportedCode, (std::set<std::string>{"InitModule", "ovcExit", "ovcInit"}));
}

TEST(CalvanePlugin, NeedsOnlyTheHostAndTheStandardLibrary) {
  std::vector<DynamicSymbol> needed = DynamicSymbols(millworld::PluginPath(), "--undefined-only");
  ASSERT_FALSE(needed.empty()) << "nm listed nothing for " << millworld::PluginPath();
  std::set<std::string> host = HostNames();
  std::set<std::string> standard = StandardLibraryNames();
  ASSERT_FALSE(host.empty()) << "nm listed no symbols of the host library";
  ASSERT_FALSE(standard.empty()) << "nm listed no symbols of the standard libraries";
  bool usesHost = false;
  for (const DynamicSymbol &symbol : needed) {
    if (IsStandardLibrary(symbol, standard) || IsOptionalRuntimeHook(symbol)) continue;
    EXPECT_EQ(host.count(symbol.name), 1u) << symbol.name << " is neither the host's nor the standard library's";
    usesHost = true;
  }
  EXPECT_TRUE(usesHost);
}

}  // namespace

#endif  // _WIN32
