// Action areas in the crew module's shared table.
#include <gtest/gtest.h>

#include <ostream>

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "crew_world.h"

using namespace crew_test;

namespace {

// A world with the hut Base and a ready roster on it; the crew module's
// table as the roster sees it.
class CrewAreas : public testing::Test {
protected:
  void SetUp() override {
    world.start();
    base = world.vessel("Base");
    setUpLikeMill(roster, base, 1);
    table = world.actionTable();
    ASSERT_NE(table, nullptr);
    // Earlier tests of this process may have left entries of vessels whose
    // handles the new ones reuse.
    std::memset(static_cast<void *>(table), 0, sizeof *table);
  }

  int entriesOf(OBJHANDLE vessel) const {
    int n = 0;
    for (const ActionAreaEntry &e : table->entries) n += e.inUse == 1 && e.vessel == vessel;
    return n;
  }

  const ActionAreaEntry *entry(OBJHANDLE vessel, int id) const {
    for (const ActionAreaEntry &e : table->entries)
      if (e.inUse == 1 && e.vessel == vessel && e.id == id) return &e;
    return nullptr;
  }

  CrewWorld world;
  OBJHANDLE base = nullptr;
  CrewRoster roster;
  ActionStructure *table = nullptr;
};

struct RadiusCase {
  double radius;
  int expected;
};

void PrintTo(const RadiusCase &c, std::ostream *os) { *os << "radius " << c.radius; }

class CrewAreaRadius : public CrewAreas, public testing::WithParamInterface<RadiusCase> {};

TEST_P(CrewAreaRadius, IsAtLeastOneMetre) {
  const int count = table->entryCount;
  EXPECT_EQ(roster.DeclareActionArea(1, _V(5, 0, 2.2), GetParam().radius, 1, "action_clickOk.wav", nullptr),
            GetParam().expected);
  EXPECT_EQ(entriesOf(base), GetParam().expected);
  EXPECT_EQ(table->entryCount, count + GetParam().expected);
  EXPECT_EQ(roster.BoundToActionTable(), GetParam().expected == 1);
}

INSTANTIATE_TEST_SUITE_P(Crew, CrewAreaRadius,
                         testing::Values(RadiusCase{0.99, 0}, RadiusCase{0, 0}, RadiusCase{-5, 0},
                                         RadiusCase{NAN, 0}, RadiusCase{1, 1}, RadiusCase{5, 1}));

TEST_F(CrewAreas, MillAreaIsWrittenAsDeclared) {
  ASSERT_EQ(roster.DeclareActionArea(1, _V(5, 0, 2.2), 5, 1, "action_clickOk.wav", nullptr), 1);
  const ActionAreaEntry *e = entry(base, 1);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->position.x, 5);
  EXPECT_EQ(e->position.z, 2.2);
  EXPECT_EQ(e->radius, 5);
  EXPECT_EQ(e->enabled, 1);
  EXPECT_STREQ(e->soundFile, "action_clickOk.wav");
  EXPECT_EQ(e->label[0], '\0');
  EXPECT_EQ(roster.DeclaredAreaCount(), 1);
}

TEST_F(CrewAreas, DeclaringAnIdAgainRewritesItsEntry) {
  const int count = table->entryCount;
  ASSERT_EQ(roster.DeclareActionArea(1, _V(5, 0, 2.2), 5, 1, "first.wav", "First"), 1);
  ASSERT_EQ(roster.DeclareActionArea(1, _V(1, 2, 3), 2, 0, nullptr, "Second"), 1);
  EXPECT_EQ(entriesOf(base), 1);
  EXPECT_EQ(roster.DeclaredAreaCount(), 1);
  EXPECT_EQ(table->entryCount, count + 1);
  const ActionAreaEntry *e = entry(base, 1);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->position.y, 2);
  EXPECT_EQ(e->radius, 2);
  EXPECT_EQ(e->enabled, 0);
  EXPECT_EQ(e->soundFile[0], '\0') << "a missing sound file leaves the field empty";
  EXPECT_STREQ(e->label, "Second");
}

