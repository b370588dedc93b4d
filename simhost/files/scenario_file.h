// Scenario files as a whole, in the simulator's format. The reader hands
// what it reads to a ScenarioTarget in file order, so that vessels are made
// as their blocks are read; the writer writes the parts around the vessels'
// blocks and puts the text in place. Both know nothing of a run: the run
// (scenario_apply.h) makes the vessels a file names and writes their blocks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/scenario.h"
#include "files/scenario_lines.h"

namespace simhost {

// An unknown section of a scenario, written back as it was read.
struct KeptSection {
  std::vector<std::string> lines;  // from BEGIN_X [argument...] to END_X, verbatim
};

// A ship simhost does not place in its world (its body, base or parent is
// not there, or it is a stand-in whose place is not known): its lines from
// NAME[:CLASS] to END as read, written back there.
struct HeldShip {
  std::string name, className;
  int line = 0;  // of its NAME line
  std::vector<std::string> lines;
  // The serial of the vessel the file made just before it (0: none), so
  // that a save writes it where it stood among the others.
  uint64_t afterSerial = 0;
  bool standIn = false;  // the tree lacks its class
};

// Blank and comment (";") lines between ship blocks, written back where they
// stood: after the vessel of serial afterSerial, and among the ships held
// there by their lines.
struct ShipsGap {
  int line = 0;  // of the first of them
  uint64_t afterSerial = 0;
  std::vector<std::string> lines;  // verbatim
};

// What the loading did not take as it came, or took in its own way: told to
// the operator, never kept from them.
struct LoadNote {
  int line = 0;        // in the file, from 1
  std::string vessel;  // empty: the scenario as a whole
  std::string text;
  bool standIn = false;  // a stand-in in the world: no other reason to tell
};

// The scenario's sections in the order the file gives them.
enum class ScenarioPart { Description, Environment, Focus, Ships, Kept };

// What a scenario holds besides its date, focus and vessels, kept to be
// written back as it came.
struct ScenarioMeta {
  std::string file;                      // as the load named it
  std::vector<std::string> description;  // BEGIN_DESC lines, verbatim
  // The BEGIN_ENVIRONMENT and BEGIN_FOCUS lines, verbatim; a save writes
  // its own date and focus in place of their Date and Ship lines.
  std::vector<std::string> environment;
  std::vector<std::string> focusLines;
  std::vector<KeptSection> sections;
  // The parts in file order; a Kept part is the next of sections.
  std::vector<ScenarioPart> order;
  // The blank and comment lines before each part of order, verbatim, and
  // those after the last part.
  std::vector<std::vector<std::string>> gaps;
  std::vector<std::string> trailing;
  std::vector<HeldShip> held;
  std::vector<ShipsGap> shipsGaps;
  // The file's lines end in CR LF (as its first line does): a save writes
  // them so.
  bool crlf = false;
  std::vector<LoadNote> notes;
  void note(int line, std::string vessel, std::string text, bool standIn = false) {
    notes.push_back({line, std::move(vessel), std::move(text), standIn});
  }
};

// Where the reader puts a scenario's date, vessels and focus, called in the
// order the file gives them.
class ScenarioTarget {
public:
  // The file has so many vessel blocks at most.
  virtual void expectVessels(size_t count) = 0;
  // The environment's date, as a modified Julian date.
  virtual void setDate(double mjd) = 0;
  // Whether a vessel of the name is there already (ignoring case).
  virtual bool hasVessel(std::string_view name) = 0;
  // The ship after the one being read has this name: the target may make
  // ready to look it up while it makes this one.
  virtual void shipAhead(std::string_view) {}
  // Makes the vessel of a NAME:CLASS line (or of a NAME line, whose class
  // is the name), which reads its block; or holds the ship as read. False
  // with the reason in why, or in block.error when the block was at fault.
  virtual bool makeVessel(const std::string &name, const std::string &className, ScenarioBlock &block,
                          std::string &why) = 0;
  // Blank and comment lines between ship blocks (line: the first of them),
  // to be written back where they stood.
  virtual void keepShipsGap(int line, std::vector<std::string> lines) = 0;
  // After the last vessel: joins what the blocks' ATTACHED lines named.
  // False with the line of the fault (from 1) and what is wrong.
  virtual bool joinAttachments(int &line, std::string &what) = 0;
  // Gives the focus to the vessel of the name, or to the first vessel when
  // the name is empty; false when there is no vessel of that name.
  virtual bool setFocus(std::string_view name) = 0;

protected:
  ~ScenarioTarget() = default;
};

// Whether the file's first line ends in CR LF.
bool firstLineEndsInCrLf(std::string_view bytes);
// Reads a scenario's lines (those of file, named in messages) into meta and
// target. On a malformed file false with "FILE:LINE: what is wrong"; what
// the target was given until then stays with it.
bool readScenario(const std::string &file, const ScenarioLines &lines, ScenarioMeta &meta,
                  ScenarioTarget &target, std::string &error);

// The date of a scenario without one, or whose Date line gives no number.
constexpr double kDefaultMjd = 51544.5;

// What a save writes before the vessels' blocks: the parts the file gave
// before its ships, in its order (the description, the environment with the
// date, the focus when there is one, the kept sections), and BEGIN_SHIPS.
void writeScenarioStart(const ScenarioMeta &meta, double mjd, const std::string *focus, ScenarioWriter &w);
// What a save writes after them: END_SHIPS and the parts after.
void writeScenarioEnd(const ScenarioMeta &meta, double mjd, const std::string *focus, ScenarioWriter &w);
// Each line break of text made CR LF.
std::string withCrLf(std::string_view text);
// Starts the file a save of path writes to target (found by saveTarget):
// beside the target, renamed over it once finished, so that a failed save
// leaves the earlier file as it was. The writer's lines go there from now
// on, with CR LF line breaks when crlf. False with the reason in error.
bool startScenarioFile(const std::string &path, const std::string &target, bool crlf, ScenarioWriter &w,
                       std::string &error);
// Writes the rest and puts the file in place. On a fault (a line too long
// to be read back, a write that fell short) the file is removed and the
// target left as it was; false with the reason in error.
bool finishScenarioFile(const std::string &path, const std::string &target, ScenarioWriter &w,
                        std::string &error);

// The file a save of path writes: path itself, or the end of the chain of
// symbolic links that path starts. False, with the reason in error, when a
// save could not write there: the target is no regular file (a folder, a
// device), or its folder is missing or cannot be written.
bool saveTarget(const std::string &path, std::string &target, std::string &error);

}  // namespace simhost
