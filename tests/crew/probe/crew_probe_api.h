// The crew probe: a test vessel module (Modules/CrewProbe.dll, class
// "CrewProbe") that carries a CrewRoster the way the ore mill does, so the
// crew tests reach the roster through real host callbacks: clbkSetClassCaps
// sets the roster up with the mill's values, clbkLoadStateEx offers every
// line to it, clbkSaveState writes its crew lines, clbkPostStep polls area 1
// and updates the advisory, and ovcExit destroys it with the vessel.
//
// The probe has its own copy of the crew component (and so its own
// process-wide roster state); tests read it only through this export.
#pragma once

#include "OrbiterAPI.h"

struct CrewProbeState {
  int setupFlags;
  int memberCount;
  int seatCount;
  double crewMass;
  int airlockIndex;
  int instanceCount;     // successful Inits in the probe's copy
  int initResult;        // of the probe's Init in clbkSetClassCaps
  int activations;       // polls that returned an area id
  int lastActivatedId;
  int liveProbes;        // probe vessels alive in the process
  char firstMemberName[40];
  char firstMemberCode[5];
};

// Fills state for the probe vessel behind handle; 0 when it is no probe.
DLLCLBK int CrewProbeGetState(OBJHANDLE vessel, CrewProbeState *state);
typedef int (*CrewProbeGetStateFunc)(OBJHANDLE, CrewProbeState *);