TEST_F(CrewAreas, ARosterDeclaresAtMostThirtyOneAreas) {
  for (int id = 1; id <= 31; ++id)
    ASSERT_EQ(roster.DeclareActionArea(id, _V(0, 0, id), 1, 1, "a.wav", nullptr), 1) << "area " << id;
  EXPECT_EQ(roster.DeclareActionArea(32, _V(0, 0, 32), 1, 1, "a.wav", nullptr), 0);
  EXPECT_EQ(entriesOf(base), 31);
  EXPECT_EQ(roster.DeclaredAreaCount(), 31);
}

TEST_F(CrewAreas, TextsAreCutToTheirFields) {
  const std::string sound(120, 's');
  const std::string label(60, 'L');
  ASSERT_EQ(roster.DeclareActionArea(1, _V(5, 0, 2.2), 5, 1, sound.c_str(), label.c_str()), 1);
  const ActionAreaEntry *e = entry(base, 1);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(std::string(e->soundFile), sound.substr(0, 98)) << "a new entry keeps 98";
  EXPECT_EQ(std::string(e->label), label.substr(0, 50));

  ASSERT_EQ(roster.DeclareActionArea(1, _V(5, 0, 2.2), 5, 1, sound.c_str(), label.c_str()), 1);
  EXPECT_EQ(std::string(e->soundFile), sound.substr(0, 99)) << "a rewritten entry keeps 99";
  EXPECT_EQ(std::string(e->label), label.substr(0, 51));

  EXPECT_EQ(roster.SetActionAreaText(1, label.c_str()), 1);
  EXPECT_EQ(std::string(e->label), label.substr(0, 50));
  for (size_t i = 50; i < sizeof e->label; ++i) EXPECT_EQ(e->label[i], '\0') << "label byte " << i;
  EXPECT_EQ(roster.SetActionAreaText(1, nullptr), 1);
  EXPECT_EQ(e->label[0], '\0');
}

TEST_F(CrewAreas, EnableAndLabelNeedTheBindingAndAnOwnArea) {
  EXPECT_EQ(roster.SetActionAreaEnabled(1, 0), 0) << "not bound yet";
  EXPECT_EQ(roster.SetActionAreaText(1, "x"), 0);
  ASSERT_EQ(roster.DeclareActionArea(1, _V(5, 0, 2.2), 5, 1, "a.wav", nullptr), 1);
  EXPECT_EQ(roster.SetActionAreaEnabled(2, 0), 0) << "no area 2";
  EXPECT_EQ(roster.SetActionAreaEnabled(1, 7), 1);
  EXPECT_EQ(entry(base, 1)->enabled, 7);

  CrewRoster other;
  OBJHANDLE hut = world.place("Hut", "Hut", 20, 0);
  setUpLikeMill(other, hut, 1);
  ASSERT_EQ(other.DeclareActionArea(2, _V(0, 0, 0), 3, 1, "a.wav", nullptr), 1);
  EXPECT_EQ(other.SetActionAreaEnabled(1, 0), 0) << "area 1 is Base's";
  EXPECT_EQ(entry(base, 1)->enabled, 7);
}

TEST_F(CrewAreas, AnActivationIsPolledOnceByItsOwnerOnly) {
  EXPECT_EQ(roster.PollActionArea(), -1) << "not bound yet";
  ASSERT_EQ(roster.DeclareActionArea(1, _V(5, 0, 2.2), 5, 1, "a.wav", nullptr), 1);
  OBJHANDLE hut = world.place("Hut", "Hut", 20, 0);

  table->activatedVessel = hut;
  table->activatedId = 4;
  EXPECT_EQ(roster.PollActionArea(), -1);
  EXPECT_EQ(table->activatedVessel, hut) << "another vessel's event stays";
  EXPECT_EQ(table->activatedId, 4);

  table->activatedVessel = base;
  table->activatedId = 1;
  EXPECT_EQ(roster.PollActionArea(), 1);
  EXPECT_EQ(table->activatedVessel, nullptr);
  EXPECT_EQ(table->activatedId, 0);
  EXPECT_EQ(roster.PollActionArea(), -1);
}

