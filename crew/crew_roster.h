// CrewRoster: the vessel's crew component, following the conventions of the
// crew add-on "Universal MMU".
//
// It keeps the crew aboard, publishes the vessel's airlock as an attachment
// point with the id "UMmu", declares the vessel's action areas in the crew
// module's shared table (host/ActionStructure.h) and takes their activations,
// writes and reads the "UMMUCREW" lines of the vessel's scenario block, and
// advises the user through the debug text when the add-on is missing or old
// or when the vessel did not finish setting the roster up.
//
// Who calls it, in which order. The vessel embeds one roster by value for its
// whole life. In clbkSetClassCaps it calls Init with its own handle, then
// DefineAirlock, DeclareActionArea for each area, SetEvaStartPose and
// SetMaxSeats. Loading offers each scenario line to LoadStateLine; saving
// calls SaveState. Every step it may call SetActionAreaEnabled,
// SetActionAreaText and PollActionArea, and finally UpdateAdvisory with its
// display name. All calls come from the simulation thread.
//
// Results. 1 means done and 0 refused, unless an operation says otherwise:
// Init returns CREW_INIT_OK (1), CREW_INIT_NO_VESSEL (-1: null handle or no
// vessel interface), CREW_INIT_NO_AIRLOCK_RECORD (-2: all airlock records of
// the process belong to living vessels) or CREW_INIT_NO_CREW_MODULE (-999:
// "modules\UMmu.dll" is missing); PollActionArea returns the id of the
// activated area or -1. The roster writes no message about a refusal; set-up
// faults show only in its advisory.
//
// Readiness. Nothing but Init and DefineAirlock works before Init and
// DefineAirlock have both succeeded (SetupFlags() == 3), except that a roster
// that is not ready keeps the crew lines offered to it and writes them back
// when saved. The enable, label and poll calls need only the table binding
// made by DeclareActionArea.
//
// Process-wide state (kept for the life of the process, shared by all
// rosters): the count of successful Inits (held at 99), a table of 100
// airlock records and the cached crew module version. A roster owns its
// airlock record from its Init until its destruction or its next Init, and
// never acts through a record it does not own.
#pragma once

#include <cstdint>

#include "ActionStructure.h"
#include "Orbitersdk.h"

const int CREW_INIT_OK = 1;
const int CREW_INIT_NO_VESSEL = -1;
const int CREW_INIT_NO_AIRLOCK_RECORD = -2;
const int CREW_INIT_NO_CREW_MODULE = -999;

const int CREW_MEMBER_SLOTS = 102;
const int CREW_MAX_SEATS = 100;
const int CREW_NAME_CHARS = 40;
const int CREW_FUNCTION_CHARS = 5;
const int CREW_MAX_DECLARED_AREAS = 31;
// Crew lines kept by a roster that is not ready: as many as a roster could
// ever write (one per seat), each far longer than any line it writes.
const int CREW_KEPT_LINES = CREW_MAX_SEATS;
const int CREW_KEPT_LINE_CHARS = 255;

// Set-up flag bits.
const int32_t CREW_SETUP_INIT = 1;
const int32_t CREW_SETUP_AIRLOCK = 2;
const int32_t CREW_SETUP_READY = CREW_SETUP_INIT | CREW_SETUP_AIRLOCK;

struct CrewMember {
  char name[CREW_NAME_CHARS];  // at most 25 characters, letters, digits and blanks
  int32_t age;                 // 1 to 140
  int32_t pulse;               // 1 to 180
  double weight;               // kg, 5 to 300
  char functionCode[CREW_FUNCTION_CHARS];  // at most 4 characters, may be empty

  void Clear();
};

class CrewRoster {
public:
  CrewRoster();
  // Gives the airlock record back and retires the vessel's action areas.
  ~CrewRoster();
  CrewRoster(const CrewRoster &) = delete;
  CrewRoster &operator=(const CrewRoster &) = delete;

