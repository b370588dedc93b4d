// The exports of the stand-in crew module, Modules/UMmu.dll.
//
// GetActionStructureAdress is the crew add-on's own: the shared table of
// action areas (host/ActionStructure.h), one for the life of the process.
// The others are the stand-in's, for simhost to drive the walking crew:
//   UMmuEva         puts a crew member outside the vessel at (x, y, z) of its
//                   frame; one walker per vessel, a new EVA moves it.
//                   1 done, 0 for a null vessel or a position that is not
//                   finite.
//   UMmuActivate    the walker outside the vessel activates the nearest
//                   enabled area of that vessel whose sphere holds it: the
//                   table's activatedVessel/activatedId then name it. Returns
//                   the area's id, or -1 when no walker is out there or no
//                   area is in reach (the table is left as it was).
//   UMmuCrewOutside 1 with the walker's position in position (may be null)
//                   when a crew member is outside the vessel, else 0.
//   opcDeleteVessel the simulator's notice that a vessel is destroyed: its
//                   walker is gone with it.
//   UMmuReadAirlock reads the vessel's published "UMmu" attachment point
//                   back into the airlock box (xMin, xMax, yMin, yMax, zMin,
//                   zMax), the door state, the second number and the free
//                   seats. 1 read, 0 when the vessel publishes none.
//   UMmuFaultTable  injects a fault into the shared table, for reliability
//                   tests: mode 1 fills every free entry, and every entry
//                   left by a vessel that is gone, with a filler area (a
//                   full table), mode 2 sets entryCount to count
//                   (a corrupted count), mode 0 takes both back (the filler
//                   entries freed, entryCount recounted). 1 done, 0 for an
//                   unknown mode.
// simhost binds them by name (simhost/crew_module.cpp); the typedefs are
// the types it binds them with.
#pragma once

#include "ActionStructure.h"
#include "Orbitersdk.h"

DLLCLBK ActionStructure *GetActionStructureAdress();
DLLCLBK int UMmuEva(OBJHANDLE vessel, double x, double y, double z);
DLLCLBK int UMmuActivate(OBJHANDLE vessel);
DLLCLBK int UMmuCrewOutside(OBJHANDLE vessel, double position[3]);
DLLCLBK void opcDeleteVessel(OBJHANDLE vessel);
DLLCLBK int UMmuReadAirlock(OBJHANDLE vessel, double box[6], int *door, int *aux, int *freeSeats);
DLLCLBK int UMmuFaultTable(int mode, int count);

typedef int (*UMmuEvaFunc)(OBJHANDLE, double, double, double);
typedef int (*UMmuActivateFunc)(OBJHANDLE);
typedef int (*UMmuCrewOutsideFunc)(OBJHANDLE, double *);
typedef int (*UMmuReadAirlockFunc)(OBJHANDLE, double *, int *, int *, int *);
typedef int (*UMmuFaultTableFunc)(int, int);
