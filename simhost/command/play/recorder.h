// The recorder of `simhost play`: what the operator did, written as a run
// script that `simhost run` replays to the same trace.
//
// Each action is written with the run clock's reading at the moment it was
// done (between two frames), exactly, so that `run`, which fires an event
// in the first frame at or after its time, fires it between the same two
// frames. No frame runs while `play` is paused, so that reading is the
// simulation time also then, and the times never go back. The header names
// the scenario and the frame length, and the command that replays it; a
// blank line parts it from the first action, so it is no story of that
// action. Every line is flushed as it is written, so
// a session that ends abruptly leaves what it did so far.
//
// The recorder also numbers the actions as the script's lines, with or
// without a file, so that a session's trace names the lines its replay
// will.
#pragma once

#include <fstream>
#include <string>

namespace simhost::command {

class PlayRecorder {
public:
  // Without a file (path empty) only counts lines. replayArguments: what
  // follows `simhost run` to replay the session, before --dt and --script.
  // False with the reason in error when the file cannot be written.
  bool open(const std::string &path, const std::string &scenarioShown, const std::string &replayArguments,
            double frameLength, std::string &error);

  // The script line the next action will be written on.
  int nextLine() const { return line + 1; }

  void write(double time, const std::string &action);

  // False when writing failed at some point.
  bool good() const { return !file.is_open() || static_cast<bool>(file); }

private:
  void put(const std::string &text);

  std::ofstream file;
  int line = 0;  // lines written so far
};

// A time as a script reads it back exactly: a plain decimal number with the
// fewest digits that give the same double.
std::string exactScriptTime(double seconds);

// A word as a POSIX shell reads it back, in single quotes.
std::string quotedForShell(const std::string &word);

}  // namespace simhost::command
