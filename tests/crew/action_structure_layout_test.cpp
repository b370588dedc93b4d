// The crew module's table is a binary contract with modules built for a
// 32-bit process: its header asserts the offsets in a 32-bit build, and this
// test makes that build (g++ -m32, from the Debian package g++-multilib).
#include <gtest/gtest.h>

#include <string>

#include "temp_tree.h"
#include "test_platform.h"

namespace {

using Compilation = kvt_test::CommandResult;

Compilation compile(const std::string &arguments) { return kvt_test::runCommand("g++ " + arguments); }

// A source file in a folder of its own, removed with the object.
struct Source {
  Source(const std::string &name, const std::string &text) : path(folder.write(name, text)) {}
  std::string str() const { return path; }
  kvt_test::TempTree folder{"kvt_layout"};
  std::string path;
};

TEST(ActionStructureLayout, HoldsTheThirtyTwoBitOffsetsInAThirtyTwoBitBuild) {
#ifdef _WIN32
  GTEST_SKIP() << "no g++ here: the presets windows-x86 and linux-x86 compile the header for 32 bits";
#endif
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
                                     std::string(KVT_SOURCE_DIR) + "/host -I" + std::string(KVT_SOURCE_DIR) +
                                     "/module " + source.str());
  EXPECT_EQ(header.status, 0) << header.output;
}

}  // namespace
