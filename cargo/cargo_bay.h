// CargoBay: the vessel's cargo handling in the conventions of the cargo
// add-on UCGO ("Universal Cars & Cargo").
//
// A cargo item of the add-on is a vessel of its own, of class
// "UCGO\Cargos\<type>", described by its cargo file
// "config\vessels\UCGO\Cargos\<type>.cfg". Aboard a vessel it is no vessel but a mesh: the bay offers 40
// slots, and slot n shows its cargo as the vessel's mesh n + 24. The bay
// loads cargo into a slot by type name, releases it again as a free cargo
// vessel (set down beside the vessel, or pushed away in flight), consumes
// free cargo lying nearby (or cargo aboard) by description and mass, and
// keeps the cargo aboard in the vessel's scenario block ("UCGO" lines).
// While cargo changes, the bay owns the vessel's empty mass: it is always
// the vessel's own mass (baseEmptyMass) plus the cargo aboard.
//
// Who calls what, and in which order (all on the simulator's one thread):
//   clbkSetClassCaps:  Init(own handle), then DeclareCargoSlot for every
//                      slot the vessel has, then the setters
//                      (SetMaxCargoMass, SetGrappleDistance,
//                      SetSlotMeshVisibilityMode) in any order.
//   clbkLoadStateEx:   LoadStateLine with every line, before the vessel's
//                      own readers; a result of 1 means "consumed".
//   clbkVisualCreated: VisualCreated(visual).
//   clbkPostStep:      AddCargoByName / ReleaseCargo / ConsumeCargo as the
//                      vessel needs, SetReleasePosition before producing
//                      cargo, and UpdateAdvisory once per step.
//   clbkSaveState:     SaveState(scenario file).
// Until Init has run the bay is inert, and it stays inert for the vessel's
// life when the add-on's marker file is missing (Init then starts a
// 30-second advisory in the simulator's debug line instead).
//
// Results. Operations returning int: 1 success, 0 refused (bay inactive,
// slot out of range or not usable, no vessel, file missing or not allowed).
// Loading adds -1 (cargo mass outside 0..10000 kg, or more cargo aboard than
// the vessel may carry) and -2 (cargo file lacks an entry, or its mesh cannot
// be loaded). Mass-taking operations return the kilograms taken, or -1 when
// nothing was taken or the call was refused. Callers compare with exact
// values; no operation writes a message about a failure.
//
// A slot index of -1 lets the bay choose (the lowest free declared slot for
// loading, the lowest releasable cargo for releasing); other indices outside
// 0..39 and setter values outside their ranges are ignored.
#pragma once

#include "Orbitersdk.h"

// One of the 40 slots of a CargoBay.
struct CargoSlot {
  int declared = 0;    // declared by the vessel; everything else needs it
  int occupied = 0;    // cargo aboard in this slot
  int releasable = 1;  // cargo in this slot may be released
  VECTOR3 position{};         // the cargo mesh's offset; flight releases start here
  VECTOR3 releasePosition{};  // where cargo is set down while the vessel is landed
  VECTOR3 rotation{};         // degrees about x, y and z of the cargo mesh
  char description[32] = "";  // at most 29 characters, from the cargo file
  double mass = 0;            // kg
  char cargoName[255] = "";   // the type name: cargo file name without folder and extension
  char forceName[21] = "";    // at most 7 characters: name prefix of the released vessel
  int meshVisibilityMode = 1;
};

// The free cargo vessel found nearest by CargoBay::FindNearestFreeCargo.
struct CargoSearchResult {
  double distance = 0;  // m
  double mass = 0;      // kg, when found
  OBJHANDLE handle = nullptr;
  VESSEL *vessel = nullptr;
};

class CargoBay {
public:
  static constexpr int SlotCount = 40;
  // Slot n's cargo is the vessel's mesh n + FirstSlotMesh.
  static constexpr int FirstSlotMesh = 24;
  static constexpr int SetupInitialised = 0x4995FFD3;
  static constexpr int SetupReady = 0x4995FFD4;
  // Heaviest cargo item a slot may hold, kg.
  static constexpr double MaxItemMass = 10000.0;
  // Cargo lines kept by a bay that is not ready: as many as a ready bay
  // could write (one per slot), each longer than any line it writes.
  static constexpr int KeptLineCount = SlotCount;
  static constexpr int KeptLineChars = 511;

