// A vessel's block of a scenario file: the handles through which vessel
// modules read and write their own blocks (oapiReadScenario_nextline,
// oapiWriteScenario_*), and the host's own lines in it (STATUS, POS,
// HEADING, RPOS, ..., ATTACHED, AFCMODE) as plain data: what a line says,
// and what a block is written from. The run reads them into a vessel and
// fills them from one (plugin/vessel_lines.h). The whole file is
// scenario_file.h's.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "OrbiterAPI.h"

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
  // While a save writes its file, out goes there a quarter megabyte at a time (its
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

// How a line of a vessel's block was read.
enum class LineRead {
  NotOurs,  // none of the lines the reader knows: the module's, or kept
  Faulty,   // one of them, malformed: the block was told (ScenarioBlock::fail)
  Read,
};

// What one of the host's own lines of a vessel's block says, in the units
// the run keeps (radians, metres, seconds).
struct HostLine {
  enum class Key { Status, Pos, Heading, Rpos, Rvel, Arot, Vrot, AfcMode, Attached };
  Key key = Key::Status;
  bool landed = false;     // Status: "Landed" (else "Orbiting")
  std::string_view body;   // Status
  double value[3] = {};    // Pos: longitude, latitude; Heading; Rpos to Vrot: x, y, z
  DWORD afcMode = 0;       // AfcMode
  long childPoint = 0, parentPoint = 0;  // Attached
  std::string_view parent;               // Attached
};
// Reads one of the host's lines; its faults go to block (null: none told).
LineRead readHostLine(std::string_view line, ScenarioBlock *block, HostLine &read);

// What the host writes of a vessel's block (the default clbkSaveState).
struct HostLines {
  bool landed = true;
  std::string_view body;
  double lon = 0, lat = 0, hdg = 0;        // landed: radians
  VECTOR3 rpos{}, rvel{}, arot{}, vrot{};  // in flight, relative to the body: m, m/s, rad, rad/s
  bool attached = false;
  long childPoint = 0, parentPoint = 0;
  std::string_view parent;
  DWORD afcMode = 0;
};
void writeHostLines(const HostLines &lines, ScenarioWriter &w);

// simhost's own line in a passive vessel's block, "SIMHOST_EMPTYMASS KG":
// its empty mass where it differs from its class's (cargo released lighter
// than its type, rock that gave part of itself), so that a reload keeps it.
// A module's vessel writes its own mass, if it keeps one.
void writeEmptyMassLine(double kg, ScenarioWriter &w);
LineRead readEmptyMassLine(std::string_view line, ScenarioBlock *block, double &kg);

// The handles the oapi functions accept: the block or writer of the host
// call that is running, null otherwise.
ScenarioBlock *activeBlock(FILEHANDLE f);
ScenarioWriter *activeWriter(FILEHANDLE f);
void setActiveBlock(ScenarioBlock *b);
void setActiveWriter(ScenarioWriter *w);

}  // namespace simhost