// The table as memory shared with a module built apart: each field read
// back as raw bytes where it lies. In a 32-bit process (the preset
// linux-x86) that is the crew add-on's own layout; a 64-bit build keeps the
// same order with pointer-sized handles, wherever the shared header puts it.
size_t FieldAt(size_t offset32, size_t offset64) { return sizeof(void *) == 4 ? offset32 : offset64; }

struct RawField {
  const char *name;
  size_t offset;  // from the start of the table
  enum { Int, Number, OwnerHandle, Text } kind;
  double value;
  const char *text;
};

void ExpectRawField(const ActionStructure *table, const RawField &f, OBJHANDLE owner) {
  SCOPED_TRACE(f.name);
  const unsigned char *at = reinterpret_cast<const unsigned char *>(table) + f.offset;
  int32_t i = 0;
  double d = 0;
  OBJHANDLE h = nullptr;
  switch (f.kind) {
    case RawField::Int: std::memcpy(&i, at, sizeof i); EXPECT_EQ(i, static_cast<int32_t>(f.value)); break;
    case RawField::Number: std::memcpy(&d, at, sizeof d); EXPECT_EQ(d, f.value); break;
    case RawField::OwnerHandle: std::memcpy(&h, at, sizeof h); EXPECT_EQ(h, f.value ? owner : nullptr); break;
    case RawField::Text: EXPECT_STREQ(reinterpret_cast<const char *>(at), f.text); break;
  }
}

TEST_F(CrewAreas, TheTableIsSharedAtItsPublishedOffsets) {
  ASSERT_EQ(roster.DeclareActionArea(7, _V(5, 0, 2.2), 5, 1, "action_clickOk.wav", "Mill"), 1);
  ASSERT_EQ(&table->entries[0], entry(base, 7)) << "the first free entry";
  using E = ActionAreaEntry;
  const RawField declared[] = {
      {"inUse", FieldAt(0, offsetof(E, inUse)), RawField::Int, 1, nullptr},
      {"vessel", FieldAt(4, offsetof(E, vessel)), RawField::OwnerHandle, 1, nullptr},
      {"position.x", FieldAt(8, offsetof(E, position)), RawField::Number, 5, nullptr},
      {"position.z", FieldAt(24, offsetof(E, position) + 16), RawField::Number, 2.2, nullptr},
      {"radius", FieldAt(32, offsetof(E, radius)), RawField::Number, 5, nullptr},
      {"id", FieldAt(40, offsetof(E, id)), RawField::Int, 7, nullptr},
      {"enabled", FieldAt(44, offsetof(E, enabled)), RawField::Int, 1, nullptr},
      {"soundFile", FieldAt(48, offsetof(E, soundFile)), RawField::Text, 0, "action_clickOk.wav"},
      {"label", FieldAt(148, offsetof(E, label)), RawField::Text, 0, "Mill"},
      {"entryCount", FieldAt(968968, offsetof(ActionStructure, entryCount)), RawField::Int, 1, nullptr},
  };
  for (const RawField &f : declared) ExpectRawField(table, f, base);

  // The crew module writes the activation; the roster takes it and clears it.
  std::string error;
  ASSERT_TRUE(simhost::crewEva(*world.sim, "Base", 5, 0, 2.2, error)) << error;
  ASSERT_TRUE(simhost::crewActivate(*world.sim, "Base", error)) << error;
  const size_t activatedVessel = FieldAt(968972, offsetof(ActionStructure, activatedVessel));
  const size_t activatedId = FieldAt(968976, offsetof(ActionStructure, activatedId));
  ExpectRawField(table, {"activatedVessel", activatedVessel, RawField::OwnerHandle, 1, nullptr}, base);
  ExpectRawField(table, {"activatedId", activatedId, RawField::Int, 7, nullptr}, base);
  EXPECT_EQ(roster.PollActionArea(), 7);
  ExpectRawField(table, {"activatedVessel taken", activatedVessel, RawField::OwnerHandle, 0, nullptr}, base);
  ExpectRawField(table, {"activatedId taken", activatedId, RawField::Int, 0, nullptr}, base);
}

