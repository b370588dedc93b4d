// The airlock records behind the vessels' published airlocks, and the
// process-wide table of 100 of them that all rosters share.
//
// A record publishes its vessel's airlock as one attachment point with the id
// "UMmu" whose three vectors carry nine numbers: position (xMin, xMax, yMin),
// direction (yMax, zMin, zMax), rotation (doorState, auxValue, freeSeats).
// The crew add-on reads them back from there.
//
// Rosters reach records only through ClaimAirlockRecord / OwnedAirlockRecord
// / ReleaseAirlockRecord, so a record acts for one living roster at a time:
// once another roster has claimed a record, the previous owner's calls find
// nothing, and a destroyed roster's record is free for the next one.
#pragma once

#include <cstdint>

#include "Orbitersdk.h"

const int AIRLOCK_RECORD_COUNT = 100;

class AirlockRecord {
public:
  // Results of Reset: 1 bound to the vessel's interface, -1 no interface,
  // -999 the crew module file is missing.
  int Reset(OBJHANDLE vessel);
  // 1 stored and published; -1 for inverted bounds, a door state other than
  // 0 or 1, or no vessel interface.
  int Define(int door, float xMinimum, float xMaximum, float yMinimum, float yMaximum, float zMinimum,
             float zMaximum);
  // 1 stored and published; -1 (nothing stored) before the point exists.
  int SetFreeSeats(int seats);
  int SetAuxValue(int value);

  bool HasVesselInterface() const { return vessel != nullptr; }
  void Clear();

private:
  void Publish();

  VESSEL *vessel;
  OBJHANDLE vesselHandle;
  ATTACHMENTHANDLE attachment;
  int32_t doorState;
  float xMin, xMax, yMin, yMax, zMin, zMax;
  int32_t auxValue;
  int32_t freeSeats;
};

class CrewRoster;

// The record index for a roster's Init: the count of successful Inits, as
// long as that record does not serve another living roster; otherwise the
// lowest record that serves none. -1 when every record serves a living
// roster. The roster becomes the record's owner.
int ClaimAirlockRecord(const CrewRoster *roster, int preferredIndex);
// The record at index when roster owns it, else null.
AirlockRecord *OwnedAirlockRecord(int index, const CrewRoster *roster);
// Gives the record back if roster owns it.
void ReleaseAirlockRecord(int index, const CrewRoster *roster);
