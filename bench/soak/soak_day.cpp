#include "soak_day.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "crew_module.h"
#include "simulation.h"
#include "soak_probes.h"
#include "soak_world.h"

namespace {

const char *const ORE_BOX_CLASS = "UCGO\\Cargos\\KVT_Ore_Cargo";
const char *const ROCK_CLASS = "UCGO\\Cargos\\Lunar_Rock";
const int CREW_ROTATION = 12;   // a finished mill's crew comes out every 12th hour
const int CONSTRUCTION_HOURS = 4;  // three stages to build, then processing on

// What the soak keeps across the Simulations of a day: the ore boxes made
// (to count them and haul them away) and the names it gives new rock.
struct DayState {
  long oreBoxes = 0;
  long freshRock = 0;
  bool counting = false;  // vessels created while loading are not production
  std::vector<std::string> boxesToHaul;
};

std::unique_ptr<simhost::Simulation> startSimulation(const SoakOptions &options, DayState &state,
                                                     const std::string &scenario, std::string &error) {
  auto sim = std::make_unique<simhost::Simulation>(options.root);
  sim->setFrameLength(options.frame);
  sim->setWarp(options.warp);
  sim->setObserver([&state](const simhost::Event &event) {
    if (!state.counting || event.kind != simhost::EventKind::Created) return;
    if (event.className != ORE_BOX_CLASS) return;
    ++state.oreBoxes;
    state.boxesToHaul.push_back(event.vessel);
  });
  state.counting = false;
  if (!sim->loadScenario(scenario, error)) return nullptr;
  state.counting = true;
  return sim;
}

// The crew walks up from 12 m away, where nothing is in reach, to the
// mill's action area and activates it; a frame of one simulated second lets
// the mill take it, since the crew module keeps only the newest activation.
bool crewVisit(const SoakOptions &options, simhost::Simulation &sim, const std::string &mill, std::string &error) {
  if (!simhost::crewEva(sim, mill, 12.0, 0.0, 2.0, error) || !simhost::crewActivate(sim, mill, error)) return false;
  if (!simhost::crewEva(sim, mill, 5.0, 0.0, 2.2, error) || !simhost::crewActivate(sim, mill, error)) return false;
  const double warp = sim.warp();
  sim.setWarp(1.0 / options.frame);
  sim.frame();
  sim.setWarp(warp);
  return true;
}

bool crewCallsAt(int mill, int hour) {
  if (soakMillUnderConstruction(mill)) return hour < CONSTRUCTION_HOURS;
  // A crew switches processing off one hour and on again the next.
  const int turn = mill % CREW_ROTATION;
  return hour % CREW_ROTATION == turn || (hour + CREW_ROTATION - 1) % CREW_ROTATION == turn;
}

bool operateHour(const SoakOptions &options, simhost::Simulation &sim, DayState &state, int hour,
                 std::string &error) {
  for (const std::string &box : state.boxesToHaul) {
    std::string ignored;  // a box the mill still holds aboard is no vessel yet
    sim.deleteVessel(box, ignored);
  }
  state.boxesToHaul.clear();
  for (int i = 0; i < options.mills; ++i) {
    const std::string mill = soakMillName(i);
    for (int k = 0; k < 2; ++k) {
      char name[32];
      std::snprintf(name, sizeof name, "Fresh%06ld", state.freshRock++);
      if (!sim.placeVessel(name, ROCK_CLASS, mill, k == 0 ? 1.0 : -1.0, -6.0, 30.0 * k, error)) return false;
    }
  }
  for (int i = 0; i < options.mills; ++i)
    if (crewCallsAt(i, hour) && !crewVisit(options, sim, soakMillName(i), error)) return false;
  return true;
}

}  // namespace

bool runSoakDay(const SoakOptions &options, const std::string &worldFile, const std::string &workDir,
                std::vector<SoakHour> &hours, std::string &error) {
  DayState state;
  std::unique_ptr<simhost::Simulation> sim = startSimulation(options, state, worldFile, error);
  if (!sim) return false;
  const double frameSeconds = options.frame * options.warp;
  const int hourCount = static_cast<int>(std::ceil(options.seconds / options.hour - 1e-9));
  const std::string saved = workDir + "/soak-saved.scn";
  double simAtLoad = sim->simTime();
  for (int hour = 0; hour < hourCount; ++hour) {
    if (!operateHour(options, *sim, state, hour, error)) return false;
    // Each Simulation counts its time from its load; the day counts on.
    const double hourLength = std::fmin(options.seconds - hour * options.hour, options.hour);
    const double hourStart = simAtLoad;  // the crews' frames count towards the hour
    while (sim->simTime() - hourStart < hourLength - 1e-6) {
      const double left = hourLength - (sim->simTime() - hourStart);
      // The hour's last frame is cut short so that every save falls on the hour.
      sim->setWarp(left < frameSeconds ? left / options.frame : options.warp);
      sim->frame();
    }
    sim->setWarp(options.warp);
    const double elapsed = hour * options.hour + hourLength;
    if (!sim->saveScenario(saved, error)) return false;
    SoakHour record{elapsed, oapiGetVesselCount(), state.oreBoxes, 0, 0, fileChecksum(saved)};
    sim.reset();
    sim = startSimulation(options, state, saved, error);
    if (!sim) return false;
    simAtLoad = sim->simTime();
    record.rssKiB = residentKiB();
    record.heapKiB = heapInUseKiB();
    hours.push_back(record);
    std::printf("hour %2d  t=%8.0f s  vessels=%6lu  ore boxes=%6ld  rss=%8ld KiB  heap=%8ld KiB  checksum=%016llx\n", hour + 1,
                record.simSeconds, record.vessels, record.oreBoxes, record.rssKiB, record.heapKiB,
                static_cast<unsigned long long>(record.checksum));
    std::fflush(stdout);
  }
  return true;
}
