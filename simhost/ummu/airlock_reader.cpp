// Reading a vessel's published airlock back, as the crew add-on sees it: an
// attachment point with the id "UMmu" whose position, direction and
// rotation carry (xMin, xMax, yMin), (yMax, zMin, zMax) and (door state,
// second number, free seats).
#include <cmath>
#include <cstring>

#include "ummu_exports.h"

namespace {

const char AIRLOCK_ATTACHMENT_ID[] = "UMmu";

ATTACHMENTHANDLE findAirlockPoint(const VESSEL &vessel) {
  const DWORD count = vessel.AttachmentCount(false);
  for (DWORD i = 0; i < count; ++i) {
    ATTACHMENTHANDLE point = vessel.GetAttachmentHandle(false, i);
    const char *id = point ? vessel.GetAttachmentId(point) : nullptr;
    if (id && std::strcmp(id, AIRLOCK_ATTACHMENT_ID) == 0) return point;
  }
  return nullptr;
}

// The published numbers are whole; anything else another publisher wrote
// is cut into range rather than trusted.
int wholeNumber(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(value);
}

}  // namespace

DLLCLBK int UMmuReadAirlock(OBJHANDLE vessel, double box[6], int *door, int *aux, int *freeSeats) {
  if (!vessel || !box || !door || !aux || !freeSeats) return 0;
  const VESSEL *v = oapiGetVesselInterface(vessel);
  if (!v) return 0;
  ATTACHMENTHANDLE point = findAirlockPoint(*v);
  if (!point) return 0;
  VECTOR3 position, direction, rotation;
  v->GetAttachmentParams(point, position, direction, rotation);
  box[0] = position.x;
  box[1] = position.y;
  box[2] = position.z;
  box[3] = direction.x;
  box[4] = direction.y;
  box[5] = direction.z;
  *door = wholeNumber(rotation.x);
  *aux = wholeNumber(rotation.y);
  *freeSeats = wholeNumber(rotation.z);
  return 1;
}
