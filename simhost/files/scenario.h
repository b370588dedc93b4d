// A vessel's block of a scenario file: the handles through which vessel
// modules read and write their own blocks (oapiReadScenario_nextline,
// oapiWriteScenario_*), and the host's own lines in it (STATUS, POS,
// HEADING, RPOS, ..., ATTACHED, AFCMODE), read into and written from a
// vessel's record. The whole file is scenario_file.h's.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "world/world_at_time.h"

namespace simhost {

// The longest scenario line, terminator excluded; longer lines make the
// file malformed.
constexpr size_t kScenarioLineCapacity = 1023;

// One vessel's block being read: the FILEHANDLE that clbkLoadStateEx gets.
// Its text is viewed in the file's bytes, which outlive the load.
struct ScenarioBlock {
  std::string_view file;
  struct Line {
    int number;
    std::string_view text;  // trimmed
  };
  std::vector<Line> lines;
  size_t next = 0;
  // The lines from NAME[:CLASS] to END as in the file, for a ship that is
  // written back as read.
  std::vector<std::string_view> verbatim;
  int shipLine = 0;     // the NAME:CLASS line
  int currentLine = 0;  // number of the line handed out last
  char buffer[kScenarioLineCapacity + 1] = {};
  std::string error;  // the first fault found in the block, "FILE:LINE: ..."
  bool sawStatus = false, sawRpos = false;
  void fail(const std::string &what);
  // Empty again for the next vessel's block of the same file.
  void reset();
};

// A scenario being written: the FILEHANDLE that clbkSaveState gets. Line
// breaks inside a written item become blanks, so that no module can end its
// block early; a line longer than the reader takes is remembered as a fault,
// so that no file is written that could not be loaded again.
struct ScenarioWriter {
  std::string out;
  std::string overlong;  // the first line that is too long, cut for messages
  // While a save writes its file, out goes there a megabyte at a time (its
  // line breaks made CR LF when crlf), so that a world of a hundred thousand
  // vessels is never held whole; null keeps everything in out.
  std::FILE *file = nullptr;
  bool crlf = false;
  bool failed = false;  // a write to file fell short
  void line(std::string_view text);
  // The pieces one after the other, as one line.
  void line(std::initializer_list<std::string_view> pieces);
  void item(const char *key, std::string_view value);
  // What out holds, to file.
  void flush();
};

// The host's own lines of a vessel (the default clbkSaveState).
void writeHostLines(WorldAtTime &rt, VesselRecord &v, ScenarioWriter &w);
// The host's parser of a vessel line into a VESSELSTATUS2; false when the
// line is not one of the host's. Faults go to the vessel's block.
bool parseHostLine(WorldAtTime &rt, VesselRecord &v, std::string_view line, VESSELSTATUS2 &vs);

// simhost's own line in a passive vessel's block, "SIMHOST_EMPTYMASS KG":
// its empty mass where it differs from its class's (cargo released lighter
// than its type, rock that gave part of itself), so that a reload keeps it.
// A module's vessel writes its own mass, if it keeps one.
void writeOwnLines(const VesselRecord &v, ScenarioWriter &w);
// True when the line is simhost's own and was read into the vessel; a
// malformed value is a fault of the vessel's block.
bool parseOwnLine(VesselRecord &v, std::string_view line);

// The handles the oapi functions accept: the block or writer of the host
// call that is running, null otherwise.
ScenarioBlock *activeBlock(FILEHANDLE f);
ScenarioWriter *activeWriter(FILEHANDLE f);
void setActiveBlock(ScenarioBlock *b);
void setActiveWriter(ScenarioWriter *w);

}  // namespace simhost
