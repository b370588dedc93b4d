// Reading a scenario file: its sections in file order, each vessel's block
// handed to the target as it is read; a fault anywhere ends the reading
// with "FILE:LINE: what is wrong".

#include <algorithm>
#include <cstdio>
#include <utility>

#include "files/scenario_file.h"
#include "world/text.h"

namespace simhost {

namespace {

class ScenarioParser {
public:
  // lines view the file's bytes, which outlive the parser.
  ScenarioParser(std::string file, const ScenarioLines &lines, ScenarioMeta &meta, ScenarioTarget &target)
      : file_(std::move(file)), lines_(lines), meta_(meta), target_(target) {}

  bool run(std::string &error);

private:
  bool fail(size_t index, const std::string &what, std::string &error) {
    error = file_ + ":" + std::to_string(index + 1) + ": " + what;
    return false;
  }
  std::string_view trimmed(size_t i) const { return text::trim(lines_[i]); }
  // The index of the line that closes a section opened at begin; false when
  // the file ends first.
  bool findEnd(size_t begin, std::string_view endWord, size_t &end) const {
    for (size_t i = begin + 1; i < lines_.size(); ++i)
      if (trimmed(i) == endWord) {
        end = i;
        return true;
      }
    return false;
  }
  // The description, the environment, the focus and the ships are one part
  // each, however often the file opens them.
  void notePart(ScenarioPart part) {
    for (ScenarioPart p : meta_.order)
      if (p == part) return;
    addPart(part);
  }
  // The blank and comment lines read since the part before go with it.
  void addPart(ScenarioPart part) {
    meta_.order.push_back(part);
    meta_.gaps.push_back(std::move(loose_));
    loose_.clear();
  }
  static bool isLoose(std::string_view trimmedLine) { return trimmedLine.empty() || trimmedLine.front() == ';'; }
  bool readEnvironment(size_t begin, size_t end, std::string &error);
  bool readDate(size_t i, std::string &error);
  bool readFocus(size_t begin, size_t end, std::string &error);
  bool readShips(size_t begin, size_t &end, std::string &error);
  bool readShip(size_t &i, std::string &error);

  std::string file_;
  const ScenarioLines &lines_;
  std::string shipName_, shipClass_;  // of the ship being read
  ScenarioMeta &meta_;
  ScenarioTarget &target_;
  ScenarioBlock block_;  // the block being read, used again for each vessel
  std::string focusName_;
  size_t focusLine_ = 0;
  std::vector<std::string> loose_;  // blank and comment lines since the last part
};

bool ScenarioParser::run(std::string &error) {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].size() > kScenarioLineCapacity)
      return fail(i, "line too long (" + std::to_string(lines_[i].size()) + " characters, at most " +
                         std::to_string(kScenarioLineCapacity) + ")",
                  error);
  // A vessel's block ends with END: room for as many names.
  size_t blocks = 0;
  for (size_t k = 0; k < lines_.size(); ++k) blocks += text::iequals(trimmed(k), "END") ? 1 : 0;
  target_.expectVessels(blocks);
  size_t i = 0;
  while (i < lines_.size()) {
    std::string_view t = trimmed(i);
    size_t end = 0;
    if (isLoose(t)) {
      loose_.emplace_back(lines_[i]);
      ++i;
      continue;
    }
    if (t.substr(0, 6) != "BEGIN_") return fail(i, "unexpected line outside a section: " + std::string(t), error);
    // "BEGIN_MFD Left": the section's name is its first word.
    const std::string_view header = text::words(t)[0];
    const std::string name(header.substr(6));
    if (name.empty()) return fail(i, "bad section line: " + std::string(t), error);
    if (name == "SHIPS") {
      if (!readShips(i, end, error)) return false;
      notePart(ScenarioPart::Ships);
      i = end + 1;
      continue;
    }
    if (!findEnd(i, "END_" + name, end)) return fail(i, "missing END_" + name, error);
    if (name == "DESC") {
      for (size_t k = i + 1; k < end; ++k) meta_.description.emplace_back(lines_[k]);
      notePart(ScenarioPart::Description);
    } else if (name == "ENVIRONMENT") {
      if (!readEnvironment(i, end, error)) return false;
      notePart(ScenarioPart::Environment);
    } else if (name == "FOCUS") {
      if (!readFocus(i, end, error)) return false;
      notePart(ScenarioPart::Focus);
    } else {
      KeptSection section;
      for (size_t k = i; k <= end; ++k) section.lines.emplace_back(lines_[k]);
      meta_.sections.push_back(std::move(section));
      addPart(ScenarioPart::Kept);
    }
    i = end + 1;
  }
  meta_.trailing = std::move(loose_);
  int line = 0;
  std::string what;
  if (!target_.joinAttachments(line, what)) return fail(static_cast<size_t>(line > 0 ? line - 1 : 0), what, error);
  if (!target_.setFocus(focusName_)) return fail(focusLine_, "the focus names no vessel: " + focusName_, error);
  return true;
}

bool ScenarioParser::readEnvironment(size_t begin, size_t end, std::string &error) {
  for (size_t i = begin + 1; i < end; ++i) {
    std::string_view t = trimmed(i);
    meta_.environment.emplace_back(lines_[i]);
    if (t.empty()) continue;
    auto w = text::words(t);
    if (text::iequals(w[0], "System")) {
      if (w.size() != 2 || !text::iequals(w[1], "Sol")) return fail(i, "only System Sol is known", error);
    } else if (text::iequals(w[0], "Date")) {
      if (!readDate(i, error)) return false;
    }
  }
  return true;
}

