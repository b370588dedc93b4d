// Run scripts of the simhost command: timed operator actions, one a line,
//
//   TIME VERB ARGS...      # comment
//
// TIME is simulation time in seconds (a decimal number, at least 0), and
// never less than the time of a line above it. The command fires the events
// in file order, each in the first frame at or after its time.
//
// parseScript is a pure function of the text: the run loop (run/run.h) calls it
// once before the simulation starts, and refuses the whole script when any
// line is wrong, so a run never stops half way through on a typing error.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shared/key_chords.h"

namespace simhost::command {

enum class ScriptVerb {
  Key, Focus, Warp, Pause, Hud, Place, Delete, Mass, Attach, Detach, AfcMode, Eva, Activate, Save, Stop, Fault
};

struct ScriptEvent {
  double time = 0;
  int line = 0;          // 1-based line number in the script file
  ScriptVerb verb = ScriptVerb::Stop;
  std::string action;    // the line from the verb on, as written, for the timeline
  std::string comment;   // the comment lines right above the event, joined: its story
  // The verb's arguments; which of them are used depends on the verb:
  //   key      key (the code and the modifier keys held with it)
  //   focus    name                     delete, detach: name
  //   warp     value                    mass: name, value (kg)
  //   pause    on                       hud: on
  //   place    name, className, near, x, z, heading (degrees, default 0)
  //   attach   name (child), other (parent)
  //   afcmode  name, bits
  //   eva      name, x, y, z            activate: name
  //   save     file
  //   fault    name: create-fails (className, "*" by default; value: times,
  //            -1 = until cleared), mesh-fails and file-vanishes,
  //            file-unopenable (file: the mesh or simulator path),
  //            crew-table-full, crew-count (value), clear
  std::string name, className, near, other, file;
  double value = 0, x = 0, y = 0, z = 0, heading = 0;
  bool on = false;
  DWORD bits = 0;
  KeyChord key;
};

// Parses the whole script. fileName is used only in messages. On success
// returns true with the events in file order. Otherwise returns false with
// one message per bad line, "FILE:LINE: what is wrong", in file order; a
// line whose time is earlier than a line's above it is a bad line.
bool parseScript(std::string_view text, const std::string &fileName, std::vector<ScriptEvent> &events,
                 std::vector<std::string> &errors);

// The verb's word as written in scripts ("afcmode").
const char *scriptVerbName(ScriptVerb verb);

}  // namespace simhost::command
