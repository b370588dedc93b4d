#include "shared/script.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "world/text.h"

namespace simhost::command {

namespace {

struct VerbForm {
  ScriptVerb verb;
  const char *word;
  int minArgs, maxArgs;
  const char *usage;  // the arguments, as shown when a line has too few or too many
};

constexpr VerbForm kVerbs[] = {
    {ScriptVerb::Key, "key", 1, 1, "[shift+][ctrl+][rshift+][rctrl+]KEY"},
    {ScriptVerb::Focus, "focus", 1, 1, "VESSEL"},
    {ScriptVerb::Warp, "warp", 1, 1, "FACTOR"},
    {ScriptVerb::Pause, "pause", 1, 1, "on|off"},
    {ScriptVerb::Hud, "hud", 1, 1, "on|off"},
    {ScriptVerb::Place, "place", 5, 6, "NAME CLASS NEAR X Z [HEADING]"},
    {ScriptVerb::Delete, "delete", 1, 1, "NAME"},
    {ScriptVerb::Mass, "mass", 2, 2, "NAME KG"},
    {ScriptVerb::Attach, "attach", 2, 2, "CHILD PARENT"},
    {ScriptVerb::Detach, "detach", 1, 1, "CHILD"},
    {ScriptVerb::AfcMode, "afcmode", 2, 2, "NAME BITS"},
    {ScriptVerb::Eva, "eva", 4, 4, "VESSEL X Y Z"},
    {ScriptVerb::Activate, "activate", 1, 1, "VESSEL"},
    {ScriptVerb::Save, "save", 1, 1, "FILE"},
    {ScriptVerb::Fault, "fault", 1, 3,
     "create-fails [CLASS|*] [N] | mesh-fails MESH | file-vanishes PATH | file-unopenable PATH | crew-table-full | "
     "crew-count N | clear"},
    {ScriptVerb::Stop, "stop", 0, 0, ""},
};

const VerbForm *findVerb(std::string_view word) {
  for (const VerbForm &form : kVerbs) {
    if (word == form.word) return &form;
  }
  return nullptr;
}

// "key, focus, ..., stop": every verb, as the table holds them.
std::string verbList() {
  std::string list;
  for (const VerbForm &form : kVerbs) {
    if (!list.empty()) list += ", ";
    list += form.word;
  }
  return list;
}

// A plain decimal number: digits with an optional fraction, optionally
// signed. No exponents, hex floats, "inf" or "nan": script times and
// positions are written by people, and strtod's wider syntax would only
// hide typing errors.
bool parseDecimal(std::string_view text, bool allowSign, double &value) {
  size_t i = 0;
  if (allowSign && i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  }
  if (digits == 0 || i != text.size()) return false;
  std::string copy(text);
  value = std::strtod(copy.c_str(), nullptr);
  return std::isfinite(value);
}

// Decimal or 0x hexadecimal, within 32 bits.
bool parseBits(std::string_view text, DWORD &bits) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 10) return false;
  unsigned long long value = 0;
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    int digit;
    if (std::isdigit(u)) {
      digit = c - '0';
    } else if (base == 16 && std::isxdigit(u)) {
      digit = std::toupper(u) - 'A' + 10;
    } else {
      return false;
    }
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
  }
  if (value > 0xFFFFFFFFull) return false;
  bits = static_cast<DWORD>(value);
  return true;
}

bool parseOnOff(std::string_view text, bool &on) {
  if (text == "on") return on = true, true;
  if (text == "off") return on = false, true;
  return false;
}

std::string inQuotes(std::string_view text) { return "\"" + std::string(text) + "\""; }

// A whole number, optionally signed, within 32 bits.
bool parseWhole(std::string_view text, long long low, long long high, double &value) {
  double parsed = 0;
  if (!parseDecimal(text, true, parsed) || text.find('.') != std::string_view::npos) return false;
  if (parsed < static_cast<double>(low) || parsed > static_cast<double>(high)) return false;
  value = parsed;
  return true;
}

