#include "play/recorder.h"

#include <cerrno>
#include <charconv>
#include <cstring>

namespace simhost::command {

std::string exactScriptTime(double seconds) {
  char text[400];
  auto [end, ec] = std::to_chars(text, text + sizeof text, seconds, std::chars_format::fixed);
  if (ec != std::errc()) return "0";
  return std::string(text, end);
}

std::string quotedForShell(const std::string &word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool PlayRecorder::open(const std::string &path, const std::string &scenarioShown,
                        const std::string &replayArguments, double frameLength, std::string &error) {
  if (!path.empty()) {
    file.open(path, std::ios::binary | std::ios::trunc);
    if (!file) {
      error = "cannot write the record " + path + ": " + std::strerror(errno);
      return false;
    }
  }
  const std::string frame = exactScriptTime(frameLength);
  put("# Recorded by simhost play from " + scenarioShown + ", frames of " + frame + " s of real time.");
  put("# Replay: simhost run " + replayArguments + (replayArguments.empty() ? "" : " ") + "--dt " + frame +
      " --script " + quotedForShell(path.empty() ? "FILE" : path));
  put("");
  return true;
}

void PlayRecorder::write(double time, const std::string &action) { put(exactScriptTime(time) + " " + action); }

void PlayRecorder::put(const std::string &text) {
  ++line;
  if (file.is_open()) file << text << '\n' << std::flush;
}

}  // namespace simhost::command
