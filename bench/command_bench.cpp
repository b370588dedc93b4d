// What a user waits for: the simhost command itself, run as a child
// process on a resting world, `run --until 0 --save` (load and save) and
// `show`, against reading and writing the same bytes (read_write_bytes),
// both in processor time (the child's, from getrusage).
// The child's peak resident memory (its VmHWM as it exits) is kept as a
// counter, and the same for a world of one vessel, the command's floor.
#include <fcntl.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench_worlds.h"
#include "benches.h"

namespace bench {

namespace {

struct ChildRun {
  bool ok = false;
  double seconds = 0;  // real time
  double cpu = 0;      // the child's processor time, user and system
  double peakKb = 0;   // resident set, KiB
};

// The peak resident memory of a stopped child's own image, KiB (VmHWM).
double ownPeakKb(pid_t child) {
  std::ifstream status("/proc/" + std::to_string(child) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6);
  return 0;
}

// Runs simhost with the arguments, its output to /dev/null, and waits. The
// peak memory is read from the child as it exits (it is traced for that
// one stop): the peak that wait4 reports carries over, through exec, the
// peak of the process it was forked from, which is this benchmark's.
ChildRun runSimhost(const std::vector<std::string> &args) {
  std::vector<std::string> all{std::string(KVT_BIN_DIR) + "/simhost"};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char *> argv;
  for (std::string &a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  ChildRun run;
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) return run;
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 1);
    ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  bool optionsSet = false;
  while (wait4(child, &status, 0, &usage) == child && WIFSTOPPED(status)) {
    int forwarded = 0;
    if (!optionsSet) {  // the stop at exec
      ptrace(PTRACE_SETOPTIONS, child, nullptr, reinterpret_cast<void *>(PTRACE_O_TRACEEXIT));
      optionsSet = true;
    } else if ((status >> 8) == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
      run.peakKb = ownPeakKb(child);
    } else {
      forwarded = WSTOPSIG(status);
    }
    ptrace(PTRACE_CONT, child, nullptr, reinterpret_cast<void *>(static_cast<long>(forwarded)));
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
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