  // ---- set-up (roster_setup.cpp)
  int Init(OBJHANDLE vessel);
  int SetMaxSeats(int seats);
  // The add-on's version from "meshes\UMmu\ver.dtf", read once per process;
  // -1 when the file cannot be opened.
  static float ReadCrewModuleVersion();
  // The same file read now, whatever has been read before; 0 when its first
  // line holds no decimal number.
  static float ReadCrewModuleVersionFile();

  // ---- airlock and EVA pose (airlock.cpp)
  int DefineAirlock(int doorState, float xMin, float xMax, float yMin, float yMax, float zMin, float zMax);
  int SetEvaStartPose(const VECTOR3 &position, const VECTOR3 &rotation);

  // ---- action areas (action_areas.cpp)
  int DeclareActionArea(int id, const VECTOR3 &position, double radius, int enabled, const char *soundFile,
                        const char *label);
  int SetActionAreaEnabled(int id, int enabled);
  int SetActionAreaText(int id, const char *label);
  int PollActionArea();

  // ---- scenario lines (crew_lines.cpp)
  // A roster that is not ready writes back, in their order, the crew lines
  // it was offered and could not read (1 when it wrote any), so that no crew
  // is lost by opening and saving a scenario without the crew module.
  int SaveState(FILEHANDLE scn);
  // A roster that is not ready keeps a copy of each crew line it is offered,
  // up to CREW_KEPT_LINES lines of at most CREW_KEPT_LINE_CHARS characters
  // (a line beyond either bound is not kept), and still returns 0.
  int LoadStateLine(char *line);

  // ---- advisory (crew_advisory.cpp)
  void UpdateAdvisory(const char *displayName);

  // ---- what the roster holds
  int32_t SetupFlags() const { return setupFlags; }
  bool Ready() const { return setupFlags == CREW_SETUP_READY; }
  int MemberCount() const { return memberCount; }
  int SeatCount() const { return seatCount; }
  // Slots 0 to MemberCount() - 1; null outside them.
  const CrewMember *Member(int slot) const;
  double CrewMass() const { return crewMass; }
  int LoadMarker() const { return loadMarker; }
  int DoorState() const { return doorState; }
  const VECTOR3 &EvaPosition() const { return evaPosition; }
  const VECTOR3 &EvaRotation() const { return evaRotation; }
  OBJHANDLE VesselHandle() const { return vesselHandle; }
  // Index of the airlock record this roster owns; -1 for none.
  int AirlockIndex() const;
  bool BoundToActionTable() const { return actionTable != nullptr; }
  int DeclaredAreaCount() const { return declaredAreaCount; }
  double AdvisoryDeadline() const { return advisoryDeadline; }
  bool ModuleOutdated() const { return moduleOutdated != 0; }

  // Successful Inits in this process, held at 99.
  static int InstanceCount();
  // The cached crew module version; 0 until it has been read.
  static float CachedCrewModuleVersion();

  // Cuts blanks and every character that is not an ASCII letter or digit
  // into blanks, in place; the length does not change.
  static void SanitizeCrewName(char *text);

private:
  class AirlockRecord *OwnAirlock() const;
  bool BindActionTable();
  ActionAreaEntry *FindOwnArea(int id, int searchCount) const;
  void ResetCrewForLoading();
  int ReadCrewValue(const char *value, CrewMember &member) const;
  void AddLoadedMember(const CrewMember &member);
  void RetireActionAreas();
  void KeepUnreadLine(const char *line);
  int WriteKeptLines(FILEHANDLE scn) const;

  CrewMember members[CREW_MEMBER_SLOTS];
  int32_t setupFlags;
  int32_t memberCount;
  int32_t seatCount;
  double crewMass;
  int32_t loadMarker;
  int32_t crewMassOnVessel;
  int32_t doorState;
  VECTOR3 evaPosition;
  VECTOR3 evaRotation;
  OBJHANDLE vesselHandle;
  int32_t airlockIndex;
  ActionStructure *actionTable;
  int32_t declaredAreaCount;
  double advisoryDeadline;
  int32_t moduleOutdated;
  char keptLines[CREW_KEPT_LINES][CREW_KEPT_LINE_CHARS + 1];
  int32_t keptLineCount;
};
