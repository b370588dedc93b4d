// show/: the `simhost show` command, a scenario's vessels without a run.
//
// `simhost show`: loads a scenario of the simulator tree without running it
// and tells each of its vessels (or only the ones named): name, class,
// whether it is landed or in flight and where (longitude, latitude, metres
// from the focus vessel), empty mass, attachment points, and the lines its
// block would save (for a module vessel, what its module writes: the mill's
// keys, its cargo and crew lines).
//
// main.cpp fills ShowOptions from the command line and calls showScenario,
// which writes the account to out and problems to err. Results are exit
// statuses: kRunOk; kRunFailed when the simulation refuses the scenario
// (its reason names the file and line) or the map cannot be written; kBadUsage when there is no such
// tree or scenario, or a vessel named is not in it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace simhost::command {

struct ShowOptions {
  std::string scenario;              // a path, or a name under the tree's Scenarios/
  std::string root;                  // empty: the tree built beside the executable
  std::vector<std::string> vessels;  // empty: all of them
  std::string map;                   // a site map of the scenario as loaded (SVG)
  double mapRadius = 100;            // how far around the focus vessel the map reaches, m
};

int showScenario(const ShowOptions &options, std::ostream &out, std::ostream &err);

}  // namespace simhost::command
