// The world as it stands at the run's current simulation time: its vessels
// and its bodies' rotations then. Where a landed vessel is in the global frame
// depends on both, so the conversions of vessel_state.h take this.
//
// The run (runtime.h) is one, and it alone advances the time; the parts
// below it read the time and the world through this.
#pragma once

#include <cstdint>

#include "world/geometry.h"
#include "world/world.h"

namespace simhost {

class WorldAtTime {
public:
  WorldAtTime() = default;
  WorldAtTime(const WorldAtTime &) = delete;
  WorldAtTime &operator=(const WorldAtTime &) = delete;

  World world;

  double simt = 0;  // simulation time, s
  double mjd0 = 51544.5;
  double mjd() const { return mjd0 + simt / 86400.0; }
  // Sets the date of simulation time 0, and with it each body's rotation.
  void setDate(double mjd);
  // A body read from the tree joins the world, turned for the run's date.
  const CelestialBody *addBody(std::unique_ptr<CelestialBody> body);
  // The body's rotation at the current time; computed once per change of
  // the time.
  const MATRIX3 &bodyMatrix(const CelestialBody &body) const { return body.rotationAt(body.angleAt(simt)); }
  // Where a landed vessel is and how it is turned in the global frame now:
  // its body's place, and the body's rotation times the vessel's surface
  // frame (from its longitude, latitude and heading) and times its place in
  // the body's frame. The last answer is kept: a module that brings every vessel of a
  // busy world into its own frame asks for its own once per vessel.
  struct LandedFrame {
    const VesselRecord *vessel = nullptr;
    uint64_t serial = 0;
    const CelestialBody *body = nullptr;
    double phi = 0, lon = 0, lat = 0, hdg = 0;
    VECTOR3 bodyPos{};
    MATRIX3 rot{};
    VECTOR3 pos{};
  };
  const LandedFrame &landedFrame(const VesselRecord &v) {
    const double phi = v.body->angleAt(simt);
    const LandedFrame &f = landedFrame_;
    if (&v != f.vessel || v.serial != f.serial || v.body != f.body || phi != f.phi || v.lon != f.lon || v.lat != f.lat ||
        v.hdg != f.hdg || v.bodyPos.x != f.bodyPos.x || v.bodyPos.y != f.bodyPos.y || v.bodyPos.z != f.bodyPos.z)
      rememberLandedFrame(v, phi);
    return f;
  }
  const MATRIX3 &landedRotation(const VesselRecord &v) { return landedFrame(v).rot; }

protected:
  ~WorldAtTime() = default;

private:
  void rememberLandedFrame(const VesselRecord &v, double phi);
  LandedFrame landedFrame_;
};

}  // namespace simhost
