// What a user waits for: the simhost command itself, run as a child
// process on a resting world, `run --until 0 --save` (load and save) and
// `show`, against reading and writing the same bytes (read_write_bytes),
// both in processor time (the child's, from getrusage).
// The child's peak resident memory (getrusage of the child) is kept as a
// counter, and the same for a world of one vessel, the command's floor.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <vector>

#include "bench_worlds.h"
#include "benches.h"

extern char **environ;

namespace bench {

namespace {

struct ChildRun {
  bool ok = false;
  double seconds = 0;  // real time
  double cpu = 0;      // the child's processor time, user and system
  double peakKb = 0;   // resident set, KiB
};

// Runs simhost with the arguments, its output to /dev/null, and waits.
ChildRun runSimhost(const std::vector<std::string> &args) {
  std::vector<std::string> all{std::string(KVT_BIN_DIR) + "/simhost"};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char *> argv;
  for (std::string &a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  ChildRun run;
  const auto start = std::chrono::steady_clock::now();
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int status = 0;
  struct rusage usage {};
  if (wait4(child, &status, 0, &usage) != child) return run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.peakKb = static_cast<double>(usage.ru_maxrss);
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

std::vector<std::string> commandArgs(bool show, const std::string &world) {
  if (show) return {"show", world, "--root", treeDir()};
  return {"run", world, "--root", treeDir(), "--until", "0", "--quiet", "--save", scratchDir() + "/command-saved.scn"};
}

void timeCommand(benchmark::State &state, bool show) {
  const int vessels = static_cast<int>(state.range(0));
  const std::vector<std::string> args = commandArgs(show, restingWorld(vessels));
  double peakKb = 0, real = 0;
  for (auto _ : state) {
    const ChildRun run = runSimhost(args);
    if (!run.ok) {
      state.SkipWithError("simhost failed");
      break;
    }
    // Processor time, as the frames are timed: on a shared machine the real
    // time of a command is mostly its wait for a processor.
    state.SetIterationTime(run.cpu);
    peakKb = run.peakKb;
    real = run.seconds;
  }
  const ChildRun floor = runSimhost(commandArgs(show, restingWorld(1)));
  state.counters["peak_kb"] = peakKb;
  state.counters["floor_peak_kb"] = floor.peakKb;
  state.counters["real_ms"] = real * 1e3;
}

}  // namespace

void commandLoadSave(benchmark::State &state) { timeCommand(state, false); }
void commandShow(benchmark::State &state) { timeCommand(state, true); }

}  // namespace bench
