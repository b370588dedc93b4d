// Writing a scenario file: the parts around the vessels' blocks, and the
// file put in place whole.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "files/scenario_file.h"
#include "platform/platform.h"
#include "world/text.h"

namespace simhost {

namespace {

// A part to write, and the blank and comment lines the file gave before
// it (null for a part the file lacks).
struct PartToWrite {
  ScenarioPart part;
  const std::vector<std::string> *gap;
};

// The parts in the file's order; those it lacks where a save puts them: the
// description first, the environment after it, the focus after that, the
// ships last.
std::vector<PartToWrite> partsToWrite(const ScenarioMeta &meta, bool hasFocus) {
  std::vector<PartToWrite> parts;
  for (size_t i = 0; i < meta.order.size(); ++i)
    parts.push_back({meta.order[i], i < meta.gaps.size() ? &meta.gaps[i] : nullptr});
  auto find = [&parts](ScenarioPart p) {
    for (size_t i = 0; i < parts.size(); ++i)
      if (parts[i].part == p) return static_cast<long>(i);
    return -1L;
  };
  if (find(ScenarioPart::Description) < 0) parts.insert(parts.begin(), {ScenarioPart::Description, nullptr});
  if (find(ScenarioPart::Environment) < 0)
    parts.insert(parts.begin() + find(ScenarioPart::Description) + 1, {ScenarioPart::Environment, nullptr});
  if (find(ScenarioPart::Focus) < 0 && hasFocus)
    parts.insert(parts.begin() + find(ScenarioPart::Environment) + 1, {ScenarioPart::Focus, nullptr});
  if (find(ScenarioPart::Ships) < 0) parts.push_back({ScenarioPart::Ships, nullptr});
  return parts;
}

bool firstWordIs(std::string_view line, const char *word) {
  const auto w = text::words(text::trim(line));
  return !w.empty() && text::iequals(w[0], word);
}

// The environment as read, with the date of the save in place of its Date
// line (a comment on that line kept), System and Date first when it lacks
// them.
void writeEnvironment(const ScenarioMeta &meta, double mjd, ScenarioWriter &w) {
  char date[64];
  std::snprintf(date, sizeof date, "MJD %.10f", mjd);
  bool hasSystem = false, hasDate = false;
  for (const auto &l : meta.environment) {
    hasSystem = hasSystem || firstWordIs(l, "System");
    hasDate = hasDate || firstWordIs(l, "Date");
  }
  w.line("BEGIN_ENVIRONMENT");
  if (!hasSystem) w.item("System", "Sol");
  bool dateWritten = false;
  if (!hasSystem && !hasDate) {
    w.item("Date", date);
    dateWritten = true;
  }
  for (const auto &l : meta.environment) {
    if (firstWordIs(l, "Date")) {
      const std::string_view t = text::trim(l);
      const size_t comment = t.find(';');
      if (!dateWritten)
        w.line({"  Date ", date, comment == std::string_view::npos ? "" : " ",
                comment == std::string_view::npos ? "" : t.substr(comment)});
      dateWritten = true;
      continue;
    }
    w.line(l);
    if (!dateWritten && !hasDate && firstWordIs(l, "System")) {
      w.item("Date", date);
      dateWritten = true;
    }
  }
  w.line("END_ENVIRONMENT");
}

// The focus section as read, with the focus of the save in place of its
// Ship line; false when it has nothing to write (no focus, no other line).
bool writeFocus(const ScenarioMeta &meta, const std::string *focus, ScenarioWriter &w) {
  bool hasShip = false, hasOther = false;
  for (const auto &l : meta.focusLines) {
    const bool ship = firstWordIs(l, "Ship");
    hasShip = hasShip || ship;
    hasOther = hasOther || (!ship && !text::trim(l).empty());
  }
  if (!focus && !hasOther) return false;
  w.line("BEGIN_FOCUS");
  bool shipWritten = !focus;
  if (focus && !hasShip) {
    w.item("Ship", *focus);
    shipWritten = true;
  }
  for (const auto &l : meta.focusLines) {
    if (!firstWordIs(l, "Ship")) {
      w.line(l);
    } else if (!shipWritten) {
      w.item("Ship", *focus);
      shipWritten = true;
    }
  }
  w.line("END_FOCUS");
  return true;
}

// One part other than the ships; false when it has nothing to write (a
// focus section without a focus and without other lines).
bool writePart(const ScenarioMeta &meta, ScenarioPart part, size_t kept, const std::string *focus,
               double mjd, ScenarioWriter &w) {
  switch (part) {
    case ScenarioPart::Description:
      w.line("BEGIN_DESC");
      for (const auto &l : meta.description) w.line(l);
      w.line("END_DESC");
      return true;
    case ScenarioPart::Environment:
      writeEnvironment(meta, mjd, w);
      return true;
    case ScenarioPart::Focus:
      return writeFocus(meta, focus, w);
    case ScenarioPart::Kept:
      if (kept >= meta.sections.size()) return false;
      for (const auto &l : meta.sections[kept].lines) w.line(l);
      return true;
    case ScenarioPart::Ships:
      return false;
  }
  return false;
}

bool holdsComment(const std::vector<std::string> &lines) {
  for (const auto &l : lines)
    if (!text::trim(l).empty()) return true;
  return false;
}

// What stands between a part and the one before: the lines the file gave
// there, as read; a blank line for a part the file lacks, or when nothing
// stood there and the part before is one the file lacks (none before the
// first part).
void writeGap(const PartToWrite &part, bool first, bool afterAdded, ScenarioWriter &w) {
  if (part.gap && !(part.gap->empty() && afterAdded)) {
    for (const auto &l : *part.gap) w.line(l);
  } else if (!first) {
    w.line("");
  }
}

// The parts before the ships and the gap before BEGIN_SHIPS, or the parts
// after them and the file's last lines.
void writeParts(const ScenarioMeta &meta, const std::string *focus, double mjd, bool afterShips,
                ScenarioWriter &w) {
  bool pastShips = false, first = true, afterAdded = false;
  size_t kept = 0;
  for (const PartToWrite &part : partsToWrite(meta, focus != nullptr)) {
    const bool added = afterAdded;
    afterAdded = part.gap == nullptr;
    if (part.part == ScenarioPart::Ships) {
      if (!afterShips) writeGap(part, first, added, w);
      pastShips = true;
      first = false;
      continue;
    }
    const size_t index = part.part == ScenarioPart::Kept ? kept++ : 0;
    if (pastShips != afterShips) {
      first = false;
      continue;
    }
    ScenarioWriter one;
    if (!writePart(meta, part.part, index, focus, mjd, one)) {
      // A part that writes nothing keeps the comments before it.
      if (part.gap && holdsComment(*part.gap)) writeGap(part, first, added, w);
      afterAdded = added;
      continue;
    }
    writeGap(part, first, added, w);
    first = false;
    w.out += one.out;
    if (one.overlong.size() && w.overlong.empty()) w.overlong = one.overlong;
  }
  if (afterShips)
    for (const auto &l : meta.trailing) w.line(l);
}

}  // namespace

namespace {

// A loop of links is given up after as many as the system follows.
constexpr int kLinkHopLimit = 40;

bool followLinks(const std::string &path, std::filesystem::path &target, std::string &error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  target = path;
  for (int hops = 0; fs::is_symlink(fs::symlink_status(target, ec)); ++hops) {
    fs::path next = fs::read_symlink(target, ec);
    if (ec || hops == kLinkHopLimit) {
      error = path + ": cannot be written: the symbolic link cannot be followed";
      return false;
    }
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return true;
}

}  // namespace

bool saveTarget(const std::string &path, std::string &target, std::string &error) {
  namespace fs = std::filesystem;
  fs::path file;
  if (!followLinks(path, file, error)) return false;
  std::error_code ec;
  fs::file_status status = fs::status(file, ec);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    error = path + ": cannot be written: " + (fs::is_directory(status) ? "it is a folder" : "it is not a regular file");
    return false;
  }
  // Renaming over a read-only file would replace it and lose its mode.
  if (fs::exists(status) && (status.permissions() & (fs::perms::owner_write | fs::perms::group_write |
                                                     fs::perms::others_write)) == fs::perms::none) {
    error = path + ": cannot be written: it is read-only";
    return false;
  }
  fs::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  if (!fs::is_directory(folder, ec)) {
    error = path + ": cannot be written: there is no folder " + folder.string();
    return false;
  }
  // The scenario is written beside its target and renamed over it.
  std::string why;
  if (!platform::canWriteFolder(folder.string(), why)) {
    error = path + ": cannot be written: the folder " + folder.string() + ": " + why;
    return false;
  }
  target = file.string();
  return true;
}

void writeScenarioStart(const ScenarioMeta &meta, double mjd, const std::string *focus, ScenarioWriter &w) {
  writeParts(meta, focus, mjd, false, w);
  w.line("BEGIN_SHIPS");
}

void writeScenarioEnd(const ScenarioMeta &meta, double mjd, const std::string *focus, ScenarioWriter &w) {
  w.line("END_SHIPS");
  writeParts(meta, focus, mjd, true, w);
}

std::string withCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

namespace {

std::string partFile(const std::string &target) { return target + ".part"; }

}  // namespace

bool startScenarioFile(const std::string &path, const std::string &target, bool crlf, ScenarioWriter &w,
                       std::string &error) {
  w.file = std::fopen(partFile(target).c_str(), "wb");
  if (!w.file) {
    error = path + ": cannot be written";
    return false;
  }
  w.crlf = crlf;
  w.flush();
  return true;
}

bool finishScenarioFile(const std::string &path, const std::string &target, ScenarioWriter &w,
                        std::string &error) {
  w.flush();
  const bool closed = std::fclose(w.file) == 0;
  w.file = nullptr;
  if (!w.overlong.empty()) {
    std::remove(partFile(target).c_str());
    error = path + ": not written: a line is longer than " + std::to_string(kScenarioLineCapacity) +
            " characters and could not be read back (" + w.overlong + "...)";
    return false;
  }
  if (w.failed || !closed || !platform::replaceFile(partFile(target), target)) {
    std::remove(partFile(target).c_str());
    error = path + ": cannot be written completely";
    return false;
  }
  return true;
}

}  // namespace simhost
