// What a vessel class's module lays out around itself and a host cannot
// see: where it takes cargo from, where it sets down what it releases, which
// of its meshes are cargo aboard. The add-on's author writes it in a small
// file beside the class file, Config/Vessels/<class>.site, which simhost
// reads for its pictures only (the site map and the replay); the simulator
// itself never reads it.
//
//   ; comments start with ';'
//   CargoReach = 10              ; m from the vessel's centre
//   SetDown = -6.5 0 0           ; one line each, in the order the module
//   SetDown = -6.5 0 1.5         ; uses them (vessel frame: x right, y up,
//                                ; z forward, m)
//   ReleaseOffset = -2.1 0 0     ; released cargo stands at SetDown + this
//   CargoMeshFrom = 24           ; meshes from this index on are cargo aboard
//
// Every key is optional; a class without the file has nothing of it drawn.
#pragma once

#include <string>
#include <vector>

#include "OrbiterAPI.h"

namespace simhost::command {

struct SiteDescription {
  bool found = false;            // the class has a .site file
  double cargoReach = 0;         // 0: not told
  std::vector<VECTOR3> setDowns;
  VECTOR3 releaseOffset{};
  int cargoMeshFrom = -1;        // -1: not told
};

// Reads root's Config/Vessels/<className>.site. No file is no error
// (found stays false); a malformed one is: false with "FILE:LINE: what is
// wrong" in error.
bool readSiteDescription(const std::string &root, const std::string &className, SiteDescription &site,
                         std::string &error);

// The set-down position of a vessel frame point where released cargo
// stands: its index, or -1 when it stands at none of them (within 0.3 m
// along the ground).
int setDownAt(const SiteDescription &site, const VECTOR3 &standing);

}  // namespace simhost::command
