// `simhost play` in the Windows build: not there. The live session draws
// with ncurses, of which Debian has no mingw-w64 build; `simhost run
// --script -` takes the same actions from standard input.
#ifdef _WIN32

#include "play/play.h"
#include "shared/exit_status.h"

namespace simhost::command {

int playScenario(const PlayOptions &, std::ostream &, std::ostream &err) {
  err << "simhost: play is not part of the Windows build (it draws with ncurses); give the actions to "
         "`simhost run --script -` instead\n";
  return kBadUsage;
}

}  // namespace simhost::command

#endif  // _WIN32
