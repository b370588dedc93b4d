// The mill's cockpit modes. A surface installation has no panel and no
// virtual cockpit: the simulator is told so, and each mode only sets where
// the camera looks by default.
#include "calvane.h"

namespace {

// Directions as the camera takes them, not normalised.
const VECTOR3 GenericCockpitDirection = {{-0.5, -0.5, 0.0}};
const VECTOR3 PanelDirection = {{0.0, 0.0, -1.0}};
const VECTOR3 VirtualCockpitDirection = {{0.0, -0.5, -0.5}};

}  // namespace

bool Calvane::clbkLoadGenericCockpit() {
  SetCameraDefaultDirection(GenericCockpitDirection);
  oapiSetDefNavDisplay(0);
  oapiSetDefRCSDisplay(0);
  return false;
}

bool Calvane::clbkLoadPanel(int /*id*/) {
  SetCameraDefaultDirection(PanelDirection);
  return true;
}

bool Calvane::clbkLoadVC(int /*id*/) {
  SetCameraDefaultDirection(VirtualCockpitDirection);
  oapiVCRegisterHUD(&vcHudSpec);
  return false;
}