  // ---- set-up and slots (cargo_bay.cpp)
  // 1 when the add-on is present and the bay is ready for slot
  // declarations; 0 otherwise (the bay then stays inert).
  int Init(OBJHANDLE vesselHandle);
  void DeclareCargoSlot(int slot, VECTOR3 meshPosition, VECTOR3 meshRotationDeg);
  void SetMaxCargoMass(double kg);            // 0..10000000
  void SetGrappleDistance(int metres);        // 3..10000
  void SetSlotMeshVisibilityMode(int slot, int mode);
  void ResetSlot(int slot);
  // Lays out the release points of all slots in rows of four around p.
  void SetReleasePosition(VECTOR3 p);
  // Turns an occupied slot's mesh in the visual (null: the current one).
  void ApplySlotRotation(int slot, VISHANDLE visual);
  void VisualCreated(VISHANDLE visual);

  // ---- the add-on advisory and set-up errors in the debug line (advisory.cpp)
  void UpdateAdvisory(const char *displayName);

  // ---- cargo files (cargo_files.cpp)
  // 1 when the UcDescription of the class's configuration file contains
  // the text (ignoring case), else 0.
  static int ClassDescriptionContains(const char *className, const char *text);
  // The first case-insensitive occurrence of needle (its first 21
  // characters) in haystack, or null.
  static const char *FindNoCase(const char *haystack, const char *needle);

  // ---- loading (loading.cpp)
  int AddCargoByName(const char *typeName, int slot);
  int PutCargoInSlot(const char *typeName, int slot);
  // The slot's occupied flag for a declared slot of an active bay, else 0.
  int GetSlotStatus(int slot) const;
  // Takes a change the vessel made to its own empty mass into the base.
  void SyncBaseEmptyMass();
  // Recounts cargoCount and cargoMassTotal over all slots but excludedSlot
  // (-1: over all slots).
  void RecountCargo(int excludedSlot = -1);

  // ---- releasing (release.cpp)
  int ReleaseCargo(int slot);
  // Turns the vessel's rotation matrix R into R x A, A the rotation by
  // angle (radians) about axis 0 (x), 1 (y) or 2 (z).
  static void RotateVesselAboutAxis(int axis, double angle, OBJHANDLE target);
  // Position to (radius, longitude, latitude), velocity to its rates.
  static void CartesianToPolar(VECTOR3 &position, VECTOR3 &velocity);

  // ---- consuming (consume.cpp)
  double ConsumeCargo(const char *description, double kg);
  double TakeCargoMass(const char *description, double kg);
  OBJHANDLE FindNearestFreeCargo(CargoSearchResult *result, const char *description);

  // ---- the scenario block (cargo_scenario.cpp)
  // A bay that is not ready writes back, in their order, the cargo lines it
  // was offered and could not read, so that no cargo is lost by opening and
  // saving a scenario where the add-on is missing.
  void SaveState(FILEHANDLE scn);
  // 1 when the line was a cargo line and has been taken, else 0 (the line
  // is then left unchanged for the vessel's other readers). A bay that is
  // not ready keeps a copy of each cargo line it is offered, up to
  // KeptLineCount lines of at most KeptLineChars characters; a line beyond
  // either bound is not kept.
  int LoadStateLine(char *line);
  // Appends text and a comma (a lone comma for an empty text).
  static void AppendItem(char *buffer, int capacity, const char *text);

  // ---- state; readable by the vessel, changed only through the operations
  CargoSlot slots[SlotCount];
  int addonPresent = 0;
  double grappleDistance = 50;
  double releasePushFactor = 0.05;
  int adjustEmptyMass = 1;
  int cargoCount = 0;
  double baseEmptyMass = -1;
  double cargoMassTotal = 0;
  double maxCargoMass = 1000000;
  OBJHANDLE vesselHandle = nullptr;
  VESSEL *vessel = nullptr;
  double advisoryUntil = -1;
  int setupState = 0;

private:
  static bool IsSlotIndex(int slot) { return static_cast<unsigned>(slot) < static_cast<unsigned>(SlotCount); }
  bool IsCountedCargo(const CargoSlot &s) const;
  // Sets the vessel's empty mass to base plus cargo, when the bay owns it.
  void ApplyEmptyMass();
  // Empties a slot whose cargo has left it: mesh removed, fields cleared,
  // totals and the vessel's empty mass brought up to date.
  void EmptySlot(int slot);
  int LoadScenarioItem(char *&cursor);
  void KeepUnreadLine(const char *line);
  void WriteKeptLines(FILEHANDLE scn);
  OBJHANDLE CreateLandedCargo(const CargoSlot &s, const char *name, const char *className);
  OBJHANDLE CreateFlyingCargo(const CargoSlot &s, VESSELSTATUS &status, const char *name, const char *className);
  double TakeFromCargoAboard(const char *description, double request);

  char keptLines[KeptLineCount][KeptLineChars + 1] = {};
  int keptLineCount = 0;
};
