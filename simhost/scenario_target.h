// The reader's target of a load into the run: makes each ship of the file in
// the run's world, as a stand-in when the tree lacks its class, or holds it
// as read when simhost cannot place it; tells what it did as notes.
#pragma once

#include <map>
#include <string>

#include "files/scenario_file.h"
#include "files/ship_place.h"
#include "runtime.h"

namespace simhost {

class RunTarget final : public ScenarioTarget {
public:
  explicit RunTarget(Runtime &rt) : rt_(rt) {}

  void expectVessels(size_t count) override { rt_.world.reserve(count); }
  void setDate(double mjd) override;
  bool hasVessel(std::string_view name) override;
  void shipAhead(std::string_view name) override;
  bool makeVessel(const std::string &name, const std::string &className, ScenarioBlock &block,
                  std::string &why) override;
  void keepShipsGap(int line, std::vector<std::string> lines) override;
  bool joinAttachments(int &line, std::string &what) override;
  bool setFocus(std::string_view name) override;

private:
  // Reads the body the ship's STATUS line names, if the tree has its file;
  // false with the fault when the file is faulty.
  bool readBodyOf(const ShipPlace &place, std::string &why);
  // Why simhost cannot place the ship in its world; empty when it can.
  std::string whyHeld(const std::string &className, const ShipPlace &place, bool standIn);
  void hold(const std::string &name, const std::string &className, const ScenarioBlock &block,
            const std::string &why);
  void holdAttached(VesselRecord &child, const char *parentIs);
  // Notes the block's lines that the vessel's save will not write.
  void noteDroppedLines(VesselRecord &v, const ScenarioBlock &block);
  void noteBelowGround(VesselRecord &v, const ScenarioBlock &block);
  bool classFileMissing(const std::string &className);

  Runtime &rt_;
  uint64_t lastSerial_ = 0;  // of the vessel the file made last
  std::map<std::string, bool, text::NoCaseLess> classMissing_;
  // The class asked about last, and whether its file is missing: a scenario
  // names the same class for ship after ship.
  std::string lastClass_;
  bool lastClassMissing_ = false;
};

}  // namespace simhost
