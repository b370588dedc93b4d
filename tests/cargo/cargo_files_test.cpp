// The cargo add-on's files as the bay reads them: the case-insensitive
// search, and the class description check of free cargo.
#include <gtest/gtest.h>

#include <string>

#include "cargo_world.h"

using cargo_test::CargoWorld;

namespace {

TEST(CargoFiles, FindNoCaseComparesTheFirst21CharactersIgnoringAsciiCase) {
  struct Case {
    const char *haystack;
    const char *needle;
    int position;  // -1: no match
  };
  const Case cases[] = {
      {"Mined Rock (Lunar)", "ROCK", 6},
      {"Mined Rock (Lunar)", "rock", 6},
      {"Mined Rock (Lunar)", "Mined Rock (Lunar)", 0},
      {"Mined Rock (Lunar)", "Lunar)x", -1},
      {"", "Rock", -1},
      {"Rock", "", -1},
      {"aaab", "aab", 1},
      // 25 characters: only the first 21 take part.
      {"xx123456789012345678901", "1234567890123456789012345", 2},
      {"xx12345678901234567890", "1234567890123456789012345", -1},
      // Letters beyond ASCII have no case here.
      {"\xc9t\xe9", "\xe9T\xc9", -1},
  };
  for (const Case &c : cases) {
    const char *found = CargoBay::FindNoCase(c.haystack, c.needle);
    EXPECT_EQ(found ? static_cast<int>(found - c.haystack) : -1, c.position) << c.haystack << " / " << c.needle;
  }
  EXPECT_EQ(CargoBay::FindNoCase(nullptr, "a"), nullptr);
  EXPECT_EQ(CargoBay::FindNoCase("a", nullptr), nullptr);
}

TEST(CargoFiles, ClassDescriptionFollowsTheFileRules) {
  CargoWorld w;
  const std::string filler(99, 'X');
  struct Case {
    const char *name;
    std::string file;
    const char *className;  // as a vessel would report it
    const char *text;
    int expected;
  };
  const Case cases[] = {
      {"Rock", "UcDescription = Mined Rock (Lunar)\n", "Rock", "rock (lunar", 1},
      {"Cut29", "UcDescription = " + std::string(28, 'A') + "BC\n", "Cut29", "AB", 1},
      {"Cut29b", "UcDescription = " + std::string(28, 'A') + "BC\n", "Cut29b", "BC", 0},
      {"Comment", "UcDescription =;Rock\n", "Comment", "Rock", 0},
      {"SemiCut", "UcDescription = Box;Rock\n", "SemiCut", "Rock", 0},
      {"TabCut", "UcDescription = Mined\tRock\n", "TabCut", "Rock", 0},
      {"HighByte", "UcDescription = Mined\xe9Rock\n", "HighByte", "Rock", 0},
      {"Blank", " UcDescription = Rock\n", "Blank", "Rock", 0},
      {"Case", "ucdescription = Rock\n", "Case", "Rock", 0},
      {"FirstWithEq", "UcDescription Rock\nUcDescription = Box\nUcDescription = Rock\n", "FirstWithEq", "Rock", 0},
      {"FirstWithEq2", "UcDescription Rock\nUcDescription = Box\nUcDescription = Rock\n", "FirstWithEq2", "Box", 1},
      {"CommentLine", ";UcDescription = Rock\nUcDescription = Box\n", "CommentLine", "Rock", 0},
      // A line longer than 99 characters comes in pieces, each a line.
      {"Pieces", filler + "UcDescription = Rock\n", "Pieces", "Rock", 1},
      // ".cfg" in any case ends the path as given; no second extension.
      {"Ext", "UcDescription = Rock\n", "Ext.CFG", "Rock", 1},
      {"UCGO/Cargos/Prefixed", "UcDescription = Rock\n", "UCGO\\Cargos\\Prefixed", "Rock", 1},
      {"Missing", "", "Nothing", "Rock", 0},
  };
  for (const Case &c : cases) {
    if (!c.file.empty()) {
      w.tree.write(std::string("Config/Vessels/") + c.name + ".cfg", c.file);
    }
  }
  w.start();
  for (const Case &c : cases) {
    EXPECT_EQ(CargoBay::ClassDescriptionContains(c.className, c.text), c.expected) << c.name;
  }
}

TEST(CargoFiles, ClassNamesThatLeaveTheVesselFolderOrOverflowReadNothing) {
  CargoWorld w;
  w.tree.write("Config/Vessels/Probe.cfg", "UcDescription = Rock\n");
  w.tree.write("Config/Probe.cfg", "UcDescription = Rock\n");
  w.start();
  EXPECT_EQ(CargoBay::ClassDescriptionContains("Probe", "Rock"), 1);
  const std::string longName = std::string(400, 'L');
  const char *refused[] = {
      "..\\Probe",
      "Sub\\..\\..\\Probe",
      "Sub/../../Probe",
      "...\\Probe",
      "\\Probe",
      "C:Probe",
      longName.c_str(),
  };
  for (const char *className : refused) {
    EXPECT_EQ(CargoBay::ClassDescriptionContains(className, "Rock"), 0) << className;
  }
  // Staying inside through a subfolder is fine.
  w.tree.write("Config/Vessels/Sub/Probe.cfg", "UcDescription = Rock\n");
  EXPECT_EQ(CargoBay::ClassDescriptionContains("Sub\\Probe", "Rock"), 1);
  EXPECT_EQ(CargoBay::ClassDescriptionContains("Sub\\.\\Probe", "Rock"), 1);
}

}  // namespace
