// The terminal of `simhost play` (ncurses): it reads the operator's keys
// and draws the session as it stands, from top to bottom:
//
//   the status line: scenario, simulation time, time acceleration, running
//     or paused, the focus vessel, the record file;
//   the HUD as last drawn, each text at its row (of the HUD's height / 60,
//     the unit vessels place their lines in), and the debug line;
//   the site map (map.h) and beside it, or below it on a narrow
//     terminal, the latest events as the timeline prints them;
//   the map's legend, the keys, and the command line or the last message.
//
// Everything is laid out again from the terminal's size at every draw, so
// a resized terminal is drawn anew at its next frame. One PlayScreen at a
// time; its destructor gives the terminal back as it was.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "play/site_shapes.h"
#include "simulation.h"

namespace simhost::command {

struct PlayPicture {
  std::string scenario;
  double simTime = 0, warp = 1;
  bool paused = false;
  std::string focus;
  std::string record;  // the record file, empty when not recording
  std::vector<Simulation::HudText> hud;
  int hudHeight = 0;
  std::string debug;
  SiteShapes site;
  const std::deque<std::string> *events = nullptr;  // oldest first
  bool commandOpen = false;
  std::string commandText;
  size_t commandCursor = 0;
  std::string message;  // the outcome of the last command, or a hint
};

class PlayScreen {
public:
  PlayScreen();
  ~PlayScreen();
  PlayScreen(const PlayScreen &) = delete;
  PlayScreen &operator=(const PlayScreen &) = delete;

  // The next key, waiting at most timeoutMs milliseconds; -1 when none
  // came. A resized terminal comes as a key of its own (KEY_RESIZE).
  int readKey(int timeoutMs);

  void draw(const PlayPicture &picture);
};

}  // namespace simhost::command
