// Calvane: the vessel class of the KVT Duz Ovov MkI, a stationary ore mill
// on the lunar surface.
//
// The simulator creates one Calvane per vessel of the class through the
// module's entry points (module_entry.cpp) and then drives it only through
// the VESSEL2 callbacks overridden here. The mill's fields get their first
// values in clbkSetClassCaps, which the simulator calls once before any
// other callback; the values given at construction are the same, so a
// Calvane never holds indeterminate state.
//
// The class declares no destructor: ending a mill's life cleans nothing up
// in the mill or in what it embeds.
#pragma once

#include <cstdint>

#include "Orbitersdk.h"
#include "cargo_bay.h"
#include "crew_roster.h"
#include "hud_message.h"

class Calvane : public VESSEL2 {
public:
  // Most rock the tank holds, kg; more is lost at the next step.
  static constexpr double OreTankCapacity = 10000.0;

  // The base is bound to the vessel exactly as the simulator asked.
  Calvane(OBJHANDLE hVessel, int flightModel) noexcept;

  // ---- simulator callbacks, in the order of the base's slots

  // The mill's definition: first values, component set-up, HUD lines,
  // size, mass, camera, touchdown points and the four meshes. The
  // configuration file is not read. (definition.cpp)
  void clbkSetClassCaps(FILEHANDLE cfg) override;

  // Scenario block: host lines, crew block, cargo block, then the mill's
  // four keys. Loading offers each line to the cargo reader, the crew
  // reader and the mill's keys, and always to the host. (scenario_keys.cpp)
  void clbkSaveState(FILEHANDLE scn) override;
  void clbkLoadStateEx(FILEHANDLE scn, void *status) override;

  // One step of the working cycle. (cycle.cpp)
  void clbkPostStep(double simt, double simdt, double mjd) override;

  // New visuals get the cargo meshes' rotations. (components.cpp)
  void clbkVisualCreated(VISHANDLE vis, int refcount) override;

  // The three message lines, and the operator's keys. (hud_keys.cpp)
  void clbkDrawHUD(int mode, const HUDPAINTSPEC *hps, HDC hDC) override;
  int clbkConsumeBufferedKey(DWORD key, bool down, char *kstate) override;

  // Cockpit modes: a generic cockpit camera only; no panel or virtual
  // cockpit is offered. The ids are ignored. (cockpit.cpp)
  bool clbkLoadGenericCockpit() override;
  bool clbkLoadPanel(int id) override;
  bool clbkLoadVC(int id) override;

  // ---- the mill's state as it stands, for diagnostics and tests
  double OreTankLevel() const { return oreTankLevel; }
  std::uint8_t Autospawn() const { return autospawn; }
  std::int32_t SpawnTime() const { return spawnTime; }
  std::int32_t Stage() const { return stage; }
  std::int32_t SetDownIndex() const { return setDownIndex; }
  std::int32_t ReleaseTime() const { return releaseTime; }
  std::int32_t NextSpawnTime() const { return nextSpawnTime; }
  std::int32_t StepSecond() const { return stepSecond; }
  const HudMessage &ReleaseMessage() const { return releaseMessage; }
  const HudMessage &MillMessage() const { return millMessage; }
  const HudMessage &StatusMessage() const { return statusMessage; }
  const CargoBay &Cargo() const { return cargoBay; }
  const CrewRoster &Crew() const { return crewRoster; }

  // Turns 4000 kg of rock into an ore box in slot 0, set down later at the
  // next of the six set-down positions; run on the timer and by key 7.
  // The outcome shows in the mill's message line. (cycle.cpp)
  void ProduceOreCargo();

private:
  void SetFirstValues();
  void SetUpComponents();
  void ClearHudMessages();
  void DefineVessel() const;
  void DefineMeshes() const;
  void ReadMillKeys(const char *line);
  void HandleStage();
  void UpdateProcessingLine();
  void RunTimedProduction(double simt);
  void ReleaseProducedBox();
  void DrawHudLine(HudMessage &message, int y, HDC hDC);
  void ToggleProcessingByKey();

  // The two components, embedded for the vessel's whole life.
  CargoBay cargoBay;
  CrewRoster crewRoster;

  double oreTankLevel;        // mined rock in the tank, kg, 0 to OreTankCapacity
  std::uint8_t autospawn;     // automatic processing: 1 on, 0 off; other values do neither
  std::int32_t spawnTime;     // seconds between automatic productions
  std::int32_t stage;         // construction stage, 0 to 3; 3 is the finished mill
  std::int32_t setDownIndex;  // set-down position of the next ore box, 0 to 5
  std::int32_t releaseTime;   // whole simulation second from which a produced box is released
  std::int32_t nextSpawnTime; // whole simulation second of the next automatic production
  std::int32_t stepSecond;    // whole simulation second of the latest step

  HudMessage releaseMessage;  // drawn first: the release key's answer
  HudMessage millMessage;     // production and the processing key
  HudMessage statusMessage;   // processing status and automatic release

  // Handed to the simulator when it asks for a virtual cockpit; the mill
  // offers none, so the record stays as constructed: all zero.
  VCHUDSPEC vcHudSpec;
};
