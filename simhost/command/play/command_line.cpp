#include "play/command_line.h"

#include <curses.h>

#include "world/text.h"

namespace simhost::command {

namespace {

constexpr int kEscape = 27;
// The name the parser's messages give the line; cut off again before the
// message is shown.
constexpr const char *kLineName = "command";
const std::string kMessagePrefix = std::string(kLineName) + ":1: ";

bool isEnter(int key) { return key == '\n' || key == '\r' || key == KEY_ENTER; }
bool isBackspace(int key) { return key == KEY_BACKSPACE || key == 127 || key == 8; }

}  // namespace

void CommandLine::open() {
  open_ = true;
  text_.clear();
  cursor_ = 0;
  recalled = history.size();
  typed.clear();
}

CommandLine::Outcome CommandLine::key(int key) {
  if (isEnter(key)) {
    open_ = false;
    entered_ = text_;
    if (!text_.empty() && (history.empty() || history.back() != text_)) history.push_back(text_);
    return Outcome::Entered;
  }
  if (key == kEscape) {
    open_ = false;
    return Outcome::Cancelled;
  }
  if (isBackspace(key)) {
    if (cursor_ > 0) text_.erase(--cursor_, 1);
  } else if (key == KEY_DC) {
    if (cursor_ < text_.size()) text_.erase(cursor_, 1);
  } else if (key == KEY_LEFT) {
    if (cursor_ > 0) --cursor_;
  } else if (key == KEY_RIGHT) {
    if (cursor_ < text_.size()) ++cursor_;
  } else if (key == KEY_HOME) {
    cursor_ = 0;
  } else if (key == KEY_END) {
    cursor_ = text_.size();
  } else if (key == KEY_UP) {
    recall(-1);
  } else if (key == KEY_DOWN) {
    recall(+1);
  } else if (key >= ' ' && key < 127) {
    text_.insert(cursor_++, 1, static_cast<char>(key));
  }
  return Outcome::Editing;
}

void CommandLine::recall(int step) {
  if (step < 0 && recalled == 0) return;
  if (step > 0 && recalled >= history.size()) return;
  if (recalled == history.size()) typed = text_;
  recalled = step < 0 ? recalled - 1 : recalled + 1;
  text_ = recalled == history.size() ? typed : history[recalled];
  cursor_ = text_.size();
}

PlayCommand parseCommandLine(const std::string &line) {
  PlayCommand command;
  const std::string uncommented = line.substr(0, line.find('#'));
  const std::vector<std::string_view> words = simhost::text::words(uncommented);
  if (words.empty()) return command;
  if (words.size() == 1 && (words[0] == "quit" || words[0] == "q")) {
    command.kind = PlayCommand::Quit;
    return command;
  }
  std::vector<ScriptEvent> events;
  std::vector<std::string> errors;
  if (!parseScript("0 " + uncommented, kLineName, events, errors) || events.size() != 1) {
    command.kind = PlayCommand::Bad;
    command.error = errors.empty() ? "not a command" : errors.front();
    if (command.error.rfind(kMessagePrefix, 0) == 0) command.error.erase(0, kMessagePrefix.size());
    return command;
  }
  command.kind = PlayCommand::Action;
  command.event = std::move(events.front());
  return command;
}

}  // namespace simhost::command
