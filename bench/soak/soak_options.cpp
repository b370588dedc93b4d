#include "soak_options.h"

#include <CLI/CLI.hpp>

int readSoakOptions(int argc, char **argv, SoakOptions &options) {
  CLI::App app{"Soak: a busy lunar world of mills and cargo run for a simulated day, saved and reloaded every hour"};
  app.add_option("--root", options.root, "the built simulator tree")->check(CLI::ExistingDirectory);
  app.add_option("--work", options.work, "folder for the soak's scenario files (default: a fresh temporary folder)");
  app.add_option("--mills", options.mills, "mills in the world")->check(CLI::Range(1, 1000));
  app.add_option("--cargo", options.cargo, "cargo vessels in the world")->check(CLI::Range(0, 200000));
  app.add_option("--seconds", options.seconds, "simulated seconds to run")->check(CLI::PositiveNumber);
  app.add_option("--frame", options.frame, "real seconds per frame")->check(CLI::PositiveNumber);
  app.add_option("--warp", options.warp, "time acceleration")->check(CLI::PositiveNumber);
  app.add_option("--hour", options.hour, "simulated seconds between save and reload")->check(CLI::PositiveNumber);
  app.add_option("--slack", options.slackPercent, "memory growth in percent tolerated from hour to hour")
      ->check(CLI::NonNegativeNumber);
  app.add_flag("--twice", options.twice, "run the soak a second time and compare the hourly checksums");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError &e) {
    return app.exit(e) == 0 ? -1 : 2;
  }
  return 0;
}
