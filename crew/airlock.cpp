// The roster's airlock and the stored EVA pose.
#include "airlock_record.h"
#include "crew_roster.h"

int CrewRoster::DefineAirlock(int door, float xMin, float xMax, float yMin, float yMax, float zMin, float zMax) {
  // Needs an Init that claimed a record, not a ready roster: this call is
  // what makes the roster ready.
  AirlockRecord *airlock = OwnAirlock();
  if (!airlock) return 0;
  if (airlock->Define(door, xMin, xMax, yMin, yMax, zMin, zMax) != 1) return 0;
  setupFlags |= CREW_SETUP_AIRLOCK;
  doorState = door;
  airlock->SetFreeSeats(seatCount);
  return 1;
}

int CrewRoster::SetEvaStartPose(const VECTOR3 &position, const VECTOR3 &rotation) {
  if (setupFlags != CREW_SETUP_READY) return 0;
  evaPosition = position;
  evaRotation = rotation;
  return 1;
}
