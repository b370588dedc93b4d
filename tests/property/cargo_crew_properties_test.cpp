// Random operation sequences on two ships carrying cargo and crew: after
// every operation the ships' empty masses, the bays' totals and the cargo in
// the world must add up, and a save read back must save the same file.
//
// The seed is fixed; KVT_PROPERTY_SEED picks another, KVT_PROPERTY_SCALE
// multiplies the number of sequences (longer runs), and
// KVT_PROPERTY_SEQUENCE=N replays the one sequence a failure named.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "property_world.h"
#include "ship/property_ship_api.h"

namespace property_test {
namespace {

const uint64_t DefaultSeed = 20261208;
// Four shards of a thousand sequences each, so that the test runner can
// spread them over the cores.
const int Shards = 4;
const int SequencesPerShard = 1000;
const int OperationsPerSequence = 16;

uint64_t EnvNumber(const char *name, uint64_t fallback) {
  const char *text = std::getenv(name);
  return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

// One sequence: its own generator, seeded from the run's seed and its
// number, so that any one of them can be replayed alone.
class Sequence {
public:
  Sequence(uint64_t seed, uint64_t number) : random_(seed * 1000003u + number) {}

  // Runs the sequence; empty when every invariant held, else the report.
  std::string Run(PropertyWorld &world) {
    std::string error;
    if (!world.start(error)) return "the starting scenario was refused: " + error;
    for (int step = 0; step < OperationsPerSequence; ++step) {
      const std::string op = Step(world);
      ops_.push_back(op);
      std::string broken = failure_.empty() ? world.checkInvariants() : failure_;
      if (!broken.empty()) return broken;
    }
    return "";
  }
  std::string Operations() const {
    std::ostringstream out;
    for (size_t i = 0; i < ops_.size(); ++i) out << "  " << i + 1 << ". " << ops_[i] << "\n";
    return out.str();
  }
  int operations() const { return static_cast<int>(ops_.size()); }

private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  std::string Step(PropertyWorld &world) {
    const int s = Pick(2);
    const std::string ship = ShipNames[s];
    switch (Pick(10)) {
      case 0:
      case 1:
        return Load(world, s);
      case 2:
      case 3:
        return Release(world, s);
      case 4:
      case 5:
        return Consume(world, s);
      case 6:
        return ChangeOwnMass(world, s);
      case 7:
        return AddCrew(world, s);
      case 8:
        return RemoveCrew(world, s);
      default:
        return SaveLoadSave(world);
    }
  }

  std::string Load(PropertyWorld &world, int s) {
    const CargoKind &kind = CargoKinds[Pick(2)];
    const int slot = Pick(3) == 0 ? -1 : Pick(ShipSlots);
    CargoBay *bay = world.bay(s);
    // Loading into a named slot that holds cargo replaces that cargo, as the
    // add-on does: the old cargo leaves the world.
    const double replaced = slot >= 0 && bay->slots[slot].occupied ? bay->slots[slot].mass : 0;
    const int result = bay->AddCargoByName(kind.type, slot);
    if (result == 1) {
      world.loadedMass += kind.mass;
      world.consumedMass += replaced;
    }
    return std::string(ShipNames[s]) + " load " + kind.type + " into slot " + std::to_string(slot) + " -> " +
           std::to_string(result);
  }

  std::string Release(PropertyWorld &world, int s) {
    const int slot = Pick(3) == 0 ? -1 : Pick(ShipSlots);
    const CargoCensus before = world.census();
    const int result = world.bay(s)->ReleaseCargo(slot);
    const CargoCensus after = world.census();
    const bool moved = after.aboard == before.aboard - 1 && after.free == before.free + 1;
    const bool kept = after.aboard == before.aboard && after.free == before.free;
    if ((result == 1 && !moved) || (result != 1 && !kept))
      failure_ = "release " + std::to_string(result) + " moved " + std::to_string(before.aboard - after.aboard) +
                 " cargo out of the slots and " + std::to_string(after.free - before.free) + " into the world";
    return std::string(ShipNames[s]) + (s == 0 ? " (landed)" : " (in flight)") + " release slot " +
           std::to_string(slot) + " -> " + std::to_string(result);
  }

  std::string Consume(PropertyWorld &world, int s) {
    const CargoKind &kind = CargoKinds[Pick(2)];
    const double kg = 100.0 * (1 + Pick(40));
    const double taken = world.bay(s)->ConsumeCargo(kind.description, kg);
    if (taken > 0) world.consumedMass += taken;
    std::ostringstream op;
    op << ShipNames[s] << " consume " << kg << " kg of \"" << kind.description << "\" -> " << taken;
    return op.str();
  }

  std::string ChangeOwnMass(PropertyWorld &world, int s) {
    const double delta = 50.0 * (Pick(41) - 20);
    std::string error;
    const double now = oapiGetEmptyMass(world.ship(s));
    if (world.ledger[s].ownMass + delta <= 0) return std::string(ShipNames[s]) + " own mass unchanged";
    if (!world.sim->setEmptyMass(ShipNames[s], now + delta, error)) failure_ = "set empty mass: " + error;
    world.ledger[s].ownMass += delta;
    std::ostringstream op;
    op << ShipNames[s] << " own mass " << (delta >= 0 ? "+" : "") << delta << " kg";
    return op.str();
  }

  std::string AddCrew(PropertyWorld &world, int s) {
    std::string error;
    std::string text = world.saveText(error);
    if (text.empty()) {
      failure_ = "save: " + error;
      return "save for a crew line";
    }
    const int weight = 5 + Pick(296);
    const std::string line = "  UMMUCREW " + std::string(Pick(2) ? "Eng" : "") + "-Crew_" +
                             std::string(1, static_cast<char>('A' + Pick(26))) + "-" + std::to_string(20 + Pick(50)) +
                             "-" + std::to_string(60 + Pick(40)) + "-" + std::to_string(weight);
    // Anywhere in the block: before, between or after the cargo lines.
    text = InsertIntoBlock(text, ShipNames[s], static_cast<size_t>(Pick(12)), line);
    if (!world.loadText(text, error)) failure_ = "load with a crew line: " + error;
    return std::string(ShipNames[s]) + " crew line added:" + line + " (save, edit, load)";
  }

  std::string RemoveCrew(PropertyWorld &world, int s) {
    std::string error;
    std::string text = world.saveText(error);
    if (text.empty()) {
      failure_ = "save: " + error;
      return "save to remove a crew line";
    }
    const size_t members = CrewWeightsInBlock(text, ShipNames[s]).size();
    if (members == 0) return std::string(ShipNames[s]) + " has no crew line to remove";
    const size_t n = static_cast<size_t>(Pick(static_cast<int>(members)));
    text = RemoveCrewLine(text, ShipNames[s], n);
    if (!world.loadText(text, error)) failure_ = "load without a crew line: " + error;
    return std::string(ShipNames[s]) + " crew line " + std::to_string(n + 1) + " removed (save, edit, load)";
  }

  std::string SaveLoadSave(PropertyWorld &world) {
    std::string error;
    const std::string first = world.saveText(error);
    if (first.empty()) {
      failure_ = "save: " + error;
      return "save";
    }
    if (!world.loadText(first, error)) {
      failure_ = "load of a saved file: " + error;
      return "save, load";
    }
    const std::string second = world.saveText(error);
    if (second != first) failure_ = "saved again, the file differs:\n--- first\n" + first + "--- second\n" + second;
    return "save, load, save";
  }

  std::mt19937_64 random_;
  std::vector<std::string> ops_;
  std::string failure_;
};

class CargoCrewProperties : public testing::TestWithParam<int> {};

TEST_P(CargoCrewProperties, EveryOperationKeepsMassesCountsAndSavesConsistent) {
  const uint64_t seed = EnvNumber("KVT_PROPERTY_SEED", DefaultSeed);
  const uint64_t scale = EnvNumber("KVT_PROPERTY_SCALE", 1);
  const uint64_t shard = static_cast<uint64_t>(GetParam());
  const char *only = std::getenv("KVT_PROPERTY_SEQUENCE");
  if (only && *only && shard != 0) GTEST_SKIP() << "replaying one sequence in the first shard";
  const uint64_t perShard = SequencesPerShard * scale;
  const uint64_t first = only && *only ? std::strtoull(only, nullptr, 10) : shard * perShard;
  const uint64_t count = only && *only ? 1 : perShard;

  PropertyWorld world;
  long operations = 0;
  for (uint64_t n = first; n < first + count; ++n) {
    Sequence sequence(seed, n);
    const std::string broken = sequence.Run(world);
    operations += sequence.operations();
    if (!broken.empty()) {
      FAIL() << "sequence " << n << " of seed " << seed << " broke an invariant: " << broken
             << "\noperations:\n" << sequence.Operations() << "replay: KVT_PROPERTY_SEED=" << seed
             << " KVT_PROPERTY_SEQUENCE=" << n << " test_property";
    }
  }
  std::printf("property: sequences %llu to %llu, %ld operations, seed %llu\n",
              static_cast<unsigned long long>(first), static_cast<unsigned long long>(first + count - 1), operations,
              static_cast<unsigned long long>(seed));
}

INSTANTIATE_TEST_SUITE_P(Shard, CargoCrewProperties, testing::Range(0, Shards));

}  // namespace
}  // namespace property_test