// "Date MJD d", "Date JD d" or "Date JE y" (Julian epoch years); a Date
// line without a number takes the default date, and says so.
bool ScenarioParser::readDate(size_t i, std::string &error) {
  std::string_view t = trimmed(i);
  t = text::trim(t.substr(0, t.find(';')));
  auto w = text::words(t);
  const bool knownScale = w.size() >= 2 && (text::iequals(w[1], "MJD") || text::iequals(w[1], "JD") ||
                                            text::iequals(w[1], "JE"));
  if (w.size() == 1 || (w.size() == 2 && knownScale)) {
    meta_.note(static_cast<int>(i + 1), "",
               "the Date line gives no number: simhost uses its default date, MJD 51544.5 (1 January 2000, 12:00)");
    return true;
  }
  double value = 0;
  if (w.size() != 3 || !knownScale || !text::parseNumber(w[2], value))
    return fail(i, "Date needs MJD, JD or JE and a date number", error);
  double mjd = value;
  if (text::iequals(w[1], "JD")) mjd = value - 2400000.5;
  if (text::iequals(w[1], "JE")) mjd = kDefaultMjd + (value - 2000.0) * 365.25;
  if (mjd < 0 || mjd > 1e7) return fail(i, "Date needs MJD, JD or JE and a date number", error);
  target_.setDate(mjd);
  return true;
}

bool ScenarioParser::readFocus(size_t begin, size_t end, std::string &error) {
  for (size_t i = begin + 1; i < end; ++i) {
    std::string_view t = trimmed(i);
    meta_.focusLines.emplace_back(lines_[i]);
    if (t.empty()) continue;
    auto w = text::words(t);
    if (!text::iequals(w[0], "Ship")) continue;
    if (w.size() < 2) return fail(i, "the focus section takes Ship NAME", error);
    focusName_ = std::string(text::trim(t.substr(4)));
    focusLine_ = i;
  }
  return true;
}

bool ScenarioParser::readShips(size_t begin, size_t &end, std::string &error) {
  size_t i = begin + 1;
  std::vector<std::string> gap;
  size_t gapLine = 0;
  while (i < lines_.size()) {
    std::string_view t = trimmed(i);
    if (isLoose(t)) {
      if (gap.empty()) gapLine = i + 1;
      gap.emplace_back(lines_[i]);
      ++i;
      continue;
    }
    if (!gap.empty()) target_.keepShipsGap(static_cast<int>(gapLine), std::exchange(gap, {}));
    if (t == "END_SHIPS") {
      end = i;
      return true;
    }
    if (!readShip(i, error)) return false;
  }
  return fail(begin, "missing END_SHIPS", error);
}

bool ScenarioParser::readShip(size_t &i, std::string &error) {
  std::string_view t = trimmed(i);
  // "NAME" alone: the simulator takes the class to be the name.
  size_t colon = t.find(':');
  // Kept from ship to ship: their room is made once for all of them.
  std::string &name = shipName_, &cls = shipClass_;
  name.assign(text::trim(t.substr(0, colon)));
  if (colon == std::string_view::npos)
    cls.assign(name);
  else
    cls.assign(text::trim(t.substr(colon + 1)));
  if (name.empty() || cls.empty()) return fail(i, "a vessel line needs NAME:CLASS or NAME, not: " + std::string(t), error);
  if (target_.hasVessel(name)) return fail(i, "duplicate vessel name " + name, error);
  ScenarioBlock &block = block_;
  block.reset();
  block.file = file_;
  size_t j = i + 1;
  for (;; ++j) {
    const std::string_view l = j < lines_.size() ? trimmed(j) : std::string_view("END_SHIPS");
    if (l == "END_SHIPS") return fail(i, "missing END of vessel " + name, error);
    if (text::iequals(l, "END")) break;
    if (!l.empty()) block.lines.push_back({static_cast<int>(j + 1), l});
  }
  for (size_t k = i; k <= j; ++k) block.verbatim.push_back(lines_[k]);
  if (j + 1 < lines_.size()) {
    const std::string_view next = trimmed(j + 1);
    if (!next.empty() && !text::iequals(next, "END_SHIPS"))
      target_.shipAhead(text::trim(next.substr(0, next.find(':'))));
  }
  block.shipLine = block.currentLine = static_cast<int>(i + 1);
  std::string why;
  if (!target_.makeVessel(name, cls, block, why)) {
    error = block.error.empty() ? file_ + ":" + std::to_string(i + 1) + ": " + why : block.error;
    return false;
  }
  i = j + 1;
  return true;
}

}  // namespace

bool firstLineEndsInCrLf(std::string_view bytes) {
  const size_t end = bytes.find('\n');
  return end != std::string_view::npos && end > 0 && bytes[end - 1] == '\r';
}

bool readScenario(const std::string &file, const ScenarioLines &lines, ScenarioMeta &meta,
                  ScenarioTarget &target, std::string &error) {
  ScenarioParser parser(file, lines, meta, target);
  return parser.run(error);
}

}  // namespace simhost