TEST(CrewAreasRefused, WithoutAReadyRoster) {
  CrewWorld world;
  world.start();
  CrewRoster roster;
  EXPECT_EQ(roster.DeclareActionArea(1, _V(5, 0, 2.2), 5, 1, "a.wav", nullptr), 0);
  ASSERT_EQ(roster.Init(world.vessel("Base")), 1);
  EXPECT_EQ(roster.DeclareActionArea(1, _V(5, 0, 2.2), 5, 1, "a.wav", nullptr), 0);
  EXPECT_FALSE(roster.BoundToActionTable());
}

TEST(CrewAreasRefused, WhenTheCrewModuleDoesNotLoad) {
  CrewWorld world({.brokenCrewModule = true});
  world.start();
  CrewRoster roster;
  setUpLikeMill(roster, world.vessel("Base"), 1);
  EXPECT_EQ(roster.DeclareActionArea(1, _V(5, 0, 2.2), 5, 1, "a.wav", nullptr), 0);
  EXPECT_FALSE(roster.BoundToActionTable());
  EXPECT_EQ(roster.PollActionArea(), -1);
  EXPECT_EQ(roster.SetActionAreaEnabled(1, 1), 0);
}

struct OldModuleCase {
  const char *name;
  TreeOptions tree;
};

void PrintTo(const OldModuleCase &c, std::ostream *os) { *os << c.name; }

class CrewAreasOldModule : public testing::TestWithParam<OldModuleCase> {};

TEST_P(CrewAreasOldModule, DeclaresNoArea) {
  if (!InFreshProcess()) return;
  CrewWorld world(GetParam().tree);
  world.start();
  CrewRoster roster;
  setUpLikeMill(roster, world.vessel("Base"), 1);
  EXPECT_TRUE(roster.ModuleOutdated());
  EXPECT_EQ(roster.DeclareActionArea(1, _V(5, 0, 2.2), 5, 1, "a.wav", nullptr), 0);
  EXPECT_FALSE(roster.BoundToActionTable());
  EXPECT_EQ(roster.PollActionArea(), -1);
}

INSTANTIATE_TEST_SUITE_P(Crew, CrewAreasOldModule,
                         testing::Values(OldModuleCase{"Version15", {.version = "1.5\n"}},
                                         OldModuleCase{"NoVersionFile", {.versionFile = false}}),
                         [](const testing::TestParamInfo<OldModuleCase> &info) {
                           return std::string(info.param.name);
                         });

// The table is shared with other modules; whatever its count says, the
// roster stays inside its 2000 entries.
struct CountCase {
  const char *name;
  int entryCount;
  int countAfterDeclaring;
  int enableResult;
};

void PrintTo(const CountCase &c, std::ostream *os) { *os << c.name; }

class CrewAreasSharedCount : public testing::TestWithParam<CountCase> {};

TEST_P(CrewAreasSharedCount, NeverLeadsOutsideTheTable) {
  if (!InFreshProcess()) return;
  const CountCase &c = GetParam();
  CrewWorld world;
  world.start();
  CrewRoster roster;
  setUpLikeMill(roster, world.vessel("Base"), 1);
  ActionStructure *table = world.actionTable();
  ASSERT_NE(table, nullptr);
  // Another module's areas fill the first entries.
  for (int i = 0; i < 10; ++i) {
    table->entries[i].inUse = 1;
    table->entries[i].id = 1;
  }
  table->entryCount = c.entryCount;

  ASSERT_EQ(roster.DeclareActionArea(1, _V(5, 0, 2.2), 5, 1, "a.wav", nullptr), 1);
  EXPECT_EQ(table->entries[10].vessel, world.vessel("Base")) << "the first free entry";
  EXPECT_EQ(table->entryCount, c.countAfterDeclaring);
  EXPECT_EQ(roster.SetActionAreaEnabled(1, 0), c.enableResult);
  EXPECT_EQ(roster.SetActionAreaText(1, "label"), c.enableResult);
  // A search for an area the vessel lacks runs to the end of what it trusts.
  EXPECT_EQ(roster.SetActionAreaEnabled(99, 0), 0);
  EXPECT_EQ(roster.SetActionAreaText(99, "label"), 0);
}

