// The crew module's table is a binary contract with modules built for a
// 32-bit process: its header asserts the offsets in a 32-bit build, and this
// test makes that build (g++ -m32, from the Debian package g++-multilib).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Compilation {
  int status = -1;
  std::string output;
};

Compilation compile(const std::string &arguments) {
  Compilation result;
  FILE *pipe = popen(("g++ " + arguments + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) result.output.append(chunk, n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// A source file of this process's own, removed with the object.
struct Source {
  Source(const std::string &name, const std::string &text)
      : path(fs::temp_directory_path() / ("kvt_" + std::to_string(getpid()) + "_" + name)) {
    std::ofstream(path) << text;
  }
  ~Source() {
    std::error_code ignored;
    fs::remove(path, ignored);
  }
  std::string str() const { return path.string(); }
  fs::path path;
};

TEST(ActionStructureLayout, HoldsTheThirtyTwoBitOffsetsInAThirtyTwoBitBuild) {
  const Source probe("m32_probe.cpp", "#include <cstdint>\nint main() { return 0; }\n");
  const Compilation m32 = compile("-m32 -std=c++20 -fsyntax-only " + probe.str());
  if (m32.status != 0) {
    GTEST_SKIP() << "CANNOT RUN: g++ -m32 does not work here; install the Debian package g++-multilib.\n"
                 << m32.output;
  }
  // The header must take its 32-bit branch, whose static_asserts hold the
  // offsets; a build that skipped them would prove nothing.
  const Source source("action_structure_m32.cpp",
                      "#include \"ActionStructure.h\"\n"
                      "#ifndef ACTION_STRUCTURE_32BIT_LAYOUT\n"
                      "#error the 32-bit layout was not checked\n"
                      "#endif\n"
                      "static_assert(sizeof(ActionStructure) == 968980);\n");
  const Compilation header = compile("-m32 -std=c++20 -Wall -Wextra -Werror -fsyntax-only -I" +
                                     std::string(KVT_SOURCE_DIR) + "/host " + source.str());
  EXPECT_EQ(header.status, 0) << header.output;
}

}  // namespace