std::string readFault(const std::vector<std::string_view> &args, ScriptEvent &event) {
  const std::string_view kind = args[0];
  event.name = kind;
  const size_t extra = args.size() - 1;
  if (kind == "create-fails") {
    event.className = extra >= 1 ? std::string(args[1]) : "*";
    event.value = -1;
    if (extra >= 2 && (!parseWhole(args[2], 1, 1000000000, event.value)))
      return "fault create-fails needs N as a whole number of failures from 1, not " + inQuotes(args[2]);
    return {};
  }
  if (kind == "mesh-fails" || kind == "file-vanishes" || kind == "file-unopenable") {
    if (extra != 1) return "fault " + std::string(kind) + " needs one " + (kind == "mesh-fails" ? "MESH" : "PATH");
    event.file = args[1];
    return {};
  }
  if (kind == "crew-count") {
    if (extra != 1 || !parseWhole(args[1], INT32_MIN, INT32_MAX, event.value))
      return "fault crew-count needs N as a whole number (32 bits)";
    return {};
  }
  if (kind == "crew-table-full" || kind == "clear") {
    if (extra != 0) return "fault " + std::string(kind) + " takes no more arguments";
    return {};
  }
  return "fault needs one of create-fails, mesh-fails, file-vanishes, file-unopenable, crew-table-full, crew-count, "
         "clear, not " + inQuotes(kind);
}

// Fills the verb's fields from its arguments; returns an empty string or
// what is wrong.
std::string readArguments(const std::vector<std::string_view> &args, ScriptEvent &event) {
  switch (event.verb) {
    case ScriptVerb::Key: {
      std::string error;
      if (!parseKeyChord(args[0], event.key, error)) return error;
      return {};
    }
    case ScriptVerb::Focus:
    case ScriptVerb::Delete:
    case ScriptVerb::Detach:
    case ScriptVerb::Activate:
      event.name = args[0];
      return {};
    case ScriptVerb::Warp:
      if (!parseDecimal(args[0], false, event.value) || event.value <= 0)
        return "warp needs a time acceleration above 0, not " + inQuotes(args[0]);
      return {};
    case ScriptVerb::Pause:
    case ScriptVerb::Hud:
      if (!parseOnOff(args[0], event.on)) return std::string(scriptVerbName(event.verb)) + " needs on or off, not " + inQuotes(args[0]);
      return {};
    case ScriptVerb::Place:
      event.name = args[0];
      event.className = args[1];
      event.near = args[2];
      if (!parseDecimal(args[3], true, event.x)) return "place needs a number of metres for X, not " + inQuotes(args[3]);
      if (!parseDecimal(args[4], true, event.z)) return "place needs a number of metres for Z, not " + inQuotes(args[4]);
      if (args.size() > 5 && !parseDecimal(args[5], true, event.heading))
        return "place needs a number of degrees for HEADING, not " + inQuotes(args[5]);
      return {};
    case ScriptVerb::Mass:
      event.name = args[0];
      if (!parseDecimal(args[1], false, event.value)) return "mass needs a number of kilograms >= 0, not " + inQuotes(args[1]);
      return {};
    case ScriptVerb::Attach:
      event.name = args[0];
      event.other = args[1];
      return {};
    case ScriptVerb::AfcMode:
      event.name = args[0];
      if (!parseBits(args[1], event.bits))
        return "afcmode needs BITS as a whole number (decimal or 0x hex, 32 bits), not " + inQuotes(args[1]);
      return {};
    case ScriptVerb::Eva:
      event.name = args[0];
      if (!parseDecimal(args[1], true, event.x) || !parseDecimal(args[2], true, event.y) ||
          !parseDecimal(args[3], true, event.z)) {
        return "eva needs X Y Z in metres of the vessel's frame, not " + inQuotes(args[1]) + " " + inQuotes(args[2]) +
               " " + inQuotes(args[3]);
      }
      return {};
    case ScriptVerb::Save:
      event.file = args[0];
      return {};
    case ScriptVerb::Fault:
      return readFault(args, event);
    case ScriptVerb::Stop:
      return {};
  }
  return "unhandled verb";
}

