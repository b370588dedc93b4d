#include "play/screen.h"

#include <curses.h>

#include <algorithm>
#include <cstdio>

#include "play/map.h"

namespace simhost::command {

namespace {

// The HUD places its lines in rows of a sixtieth of its height.
constexpr int kHudRowsPerHeight = 60;
// The HUD shows at most this many of its lines.
constexpr int kHudLinesShown = 6;
// Below this the screen only asks for more room.
constexpr int kLeastColumns = 40, kLeastLines = 16;
// From this width the map and the events stand side by side.
constexpr int kSideBySideColumns = 100;
// The map's share of the width, side by side.
constexpr int kMapPercent = 55;
constexpr int kLeastMapColumns = 40;
constexpr int kEscapeDelayMs = 25;

// What the terminal shows as it is: control characters would move the
// cursor, and bytes beyond ASCII may not be characters at all.
std::string printable(const std::string &text) {
  std::string shown = text;
  for (char &c : shown) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u >= 0x7F) c = '?';
  }
  return shown;
}

void putText(int row, int column, const std::string &text, int width) {
  if (width <= 0 || row < 0 || row >= LINES) return;
  mvaddnstr(row, column, printable(text).c_str(), width);
}

// A row filled to the width, for lines drawn in reverse.
std::string padded(const std::string &text, int width) {
  std::string line = text.substr(0, static_cast<size_t>(std::max(width, 0)));
  line.resize(static_cast<size_t>(std::max(width, 0)), ' ');
  return line;
}

std::string statusLine(const PlayPicture &p) {
  char time[64];
  std::snprintf(time, sizeof time, "t %.1f s", p.simTime);
  char warp[64];
  std::snprintf(warp, sizeof warp, "warp %gx", p.warp);
  std::string line = " simhost play  " + p.scenario + "   " + time + "   " + warp + "   " +
                     (p.paused ? "PAUSED" : "running") + "   focus " + (p.focus.empty() ? "none" : p.focus);
  if (!p.record.empty()) line += "   recording to " + p.record;
  return line;
}

// The HUD's texts in the order drawn, each with its row; then the debug
// line. Returns the next free row.
int drawHud(const PlayPicture &p, int row) {
  const int unit = std::max(p.hudHeight / kHudRowsPerHeight, 1);
  const int shown = std::min(static_cast<int>(p.hud.size()), kHudLinesShown);
  if (shown == 0) putText(row++, 0, " HUD   (nothing drawn)", COLS);
  for (int i = 0; i < shown; ++i) {
    const Simulation::HudText &text = p.hud[static_cast<size_t>(i)];
    char where[48];
    std::snprintf(where, sizeof where, "%s row %2d (y=%d)  ", i == 0 ? " HUD " : "     ", text.y / unit, text.y);
    attron(A_BOLD);
    putText(row, 0, where, COLS);
    attroff(A_BOLD);
    putText(row++, static_cast<int>(std::string(where).size()), text.text, COLS - static_cast<int>(std::string(where).size()));
  }
  putText(row++, 0, std::string(" debug ") + (p.debug.empty() ? "(empty)" : p.debug), COLS);
  return row;
}

void drawTitle(int row, int column, int width, const std::string &title) {
  attron(A_BOLD);
  putText(row, column, padded("-- " + title + " " + std::string(static_cast<size_t>(std::max(width, 0)), '-'), width), width);
  attroff(A_BOLD);
}

// A line cut to the width, its continuations indented by two.
std::vector<std::string> wrapped(const std::string &line, int width) {
  const size_t first = static_cast<size_t>(width), rest = static_cast<size_t>(width - 2);
  std::vector<std::string> pieces{line.substr(0, first)};
  for (size_t from = first; from < line.size(); from += rest) pieces.push_back("  " + line.substr(from, rest));
  return pieces;
}

