// The crew module's shared table of action areas.
//
// The crew add-on's module ("Modules\Ummu.dll") exports
// GetActionStructureAdress, which returns the address of one ActionStructure
// that stays valid for the life of the process. Vessels declare the spheres
// that a walking crew member can activate in its entries; the module writes
// the last activation into activatedVessel/activatedId, and the owning
// vessel takes it from there and clears both fields.
//
// The layout is a binary contract with a module built separately, so it is
// fixed for the 32-bit process the add-ons were made for (little-endian,
// offsets in bytes, asserted below). In a 64-bit build the two handle fields
// are pointer-sized and everything else keeps its order with natural
// alignment; both sides of such a build share this header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "OrbiterAPI.h"

const int ACTION_AREA_ENTRIES = 2000;
const int ACTION_AREA_SOUND_CHARS = 100;
const int ACTION_AREA_LABEL_CHARS = 52;

#if UINTPTR_MAX == 0xFFFFFFFFu
// A 32-bit compiler may align doubles to 8 (the Windows one does); the
// table's doubles sit at 4-byte boundaries inside 484-byte entries.
#define ACTION_STRUCTURE_32BIT_LAYOUT 1
#pragma pack(push, 4)
#endif

struct ActionAreaEntry {
  int32_t inUse;      // 1 when taken, 0 when free
  OBJHANDLE vessel;   // owner vessel
  VECTOR3 position;   // area centre, owner's vessel frame, m
  double radius;      // m, at least 1
  int32_t id;         // chosen by the owner, unique per vessel
  int32_t enabled;    // the owner's enabled value; 0 hides the area
  char soundFile[ACTION_AREA_SOUND_CHARS];  // played on activation, zero-filled
  char label[ACTION_AREA_LABEL_CHARS];      // shown for the area, zero-filled
  unsigned char moduleReserved[284];        // the crew module's own
};

struct ActionStructure {
  ActionAreaEntry entries[ACTION_AREA_ENTRIES];
  unsigned char moduleReserved[968];  // the crew module's own
  int32_t entryCount;                 // entries in use
  OBJHANDLE activatedVessel;          // vessel whose area was activated last; 0 when none
  int32_t activatedId;                // id of that area
};

#ifdef ACTION_STRUCTURE_32BIT_LAYOUT
#pragma pack(pop)

static_assert(sizeof(OBJHANDLE) == 4, "handles are 32 bits in a 32-bit process");
static_assert(offsetof(ActionAreaEntry, inUse) == 0);
static_assert(offsetof(ActionAreaEntry, vessel) == 4);
static_assert(offsetof(ActionAreaEntry, position) == 8);
static_assert(offsetof(ActionAreaEntry, radius) == 32);
static_assert(offsetof(ActionAreaEntry, id) == 40);
static_assert(offsetof(ActionAreaEntry, enabled) == 44);
static_assert(offsetof(ActionAreaEntry, soundFile) == 48);
static_assert(offsetof(ActionAreaEntry, label) == 148);
static_assert(offsetof(ActionAreaEntry, moduleReserved) == 200);
static_assert(sizeof(ActionAreaEntry) == 484);

static_assert(offsetof(ActionStructure, entries) == 0);
static_assert(offsetof(ActionStructure, moduleReserved) == 968000);
static_assert(offsetof(ActionStructure, entryCount) == 968968);
static_assert(offsetof(ActionStructure, activatedVessel) == 968972);
static_assert(offsetof(ActionStructure, activatedId) == 968976);
#endif

static_assert(sizeof(ActionAreaEntry::vessel) == sizeof(void *));
static_assert(sizeof(ActionStructure::activatedVessel) == sizeof(void *));
static_assert(sizeof(ActionAreaEntry::position) == 3 * sizeof(double));

// The crew module's export: no arguments, the table's address or null.
typedef ActionStructure *(*GetActionStructureAdressFunc)();