// A whole-line comment tells the story of the event below it; a blank line
// ends the story.
void collectComment(std::string_view line, std::string &story) {
  size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string_view::npos || line[first] != '#') {
    story.clear();
    return;
  }
  std::string_view words = line.substr(first + 1);
  size_t from = words.find_first_not_of(" \t");
  size_t to = words.find_last_not_of(" \t\r");
  if (from == std::string_view::npos) return;
  if (!story.empty()) story += ' ';
  story.append(words.substr(from, to - from + 1));
}

// Reads one line; returns false when it holds no event. error is set when
// the line is wrong.
bool parseLine(std::string_view line, ScriptEvent &event, std::string &error) {
  size_t hash = line.find('#');
  if (hash != std::string_view::npos) line = line.substr(0, hash);
  std::vector<std::string_view> words = simhost::text::words(line);
  if (words.empty()) return false;
  if (!parseDecimal(words[0], false, event.time)) {
    error = "the line must start with a time in seconds (a decimal number >= 0), not " + inQuotes(words[0]);
    return false;
  }
  if (words.size() < 2) {
    error = "nothing to do at " + std::string(words[0]) + " s: a verb must follow the time";
    return false;
  }
  const VerbForm *form = findVerb(words[1]);
  if (form == nullptr) {
    error = "unknown verb " + inQuotes(words[1]) + " (verbs: " + verbList() + ")";
    return false;
  }
  event.verb = form->verb;
  std::vector<std::string_view> args(words.begin() + 2, words.end());
  int count = static_cast<int>(args.size());
  if (count < form->minArgs || count > form->maxArgs) {
    error = std::string(form->word) + (form->maxArgs == 0 ? " takes no arguments" : std::string(" takes ") + form->usage) +
            ", not " + std::to_string(count) + (count == 1 ? " argument" : " arguments");
    return false;
  }
  error = readArguments(args, event);
  if (!error.empty()) return false;
  size_t actionStart = static_cast<size_t>(words[1].data() - line.data());
  size_t actionEnd = static_cast<size_t>(words.back().data() + words.back().size() - line.data());
  event.action = std::string(line.substr(actionStart, actionEnd - actionStart));
  return true;
}

// Events fire in file order: a time earlier than one above it would fire
// late, and silently, so it is refused.
std::string timeGoesBack(double time, double latestTime, int latestLine) {
  char text[200];
  std::snprintf(text, sizeof text, "the time %g s comes before %g s of line %d: a script's times may not go back",
                time, latestTime, latestLine);
  return text;
}

}  // namespace

const char *scriptVerbName(ScriptVerb verb) {
  for (const VerbForm &form : kVerbs) {
    if (form.verb == verb) return form.word;
  }
  return "?";
}

bool parseScript(std::string_view text, const std::string &fileName, std::vector<ScriptEvent> &events,
                 std::vector<std::string> &errors) {
  std::vector<ScriptEvent> parsed;
  std::vector<std::string> problems;
  int lineNumber = 0;
  size_t start = 0;
  std::string story;  // comment lines right above the next event
  double latestTime = 0;  // of the events so far, and the line it is on
  int latestLine = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    ++lineNumber;
    std::string_view line = text.substr(start, end - start);
    ScriptEvent event;
    std::string error;
    if (parseLine(line, event, error)) {
      event.line = lineNumber;
      event.comment = std::move(story);
      story.clear();
      if (event.time < latestTime) {
        problems.push_back(fileName + ":" + std::to_string(lineNumber) + ": " +
                           timeGoesBack(event.time, latestTime, latestLine));
      } else {
        latestTime = event.time;
        latestLine = event.line;
        parsed.push_back(std::move(event));
      }
    } else if (!error.empty()) {
      problems.push_back(fileName + ":" + std::to_string(lineNumber) + ": " + error);
    } else {
      collectComment(line, story);
    }
    start = end + 1;
  }
  if (!problems.empty()) {
    errors = std::move(problems);
    return false;
  }
  events = std::move(parsed);
  return true;
}

}  // namespace simhost::command
