#include "bench_report.h"

#include <cstdio>

namespace bench {

namespace {

double toNanoseconds(benchmark::TimeUnit unit) {
  switch (unit) {
    case benchmark::kSecond: return 1e9;
    case benchmark::kMillisecond: return 1e6;
    case benchmark::kMicrosecond: return 1e3;
    default: return 1;
  }
}

const Best *find(const std::map<std::string, Best> &best, const std::string &name) {
  auto it = best.find(name);
  return it == best.end() ? nullptr : &it->second;
}

// The first benchmark whose name starts so (the flags of a run, such as
// "/iterations:1", follow the name).
const Best *findPrefix(const std::map<std::string, Best> &best, const std::string &prefix) {
  auto it = best.lower_bound(prefix);
  return it != best.end() && it->first.compare(0, prefix.size(), prefix) == 0 ? &it->second : nullptr;
}

double counter(const Best &b, const char *name) {
  auto it = b.counters.find(name);
  return it == b.counters.end() ? 0 : it->second;
}

void row(const char *what, double value, const char *unit, double baseline, const char *baseUnit) {
  if (baseline > 0)
    std::printf("| %-40s | %12.3f %-9s | %12.3f %-9s | %8.2fx |\n", what, value, unit, baseline, baseUnit,
                value / baseline);
  else
    std::printf("| %-40s | %12.3f %-9s | %22s | %9s |\n", what, value, unit, "", "");
}

struct Target {
  std::string name;
  double value;
  double goal;
};

// The commands as a user runs them, in processor time (the command's is its
// manual time): load and save against the bytes, show
// against load and save, and the peak memory a vessel adds to the command's
// floor (a world of one vessel).
void commandRows(const std::map<std::string, Best> &best, std::vector<Target> &targets) {
  for (int n : {1000, 10000, 100000}) {
    const std::string size = "/" + std::to_string(n);
    const Best *run = find(best, "command_load_save" + size), *show = find(best, "command_show" + size);
    const Best *bytes = find(best, "read_write_bytes" + size);
    char what[64];
    if (run && bytes) {
      std::snprintf(what, sizeof what, "run --until 0 --save of %d", n);
      row(what, run->ns / 1e6, "ms", bytes->cpuNs / 1e6, "ms bytes");
      if (n == 100000) targets.push_back({"command_load_save_100k_vs_bytes", run->ns / bytes->cpuNs, 30});
    }
    if (show && run) {
      std::snprintf(what, sizeof what, "show of %d", n);
      row(what, show->ns / 1e6, "ms", run->ns / 1e6, "ms run");
      if (n == 100000) targets.push_back({"command_show_100k_vs_load_save", show->ns / run->ns, 1});
    }
    for (const Best *b : {run, show}) {
      if (!b) continue;
      const double perVessel = (counter(*b, "peak_kb") - counter(*b, "floor_peak_kb")) * 1024 / n;
      std::snprintf(what, sizeof what, "%s of %d: peak %.1f MiB, a vessel", b == run ? "run" : "show", n,
                    counter(*b, "peak_kb") / 1024);
      row(what, perVessel, "bytes", 0, "");
      if (n == 100000)
        targets.push_back({std::string("command_") + (b == run ? "load_save" : "show") + "_peak_bytes_per_vessel",
                           perVessel, 1536});
    }
  }
}

}  // namespace

void CollectingReporter::ReportRuns(const std::vector<Run> &runs) {
  for (const Run &run : runs) {
    if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
    const double ns = run.GetAdjustedRealTime() * toNanoseconds(run.time_unit);
    const double cpuNs = run.GetAdjustedCPUTime() * toNanoseconds(run.time_unit);
    // The name and its arguments, without the flags of the run.
    std::string name = run.run_name.function_name;
    if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
    Best &b = best_[name];
    if (b.cpuNs == 0 || cpuNs < b.cpuNs) b.cpuNs = cpuNs;
    if (b.ns == 0 || ns < b.ns) {
      b.ns = ns;
      b.counters.clear();
      for (const auto &c : run.counters) b.counters[c.first] = c.second.value;
    }
  }
  ConsoleReporter::ReportRuns(runs);
}

int printSummary(const std::map<std::string, Best> &best) {
  std::vector<Target> targets;
  std::printf("\n| %-40s | %22s | %22s | %9s |\n", "measurement", "value", "baseline", "ratio");
  std::printf("|%s|%s|%s|%s|\n", std::string(42, '-').c_str(), std::string(24, '-').c_str(),
              std::string(24, '-').c_str(), std::string(11, '-').c_str());

  const int scans[3][2] = {{1, 1000}, {1, 100000}, {100, 10000}};
  for (const auto &s : scans) {
    const std::string args = "/" + std::to_string(s[0]) + "/" + std::to_string(s[1]);
    const Best *host = find(best, "rock_scan" + args), *bare = find(best, "bare_scan" + args);
    if (!host || !bare) continue;
    const double perHost = host->cpuNs / counter(*host, "candidates");
    const double perBare = bare->cpuNs / counter(*bare, "candidates");
    char what[64];
    std::snprintf(what, sizeof what, "rock scan %d x %d, per candidate", s[0], s[1]);
    row(what, perHost, "ns", perBare, "ns bare");
    if (s[0] == 100) {
      std::snprintf(what, sizeof what, "busy world %d x %d, one frame", s[0], s[1]);
      row(what, host->cpuNs / 1e6, "ms", 16.7, "ms budget");
      targets.push_back({"busy_frame_ms", host->cpuNs / 1e6, 16.7});
      targets.push_back({"busy_scan_vs_bare_loop", perHost / perBare, 10});
    }
  }

  const Best *rest1k = find(best, "resting_frame/1000");
  for (int n : {1000, 10000, 100000}) {
    const Best *b = find(best, "resting_frame/" + std::to_string(n));
    if (!b || !rest1k) continue;
    char what[64];
    std::snprintf(what, sizeof what, "resting world of %d, one frame", n);
    row(what, b->cpuNs / 1e3, "us", rest1k->cpuNs / 1e3, "us 1 000");
    if (n == 100000) targets.push_back({"resting_frame_100k_vs_1k", b->cpuNs / rest1k->cpuNs, 3});
  }

  for (int n : {1000, 10000, 100000}) {
    const Best *b = find(best, "load_save/" + std::to_string(n));
    const Best *bytes = find(best, "read_write_bytes/" + std::to_string(n));
    if (!b || !bytes) continue;
    char what[64];
    std::snprintf(what, sizeof what, "load and save of %d (%.1f MB)", n, counter(*b, "file_bytes") / 1e6);
    row(what, b->ns / 1e6, "ms", bytes->ns / 1e6, "ms bytes");
    if (n == 100000) targets.push_back({"load_save_100k_vs_bytes", b->ns / bytes->ns, 20});
  }

  commandRows(best, targets);

  const Best *plain = find(best, "plain_file_read");
  for (const char *which : {"same_case", "other_case"}) {
    const Best *b = find(best, std::string("host_file_read/") + which);
    if (!b || !plain) continue;
    row((std::string("cargo-file read, ") + which).c_str(), b->ns / 1e3, "us", plain->ns / 1e3, "us plain");
    targets.push_back({std::string("cargo_file_read_") + which + "_vs_plain", b->ns / plain->ns, 1.5});
  }

  if (const Best *b = findPrefix(best, "memory_per_vessel")) {
    row("memory per vessel", counter(*b, "bytes_per_vessel"), "bytes", 0, "");
    targets.push_back({"memory_per_vessel_bytes", counter(*b, "bytes_per_vessel"), 1024});
  }
  if (const Best *b = findPrefix(best, "demo_day")) {
    row((std::string("demo, ") + std::to_string(static_cast<long>(counter(*b, "frames"))) + " frames").c_str(),
        b->ns / 1e9, "s", 0, "");
  }

  std::printf("\n");
  int short_ = 0;
  for (const Target &t : targets) {
    const bool ok = t.value <= t.goal;
    short_ += ok ? 0 : 1;
    std::printf("target %s: %.3f (goal %.3g) %s\n", t.name.c_str(), t.value, t.goal, ok ? "ok" : "short");
  }
  return short_;
}

}  // namespace bench
