// The property ship: a CargoBay and a CrewRoster behind the host's callbacks.
#include <new>

#include "cargo_bay.h"
#include "crew_roster.h"
#include "property_ship_api.h"

namespace {

class PropertyShip : public VESSEL2 {
public:
  PropertyShip(OBJHANDLE handle, int flightModel) : VESSEL2(handle, flightModel) {}

  void clbkSetClassCaps(FILEHANDLE) override {
    SetSize(5);
    SetEmptyMass(ShipOwnMass);
    SetTouchdownPoints(_V(0, -0.5, 3), _V(-3, -0.5, -3), _V(3, -0.5, -3));
    bay.Init(GetHandle());
    for (int slot = 0; slot < ShipSlots; ++slot) bay.DeclareCargoSlot(slot, _V(-7, 0, 2.0 * slot), _V(0, 0, 0));
    bay.SetMaxCargoMass(10000000);
    bay.SetGrappleDistance(30);
    roster.Init(GetHandle());
    roster.DefineAirlock(0, -3.0f, 3.0f, 0.0f, 4.0f, -7.0f, 7.0f);
    roster.SetMaxSeats(ShipSeats);
  }

  void clbkLoadStateEx(FILEHANDLE scn, void *status) override {
    char *line;
    while (oapiReadScenario_nextline(scn, line)) {
      if (bay.LoadStateLine(line) == 1) continue;
      if (roster.LoadStateLine(line) == 1) continue;
      ParseScenarioLineEx(line, status);
    }
  }

  void clbkSaveState(FILEHANDLE scn) override {
    VESSEL2::clbkSaveState(scn);
    bay.SaveState(scn);
    roster.SaveState(scn);
  }

  void clbkVisualCreated(VISHANDLE visual, int) override { bay.VisualCreated(visual); }

  CargoBay bay;
  CrewRoster roster;
};

}  // namespace

DLLCLBK VESSEL *ovcInit(OBJHANDLE handle, int flightModel) {
  return new (std::nothrow) PropertyShip(handle, flightModel);
}

DLLCLBK void ovcExit(VESSEL *vessel) { delete static_cast<PropertyShip *>(vessel); }

DLLCLBK int PropertyShipParts(OBJHANDLE vessel, CargoBay **bay, CrewRoster **roster) {
  PropertyShip *ship = dynamic_cast<PropertyShip *>(vessel ? oapiGetVesselInterface(vessel) : nullptr);
  if (!ship) return 0;
  if (bay) *bay = &ship->bay;
  if (roster) *roster = &ship->roster;
  return 1;
}
