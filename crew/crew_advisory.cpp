// The crew add-on advisory in the simulator's one-line debug text.
//
// An unfinished set-up shows every step. Otherwise, when Init found the
// add-on old or missing (or failed), a timed advisory runs for 20 s of
// system time: a 15 s cycle of the download text (10 s) and a second text
// (5 s), then 5 s of a blinking last text, then the line is cleared once.
#include <cmath>
#include <cstdio>

#include "crew_roster.h"
#include "host_extras.h"

namespace {

// Where the user gets the add-on; kept neutral, no web address.
const char CREW_ADDON_SOURCE[] = "your Orbiter add-on repository";

const double DOWNLOAD_CYCLE_SECONDS = 15.0;
const double DOWNLOAD_TEXT_SECONDS = 10.0;
const double BLINK_SECONDS = 5.0;
const double BLINK_HIDDEN_FROM = 0.75;

}  // namespace

void CrewRoster::UpdateAdvisory(const char *displayName) {
  char *debug = oapiDebugString();
  const size_t capacity = DEBUG_STRING_CAPACITY;
  if (!displayName) displayName = "";

  if (setupFlags != CREW_SETUP_READY) {
    std::snprintf(debug, capacity, "%s ERROR UMMU 2.0 not properly initialised in your code.", displayName);
    return;
  }
  if (advisoryDeadline <= 0.0) return;

  const double t = oapiGetSysTime();
  const double r = advisoryDeadline - t;
  // Shown as whole seconds counting down, at single precision.
  const double shown = static_cast<float>(r);
  if (r > BLINK_SECONDS) {
    if (std::fmod(t, DOWNLOAD_CYCLE_SECONDS) < DOWNLOAD_TEXT_SECONDS)
      std::snprintf(debug, capacity, "%s require \"Universal MMU\" ver 2.0 or higher. Download at %s (%0.0f)",
                    displayName, CREW_ADDON_SOURCE, shown);
    else if (moduleOutdated == 1)
      std::snprintf(debug, capacity, "Your version of UMMU is outdated (%0.0f)", shown);
    else
      std::snprintf(debug, capacity, "UMMU 2.0 will push this addon one step further. (%0.0f)", shown);
  } else {
    if (std::fmod(t, 1.0) >= BLINK_HIDDEN_FROM)
      debug[0] = '\0';
    else if (moduleOutdated == 1)
      std::snprintf(debug, capacity, "Your version of UMMU is outdated (%0.0f)", shown);
    else
      std::snprintf(debug, capacity, "Don't Miss Universal MMU 2.0 for Orbiter (UMMU) (%0.0f)", shown);
  }
  if (advisoryDeadline < t) {
    debug[0] = '\0';
    advisoryDeadline = -1.0;
  }
}
