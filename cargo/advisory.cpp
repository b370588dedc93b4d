// The bay's lines in the simulator's debug text: set-up errors of the
// vessel's code, and the 30-second advisory when the cargo add-on is
// missing. The advisory runs on system time, so it also ends while the
// simulation is paused.
#include <cmath>
#include <cstdio>

#include "cargo_bay.h"
#include "host_extras.h"

namespace {

// Where to get the add-on; a pointer to it rather than an address that
// could go stale.
const char *const AddonSource = "your Orbiter add-on repository";

void ShowDebugText(const char *text) {
  std::snprintf(oapiDebugString(), DEBUG_STRING_CAPACITY, "%s", text);
}

void ClearDebugText() { oapiDebugString()[0] = '\0'; }

void ShowAdvisory(const char *displayName, double now, double secondsLeft) {
  char *line = oapiDebugString();
  const size_t capacity = DEBUG_STRING_CAPACITY;
  const double shown = static_cast<float>(secondsLeft);
  if (secondsLeft > 5) {
    // Ten seconds of the compatibility note, then five of the promotion.
    if (std::fmod(now, 15.0) < 10) {
      std::snprintf(line, capacity,
                    "%s is compatible with \"Universal Cars & Cargo\" (UCGO) addon. Download at %s (%0.0f)",
                    displayName ? displayName : "", AddonSource, shown);
    } else {
      std::snprintf(line, capacity, "UCGO will push this addon one step further. (%0.0f)", shown);
    }
  } else if (std::fmod(now, 1.0) < 0.75) {
    // The last five seconds blink: 0.75 s on, 0.25 s off.
    std::snprintf(line, capacity, "Don't Miss universal Cars & Cargo for Orbiter (UCGO) (%0.0f)", shown);
  } else {
    ClearDebugText();
  }
}

}  // namespace

void CargoBay::UpdateAdvisory(const char *displayName) {
  if (addonPresent == 1 && setupState != SetupReady) {
    ShowDebugText(setupState == SetupInitialised
                      ? "UCGO SDK ERROR: You forgot to call DeclareCargoSlot() in your code. See Doc!"
                      : "UCGO SDK ERROR: You forgot to call Init() in your code. See doc !");
    return;
  }
  if (!(advisoryUntil > 0)) {
    return;
  }
  const double now = oapiGetSysTime();
  ShowAdvisory(displayName, now, advisoryUntil - now);
  if (advisoryUntil < now) {
    ClearDebugText();
    advisoryUntil = -1;  // never again for this vessel
  }
}