// The latest events, long ones wrapped, the newest at the bottom.
void drawEvents(const std::deque<std::string> *events, int top, int left, int width, int height) {
  if (events == nullptr || width <= 2 || height <= 0) return;
  std::vector<std::string> rows;  // newest first
  for (auto it = events->rbegin(); it != events->rend() && static_cast<int>(rows.size()) < height; ++it) {
    const std::vector<std::string> pieces = wrapped(*it, width);
    for (auto piece = pieces.rbegin(); piece != pieces.rend() && static_cast<int>(rows.size()) < height; ++piece)
      rows.push_back(*piece);
  }
  int row = top + height - static_cast<int>(rows.size());
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) putText(row++, left, *it, width);
}

void drawBottom(const PlayPicture &p, const std::string &legend) {
  putText(LINES - 3, 0, " " + legend, COLS);
  putText(LINES - 2, 0,
          " keys go to " + (p.focus.empty() ? std::string("the focus vessel") : p.focus) +
              " first; then: p or space pause, + and - time acceleration, Tab next vessel, : command line, :quit",
          COLS);
  if (p.commandOpen) {
    putText(LINES - 1, 0, ":" + p.commandText, COLS);
    move(LINES - 1, std::min(static_cast<int>(p.commandCursor) + 1, COLS - 1));
  } else {
    putText(LINES - 1, 0, p.message, COLS);
  }
}

}  // namespace

PlayScreen::PlayScreen() {
  initscr();
  cbreak();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  set_escdelay(kEscapeDelayMs);
}

PlayScreen::~PlayScreen() { endwin(); }

int PlayScreen::readKey(int timeoutMs) {
  timeout(std::max(timeoutMs, 0));
  const int key = getch();
  return key == ERR ? -1 : key;
}

void PlayScreen::draw(const PlayPicture &p) {
  erase();
  if (COLS < kLeastColumns || LINES < kLeastLines) {
    putText(0, 0, "simhost play needs a terminal of at least 40 x 16", COLS);
    curs_set(0);
    refresh();
    return;
  }
  attron(A_REVERSE);
  putText(0, 0, padded(statusLine(p), COLS), COLS);
  attroff(A_REVERSE);
  const int titleRow = drawHud(p, 1);
  const int top = titleRow + 1, bottom = LINES - 4;  // the map and events, inclusive
  const int height = bottom - top + 1;
  const bool sideBySide = COLS >= kSideBySideColumns;
  int mapWidth = sideBySide ? COLS * kMapPercent / 100 : COLS;
  const int mapHeight = sideBySide ? height : std::max(height * 2 / 3, 1);
  const std::string around = p.focus.empty() ? "no vessel in focus" : "site around " + p.focus;
  SiteMap map = drawSiteMap(p.site, mapWidth, mapHeight);
  // Side by side, the events get what the map does not need.
  if (sideBySide && map.columnsNeeded < mapWidth) {
    mapWidth = std::max(map.columnsNeeded, kLeastMapColumns);
    map = drawSiteMap(p.site, mapWidth, mapHeight);
  }
  char scale[64];
  std::snprintf(scale, sizeof scale, ", 1 column = %g m", map.metresPerColumn);
  drawTitle(titleRow, 0, sideBySide ? mapWidth : COLS, around + scale);
  for (int r = 0; r < mapHeight && !p.focus.empty(); ++r) putText(top + r, 0, map.rows[static_cast<size_t>(r)], mapWidth);
  if (sideBySide) {
    drawTitle(titleRow, mapWidth + 1, COLS - mapWidth - 1, "events");
    for (int r = top; r <= bottom; ++r) mvaddch(r, mapWidth, '|');
    drawEvents(p.events, top, mapWidth + 2, COLS - mapWidth - 2, height);
  } else {
    drawTitle(top + mapHeight, 0, COLS, "events");
    drawEvents(p.events, top + mapHeight + 1, 0, COLS, height - mapHeight - 1);
  }
  drawBottom(p, map.legend);
  curs_set(p.commandOpen ? 1 : 0);
  refresh();
}

}  // namespace simhost::command
