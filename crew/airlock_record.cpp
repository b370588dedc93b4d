// Airlock records and their process-wide table.
#include "airlock_record.h"
#include "host_extras.h"

namespace {

const char AIRLOCK_ATTACHMENT_ID[] = "UMmu";
const char CREW_MODULE_FILE[] = "modules\\UMmu.dll";
const int32_t UNPUBLISHED_SEAT_NUMBER = 1000;

AirlockRecord airlockRecords[AIRLOCK_RECORD_COUNT];
const CrewRoster *airlockOwners[AIRLOCK_RECORD_COUNT];

bool ValidIndex(int index) { return index >= 0 && index < AIRLOCK_RECORD_COUNT; }

// A record serves a roster while that roster holds it with a vessel
// interface; a record left without one by a failed Init serves nobody.
bool ServesAnotherRoster(int index, const CrewRoster *roster) {
  return airlockOwners[index] != nullptr && airlockOwners[index] != roster &&
         airlockRecords[index].HasVesselInterface();
}

bool CrewModuleFilePresent() {
  FILE *file = hostOpenFile(CREW_MODULE_FILE, "rb");
  if (!file) return false;
  std::fclose(file);
  return true;
}

}  // namespace

void AirlockRecord::Clear() {
  vessel = nullptr;
  vesselHandle = nullptr;
  attachment = nullptr;
  doorState = 0;
  xMin = xMax = yMin = yMax = zMin = zMax = 0.0f;
  auxValue = UNPUBLISHED_SEAT_NUMBER;
  freeSeats = UNPUBLISHED_SEAT_NUMBER;
}

int AirlockRecord::Reset(OBJHANDLE handle) {
  // Forgets any point published before; it stays on its vessel.
  Clear();
  vesselHandle = handle;
  if (!CrewModuleFilePresent()) return -999;
  if (!handle) return -1;
  vessel = oapiGetVesselInterface(handle);
  return vessel ? 1 : -1;
}

int AirlockRecord::Define(int door, float xMinimum, float xMaximum, float yMinimum, float yMaximum,
                          float zMinimum, float zMaximum) {
  if (xMaximum < xMinimum || yMaximum < yMinimum || zMaximum < zMinimum) return -1;
  if (door != 0 && door != 1) return -1;
  if (!vessel) return -1;
  doorState = door;
  xMin = xMinimum;
  xMax = xMaximum;
  yMin = yMinimum;
  yMax = yMaximum;
  zMin = zMinimum;
  zMax = zMaximum;
  Publish();
  return 1;
}

int AirlockRecord::SetFreeSeats(int seats) {
  if (!attachment || !vessel) return -1;
  freeSeats = seats;
  Publish();
  return 1;
}

int AirlockRecord::SetAuxValue(int value) {
  if (!attachment || !vessel) return -1;
  auxValue = value;
  Publish();
  return 1;
}

void AirlockRecord::Publish() {
  // The crew add-on reads nine numbers out of the point's three vectors.
  const VECTOR3 position = _V(xMin, xMax, yMin);
  const VECTOR3 direction = _V(yMax, zMin, zMax);
  const VECTOR3 rotation = _V(doorState, auxValue, freeSeats);
  if (!attachment)
    attachment = vessel->CreateAttachment(false, position, direction, rotation, AIRLOCK_ATTACHMENT_ID, false);
  else
    vessel->SetAttachmentParams(attachment, position, direction, rotation);
}

int ClaimAirlockRecord(const CrewRoster *roster, int preferredIndex) {
  int index = preferredIndex;
  if (!ValidIndex(index) || ServesAnotherRoster(index, roster)) {
    index = -1;
    for (int i = 0; i < AIRLOCK_RECORD_COUNT && index < 0; ++i)
      if (!ServesAnotherRoster(i, roster)) index = i;
  }
  if (index < 0) return -1;
  airlockOwners[index] = roster;
  return index;
}

AirlockRecord *OwnedAirlockRecord(int index, const CrewRoster *roster) {
  if (!ValidIndex(index) || !roster || airlockOwners[index] != roster) return nullptr;
  return &airlockRecords[index];
}

void ReleaseAirlockRecord(int index, const CrewRoster *roster) {
  if (!ValidIndex(index) || !roster || airlockOwners[index] != roster) return;
  airlockOwners[index] = nullptr;
  // Nothing may act through the vessel of a roster that is gone.
  airlockRecords[index].Clear();
}
