// The command line of `simhost play`, opened with ":": a line of text
// edited in place (arrows, Home, End, Backspace, Delete), with the lines
// entered before it a key away (Up, Down), and what an entered line asks.
//
// A line holds one script verb with its arguments, as a script writes it
// after the time ("eva Mill 5 0 2.2", "key shift+C"), or "quit". A line the
// script parser refuses gets the script parser's message, without a file
// and line to name.
#pragma once

#include <string>
#include <vector>

#include "shared/script.h"

namespace simhost::command {

class CommandLine {
public:
  enum class Outcome { Editing, Entered, Cancelled };

  bool isOpen() const { return open_; }
  void open();
  // A terminal key (a character or a curses key code) while open. Entered:
  // the line is in entered(), and in the history when not empty.
  Outcome key(int key);

  const std::string &text() const { return text_; }
  size_t cursor() const { return cursor_; }
  const std::string &entered() const { return entered_; }

private:
  void recall(int step);

  bool open_ = false;
  std::string text_, entered_;
  size_t cursor_ = 0;
  std::vector<std::string> history;
  size_t recalled = 0;  // history.size(): the line being typed
  std::string typed;    // that line, kept while the history is looked through
};

struct PlayCommand {
  enum Kind { Nothing, Quit, Action, Bad } kind = Nothing;
  ScriptEvent event;  // Action: the verb and its arguments; its time is the caller's
  std::string error;  // Bad: what is wrong
};

PlayCommand parseCommandLine(const std::string &line);

}  // namespace simhost::command
