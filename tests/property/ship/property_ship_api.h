// The property ship: a test vessel module (Modules/PropertyShip.dll, class
// "PropertyShip") carrying a CargoBay with ShipSlots slots and a CrewRoster
// with ShipSeats seats, set up in clbkSetClassCaps and fed the scenario lines
// in the ore mill's order (cargo reader, crew reader, then the host's own).
// The property tests drive the parts directly through this export.
#pragma once

#include "OrbiterAPI.h"

class CargoBay;
class CrewRoster;

const int ShipSlots = 6;
const int ShipSeats = 4;
const double ShipOwnMass = 3000.0;  // kg, set in clbkSetClassCaps

// The parts of the property ship behind handle; 0 when it is no such ship.
DLLCLBK int PropertyShipParts(OBJHANDLE vessel, CargoBay **bay, CrewRoster **roster);
using PropertyShipPartsFunc = int (*)(OBJHANDLE, CargoBay **, CrewRoster **);
