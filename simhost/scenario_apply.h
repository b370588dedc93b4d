// Scenario files and the run: loading one makes its vessels in the run's
// world, saving writes the world, each vessel's block by its module. The
// files themselves are read and written by files/scenario_file.h.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime.h"

namespace simhost {

// Loads a scenario file into an empty world. Vessels are made in file order
// as their blocks are read; a fault anywhere ends the load with
// "FILE:LINE: what is wrong", removes every vessel made so far and drops the
// events they caused, so a refused file leaves an empty world.
bool loadScenarioFile(Runtime &rt, const std::string &path, std::string &error);
// Writes the world as a scenario file and reports "saved". What was read
// and not understood (the description, other environment lines, unknown
// sections, a passive vessel's unknown lines) is written back as it came,
// so that loading a saved file and saving it again gives the same bytes.
bool saveScenarioFile(Runtime &rt, const std::string &path, std::string &error);
// The lines of a vessel's block as a save writes them, between NAME:CLASS
// and END, without their indentation.
std::vector<std::string> blockLines(Runtime &rt, VesselRecord &v);
// The same lines as written, indented and each ended by '\n', in room kept
// from one call to the next (Runtime::spareBlockText): an account of every
// vessel of a large world keeps none of them. Valid until the next call.
std::string_view blockText(Runtime &rt, VesselRecord &v);

}  // namespace simhost
