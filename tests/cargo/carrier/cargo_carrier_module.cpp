// CargoCarrier: a bare vessel module carrying a CargoBay with five slots,
// wired to the host the way the ore mill wires its bay. The cargo tests put
// it into the simulator trees they build, so that the bay's scenario block
// goes through the host's real scenario files; CargoCarrierBay gives them
// the bay of a carrier.
#include "Orbitersdk.h"
#include "cargo_bay.h"

namespace {

class CargoCarrier : public VESSEL2 {
public:
  CargoCarrier(OBJHANDLE vessel, int flightModel) : VESSEL2(vessel, flightModel) {}

  void clbkSetClassCaps(FILEHANDLE) override {
    bay.Init(GetHandle());
    for (int slot = 0; slot < 5; ++slot) {
      bay.DeclareCargoSlot(slot, _V(-7, 0, 2.0 * slot), _V(0, 0, 0));
    }
    bay.SetMaxCargoMass(10000000);
    bay.SetGrappleDistance(10);
    SetSize(5);
    SetEmptyMass(2000);
    SetTouchdownPoints(_V(0, -0.5, 3), _V(-3, -0.5, -3), _V(3, -0.5, -3));
  }

  void clbkLoadStateEx(FILEHANDLE scn, void *status) override {
    char *line;
    while (oapiReadScenario_nextline(scn, line)) {
      if (bay.LoadStateLine(line) == 1) {
        continue;
      }
      ParseScenarioLineEx(line, status);
    }
  }

  void clbkSaveState(FILEHANDLE scn) override {
    VESSEL2::clbkSaveState(scn);
    bay.SaveState(scn);
  }

  void clbkVisualCreated(VISHANDLE visual, int) override { bay.VisualCreated(visual); }

  CargoBay bay;
};

}  // namespace

DLLCLBK VESSEL *ovcInit(OBJHANDLE vessel, int flightModel) { return new CargoCarrier(vessel, flightModel); }

DLLCLBK void ovcExit(VESSEL *vessel) { delete static_cast<CargoCarrier *>(vessel); }

// The bay of a carrier vessel made by this module; null for other vessels.
DLLCLBK CargoBay *CargoCarrierBay(OBJHANDLE vessel) {
  VESSEL *v = oapiGetVesselInterface(vessel);
  CargoCarrier *carrier = dynamic_cast<CargoCarrier *>(v);
  return carrier ? &carrier->bay : nullptr;
}