INSTANTIATE_TEST_SUITE_P(Crew, CrewAreasSharedCount,
                         testing::Values(CountCase{"InUse", 10, 11, 1}, CountCase{"TooSmall", 5, 6, 0},
                                         CountCase{"AboveTheTable", 2001, 2002, 1},
                                         CountCase{"FarAbove", 1000000, 1000001, 1},
                                         CountCase{"Largest", INT_MAX, INT_MAX, 1},
                                         CountCase{"Negative", -1, 0, 0},
                                         CountCase{"Smallest", INT_MIN, INT_MIN + 1, 0}),
                         [](const testing::TestParamInfo<CountCase> &info) { return std::string(info.param.name); });

TEST(CrewProcess, AFullTableTakesNoNewArea) {
  if (!InFreshProcess()) return;
  CrewWorld world;
  world.start();
  CrewRoster roster;
  setUpLikeMill(roster, world.vessel("Base"), 1);
  ActionStructure *table = world.actionTable();
  ASSERT_NE(table, nullptr);
  // Every entry taken by an area of another module's living vessel.
  static int otherVessel = 0;
  for (ActionAreaEntry &e : table->entries) {
    e.inUse = 1;
    e.vessel = &otherVessel;
  }
  table->entryCount = ACTION_AREA_ENTRIES;
  EXPECT_EQ(roster.DeclareActionArea(1, _V(5, 0, 2.2), 5, 1, "a.wav", nullptr), 0);
  EXPECT_EQ(roster.DeclaredAreaCount(), 0);
  EXPECT_EQ(table->entryCount, ACTION_AREA_ENTRIES);
  EXPECT_TRUE(roster.BoundToActionTable()) << "a failed declaration keeps the binding";
}

// Vessels made and destroyed through a long session leave their areas in
// the table: they stay in use but name no vessel, and once no entry is free
// a new vessel takes the first of them instead of going without an area.
TEST(CrewProcess, AreasOfVesselsThatAreGoneAreTakenWhenTheTableIsFull) {
  if (!InFreshProcess()) return;
  CrewWorld world;
  world.start();
  ActionStructure *table = world.actionTable();
  ASSERT_NE(table, nullptr);
  OBJHANDLE hut = world.place("Hut", "Hut", 30, 0);
  int goneIndex = -1;
  {
    CrewRoster gone;
    setUpLikeMill(gone, hut, 1);
    ASSERT_EQ(gone.DeclareActionArea(1, _V(5, 0, 2.2), 5, 1, "a.wav", "Gone"), 1);
    for (int i = 0; i < ACTION_AREA_ENTRIES; ++i)
      if (table->entries[i].inUse == 1 && table->entries[i].vessel == hut) goneIndex = i;
    ASSERT_GE(goneIndex, 0);
  }
  const ActionAreaEntry &left = table->entries[goneIndex];
  EXPECT_EQ(left.inUse, 1) << "the entry stays in use";
  EXPECT_EQ(left.vessel, nullptr) << "and names no vessel";
  EXPECT_EQ(left.enabled, 0);

  // Every other entry is taken by areas of living vessels.
  static int otherModule = 0;
  for (ActionAreaEntry &e : table->entries) {
    if (e.inUse == 1) continue;
    e.inUse = 1;
    e.vessel = &otherModule;
    e.id = 1;
  }
  table->entryCount = ACTION_AREA_ENTRIES;

  CrewRoster roster;
  OBJHANDLE base = world.vessel("Base");
  setUpLikeMill(roster, base, 1);
  ASSERT_EQ(roster.DeclareActionArea(1, _V(5, 0, 2.2), 5, 1, "b.wav", "Work"), 1);
  EXPECT_EQ(table->entries[goneIndex].vessel, base);
  EXPECT_STREQ(table->entries[goneIndex].label, "Work");
  EXPECT_EQ(table->entryCount, ACTION_AREA_ENTRIES) << "the entry was counted already";
  EXPECT_EQ(roster.DeclaredAreaCount(), 1);
  EXPECT_EQ(roster.SetActionAreaEnabled(1, 0), 1);
  // Now nothing is left to take.
  EXPECT_EQ(roster.DeclareActionArea(2, _V(0, 0, 0), 5, 1, "c.wav", nullptr), 0);
}

}  // namespace
