// The simulator's path rules, opening files and loading modules by them.
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "Orbitersdk.h"
#include "sim_tree.h"
#include "host_extras.h"
#include "files/scenario.h"
#include "files/scenario_lines.h"

using simtest::SimTree;

namespace {

TEST(Paths, ResolveLikeTheSimulator) {
  SimTree tree;
  tree.write("Config/Vessels/UCGO/Cargos/Box.cfg", "Mass = 1\n");
  tree.write("Meshes/UMmu/ver.dtf", "2.0\n");
  struct Case {
    const char *simPath;
    bool forWriting;
    const char *expected;  // relative to the root; null: nothing
  } cases[] = {
      {"config\\vessels\\UCGO\\Cargos\\Box.cfg", false, "Config/Vessels/UCGO/Cargos/Box.cfg"},
      {"CONFIG/VESSELS/ucgo/cargos/box.CFG", false, "Config/Vessels/UCGO/Cargos/Box.cfg"},
      {"meshes\\UMmu\\ver.dtf", false, "Meshes/UMmu/ver.dtf"},
      {".\\Meshes\\.\\UMmu\\..\\UMmu\\ver.dtf", false, "Meshes/UMmu/ver.dtf"},
      {"Meshes\\..\\..\\etc\\passwd", false, nullptr},
      {"..\\x", false, nullptr},
      {"Config\\Vessels\\Missing.cfg", false, nullptr},
      {"Config\\Nothing\\New.cfg", true, nullptr},
      {"scenarios\\New.scn", true, "Scenarios/New.scn"},
      {"Config\\Vessels\\UCGO\\Cargos\\Box.cfg\\deeper", false, nullptr},
  };
  for (const auto &c : cases) {
    std::string got = simhost::resolvePath(tree.root(), c.simPath, c.forWriting);
    if (c.expected) {
      EXPECT_EQ(got, tree.root() + "/" + c.expected) << c.simPath;
    } else {
      EXPECT_EQ(got, "") << c.simPath;
    }
  }
}

TEST(Paths, HostOpenFileUsesTheCurrentTree) {
  SimTree tree;
  tree.write("Meshes/UniversalCars/bin/ConfigDarkScreen.msh", "x");
  simhost::Simulation sim(tree.root());
  FILE *f = hostOpenFile("Meshes\\universalcars\\BIN\\configdarkscreen.msh", "r");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(std::fgetc(f), 'x');
  std::fclose(f);
  EXPECT_EQ(hostOpenFile("Meshes\\UniversalCars\\bin\\Other.msh", "r"), nullptr);
  EXPECT_EQ(hostOpenFile("Meshes\\..\\..\\outside.txt", "w"), nullptr);
  EXPECT_EQ(hostOpenFile("Meshes", "r"), nullptr);  // a folder is no file
  EXPECT_EQ(hostOpenFile(nullptr, "r"), nullptr);
  FILE *w = hostOpenFile("scenarios\\written.txt", "w");
  ASSERT_NE(w, nullptr);
  std::fputs("ok", w);
  std::fclose(w);
  EXPECT_EQ(tree.read("Scenarios/written.txt"), "ok");
}

// Files that come and go during a run are seen at the next open, also where
// the folders were listed long ago and their listings are used again.
TEST(Paths, HostOpenFileSeesFilesThatComeAndGo) {
  SimTree tree;
  tree.write("Config/Vessels/Box.cfg", "a");
  simhost::Simulation sim(tree.root());
  const auto longAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  struct Step {
    const char *write, *content, *remove;
    int expected;  // the file's first character; EOF: no file
  } steps[] = {
      {nullptr, nullptr, nullptr, 'a'},                  // found ignoring case
      {nullptr, nullptr, nullptr, 'a'},                  // again, as remembered
      {"Config/Vessels/box.cfg", "b", nullptr, 'b'},     // the exact name appears and wins
      {nullptr, nullptr, "Config/Vessels/box.cfg", 'a'},  // and goes again
      {nullptr, nullptr, "Config/Vessels/Box.cfg", EOF},  // the file vanishes
      {"Config/Vessels/BOX.CFG", "c", nullptr, 'c'},     // another case of it appears
  };
  int step = 0;
  for (const Step &s : steps) {
    if (s.write) tree.write(s.write, s.content);
    if (s.remove) tree.remove(s.remove);
    // Every folder changed long ago, each step at another time.
    for (const auto &e : std::filesystem::recursive_directory_iterator(tree.root()))
      if (e.is_directory()) std::filesystem::last_write_time(e.path(), longAgo + std::chrono::seconds(++step));
    std::filesystem::last_write_time(tree.root(), longAgo + std::chrono::seconds(++step));
    FILE *f = hostOpenFile("Config\\Vessels\\box.cfg", "r");
    EXPECT_EQ(f ? std::fgetc(f) : EOF, s.expected) << "step " << step;
    if (f) std::fclose(f);
  }
}

TEST(Modules, LoadLibraryFindsExportsAndKeepsModulesLoaded) {
  SimTree tree;
  tree.addProbe();
  simhost::Simulation sim(tree.root());
  HMODULE m = LoadLibraryA("modules\\PROBE.dll");
  ASSERT_NE(m, nullptr);
  EXPECT_NE(GetProcAddress(m, "ovcInit"), nullptr);
  EXPECT_EQ(GetProcAddress(m, "NoSuchExport"), nullptr);
  EXPECT_EQ(GetProcAddress(nullptr, "ovcInit"), nullptr);
  EXPECT_EQ(LoadLibraryA("Modules\\Missing.dll"), nullptr);
  EXPECT_EQ(LoadLibraryA("Config"), nullptr);
  EXPECT_EQ(FreeLibrary(m), TRUE);
  EXPECT_EQ(LoadLibraryA("Modules\\Probe.dll"), m);  // still the same module
}

// Lines as a scenario's reader sees them, whatever falls on the
// eight-byte steps the breaks are sought in: each text against splitting
// it one character at a time.
TEST(ScenarioFiles, LinesAreSplitAtEveryBreak) {
  SimTree tree;
  const std::string texts[] = {"", "\n", "a", "a\n", "\n\n\n", "1234567\n", "12345678\n", "1234567\n9\n\n",
                               "BEGIN_SHIPS\r\nRock:UCGO\\Cargos\\Lunar_Rock\r\nEND\r\nEND_SHIPS",
                               "no break in this line of more than sixteen characters",
                               "\x8a\x0a\xff\n\x0b\x09\n\x80x\n\n\x7f\n\x0a\x0a\x8a",
                               "END\nA:B\n  END\r\nEND_SHIPS\nXEND\n\tEND\nEND"};
  for (const std::string &text : texts) {
    std::vector<std::string> expected;
    size_t ends = 0;  // the last line has no break: a block is not ended by it
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (end < text.size() && line.find_first_not_of(" \t") == line.find("END") && line.ends_with("END") &&
          line.find("END") != std::string::npos)
        ++ends;
      expected.push_back(line);
      start = end + 1;
    }
    simhost::ScenarioLines lines;
    std::string error;
    ASSERT_TRUE(lines.read(tree.write("lines.scn", text), error)) << error;
    std::vector<std::string> read;
    for (size_t i = 0; i < lines.size(); ++i) read.emplace_back(lines[i]);
    EXPECT_EQ(read, expected) << testing::PrintToString(text);
    EXPECT_EQ(lines.endLines(), ends) << testing::PrintToString(text);
  }
}

// A break a module puts inside a saved line becomes a blank wherever it
// falls, so that the line stays one line.
TEST(ScenarioFiles, BreaksInsideASavedLineBecomeBlanks) {
  const std::string pieces[][2] = {{"\n", ""},          {"  KEY", "\r\nvalue"}, {"1234567\n", "9\r"},
                                   {"12345678", "\n"}, {"\r\r\r\r\r\r\r\r\r", "x"}, {"no break at all", ""}};
  for (const auto &piece : pieces) {
    simhost::ScenarioWriter w;
    w.line({piece[0], piece[1]});
    std::string expected = piece[0] + piece[1];
    std::replace(expected.begin(), expected.end(), '\n', ' ');
    std::replace(expected.begin(), expected.end(), '\r', ' ');
    EXPECT_EQ(w.out, expected + "\n") << testing::PrintToString(piece[0] + piece[1]);
  }
}

}  // namespace
