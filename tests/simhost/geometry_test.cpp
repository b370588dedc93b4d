// Positions and frames: landed and flying vessels, the rotating Moon, the
// status records, free fall and landing.
#include <cmath>

#include "Orbitersdk.h"
#include "sim_tree.h"
#include "world/geometry.h"

using simtest::SimTree;

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180;
// The sample Moon turns once in 27.321661 days.
constexpr double kMoonRate = 2 * 3.14159265358979323846 / (27.321661 * 86400);

VESSEL *vesselNamed(const char *name) { return oapiGetVesselInterface(oapiGetVesselByName(const_cast<char *>(name))); }

double dist(const VECTOR3 &a, const VECTOR3 &b) { return simhost::geo::length(simhost::geo::sub(a, b)); }

// Longitude, latitude and radius of a global point in the Moon's frame.
void toSurface(const VECTOR3 &g, double &lon, double &lat, double &r) {
  MATRIX3 m;
  oapiGetRotationMatrix(oapiGetGbodyByName(const_cast<char *>("Moon")), &m);
  VECTOR3 b = simhost::geo::tmul(m, g);
  r = simhost::geo::length(b);
  lon = std::atan2(b.z, b.x);
  lat = std::asin(b.y / r);
}

VECTOR3 fromSurface(double lon, double lat, double r) {
  MATRIX3 m;
  oapiGetRotationMatrix(oapiGetGbodyByName(const_cast<char *>("Moon")), &m);
  return simhost::geo::mul(m, _V(r * std::cos(lat) * std::cos(lon), r * std::sin(lat), r * std::cos(lat) * std::sin(lon)));
}

class Geometry : public ::testing::Test {
protected:
  void SetUp() override { tree.addPassiveClass("Crate", 2, 100); }
  void load(const std::string &ships) {
    tree.write("Scenarios/g.scn", simtest::scenario(ships));
    std::string error;
    ASSERT_TRUE(sim.loadScenario(tree.path("Scenarios/g.scn"), error)) << error;
  }
  SimTree tree;
  simhost::Simulation sim{tree.root()};
};

TEST_F(Geometry, LandedFramePointsSurviveLongitudeLatitudeRoundTrips) {
  struct Case {
    double lon, lat, hdg;
  } cases[] = {{23.473, 0.674, 90}, {-120.5, 45.25, 10}, {179.9, -80, 270}, {0, 0, 0}, {60, 89.5, 180}};
  std::string ships;
  int n = 0;
  for (auto c : cases) ships += simtest::landedShip("V" + std::to_string(n++), "Crate", c.lon, c.lat, c.hdg);
  load(ships);
  sim.frame();  // the Moon has turned a little
  for (int i = 0; i < n; ++i) {
    VESSEL *v = oapiGetVesselInterface(oapiGetVesselByIndex(i));
    const VECTOR3 points[] = {_V(0, 0, 0), _V(10, 0, 0), _V(-6.5, 0, 1.5), _V(3, -1, 250), _V(0, 1000, 0)};
    for (const auto &p : points) {
      VECTOR3 g, back;
      v->Local2Global(p, g);
      double lon, lat, r;
      toSurface(g, lon, lat, r);
      v->Global2Local(fromSurface(lon, lat, r), back);
      EXPECT_LT(dist(back, p), 1e-3) << "vessel " << i << " point " << p.x << "," << p.y << "," << p.z;
    }
    // The centre stands where the scenario put it, at the height of its
    // centre of gravity.
    VECTOR3 g;
    v->GetGlobalPos(g);
    double lon, lat, r;
    toSurface(g, lon, lat, r);
    EXPECT_NEAR(lon / kDeg, std::remainder(cases[i].lon, 360), 1e-9);
    EXPECT_NEAR(lat / kDeg, cases[i].lat, 1e-9);
    EXPECT_NEAR(v->GetAltitude(), v->GetCOG_elev(), 1e-6);
    EXPECT_DOUBLE_EQ(v->GetCOG_elev(), 1.0);  // half the size of 2 m
  }
}

TEST_F(Geometry, FlyingFramePointsSurviveLongitudeLatitudeRoundTrips) {
  load("Flyer:Crate\n  STATUS Orbiting Moon\n  RPOS -900000 1300000 700000\n  RVEL 300 -20 1000\n"
       "  AROT 33 -71 150\n  VROT 1 2 3\nEND\n");
  VESSEL *v = vesselNamed("Flyer");
  for (int frame = 0; frame < 3; ++frame) {
    const VECTOR3 points[] = {_V(0, 0, 0), _V(10, -5, 2), _V(-6.5, 0, 1.5), _V(0, 0, 5000)};
    for (const auto &p : points) {
      VECTOR3 g, back;
      v->Local2Global(p, g);
      double lon, lat, r;
      toSurface(g, lon, lat, r);
      v->Global2Local(fromSurface(lon, lat, r), back);
      EXPECT_LT(dist(back, p), 1e-3) << "frame " << frame;
    }
    sim.frame();  // moves, turns, and the Moon turns under it
  }
}

TEST_F(Geometry, LandedFrameFacesTheHeadingAndStandsUpright) {
  load(simtest::landedShip("North", "Crate", 30, 20, 0) + simtest::landedShip("East", "Crate", 30, 20, 90));
  VESSEL *north = vesselNamed("North"), *east = vesselNamed("East");
  VECTOR3 up, fwdN, fwdE, xN, pos;
  north->GetGlobalPos(pos);
  north->GlobalRot(_V(0, 1, 0), up);
  EXPECT_LT(dist(up, simhost::geo::unit(pos)), 1e-12);
  north->GlobalRot(_V(0, 0, 1), fwdN);
  north->GlobalRot(_V(1, 0, 0), xN);
  east->GlobalRot(_V(0, 0, 1), fwdE);
  // Facing north, x points east: where the east-facing vessel looks.
  EXPECT_LT(dist(xN, fwdE), 1e-12);
  // North is towards the pole: the global y axis.
  EXPECT_GT(fwdN.y, 0.9);
  MATRIX3 r;
  north->GetRotationMatrix(r);
  double det = r.m11 * (r.m22 * r.m33 - r.m23 * r.m32) - r.m12 * (r.m21 * r.m33 - r.m23 * r.m31) +
               r.m13 * (r.m21 * r.m32 - r.m22 * r.m31);
  EXPECT_NEAR(det, 1.0, 1e-12);
}

TEST_F(Geometry, LandedVesselsTurnWithTheMoon) {
  load(simtest::landedShip("A", "Crate", 10, 0, 0));
  VESSEL *a = vesselNamed("A");
  VECTOR3 g0, g1;
  a->GetGlobalPos(g0);
  sim.setWarp(1000);
  for (int i = 0; i < 10; ++i) sim.frame();  // 1000 s
  a->GetGlobalPos(g1);
  double turned = std::atan2(g1.z, g1.x) - std::atan2(g0.z, g0.x);
  EXPECT_NEAR(turned, kMoonRate * 1000, 1e-12);
  EXPECT_NEAR(simhost::geo::length(g1), simhost::geo::length(g0), 1e-6);
  VESSELSTATUS vs;
  a->GetStatus(vs);
  EXPECT_EQ(vs.status, 1);
  EXPECT_NEAR(vs.vdata[0].x, 10 * kDeg, 1e-12);  // still at its longitude
  VECTOR3 v;
  a->GetGlobalVel(v);
  EXPECT_NEAR(simhost::geo::length(v), kMoonRate * simhost::geo::length(g1), 1e-9);
}

TEST_F(Geometry, MoonMatrixFollowsTheDate) {
  load(simtest::landedShip("A", "Crate", 0, 0, 0));
  MATRIX3 m;
  OBJHANDLE moon = oapiGetObjectByName(const_cast<char *>("moon"));
  ASSERT_NE(moon, nullptr);
  oapiGetRotationMatrix(moon, &m);
  // The sample Moon's rotation: 27.321661 days a turn from MJD 51544.5.
  double turns = (60000.25 - 51544.5) / 27.321661;
  double phi = 2 * M_PI * (turns - std::floor(turns));
  EXPECT_NEAR(m.m11, std::cos(phi), 1e-12);
  EXPECT_NEAR(m.m13, -std::sin(phi), 1e-12);
  EXPECT_NEAR(m.m31, std::sin(phi), 1e-12);
  EXPECT_GT(std::fabs(m.m13), 1e-3);  // not the identity at this date
  EXPECT_DOUBLE_EQ(oapiGetSize(moon), 1737.4e3);
  EXPECT_NEAR(oapiGetMass(moon) * 6.67430e-11, 4.9028e12, 1e3);
  EXPECT_DOUBLE_EQ(oapiGetSimMJD(), 60000.25);
}

TEST_F(Geometry, EulerAnglesGiveBackTheirMatrix) {
  const VECTOR3 angles[] = {_V(0, 0, 0), _V(0.3, -0.2, 1.1), _V(-2.5, 1.2, 3.0), _V(1.0, 1.5707963267948966, 0.4),
                            _V(0.1, -1.5707963267948966, -0.7)};
  for (const auto &a : angles) {
    MATRIX3 m = simhost::geo::eulerToMatrix(a);
    MATRIX3 back = simhost::geo::eulerToMatrix(simhost::geo::matrixToEuler(m));
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(back.data[i], m.data[i], 1e-9) << a.x << " " << a.y << " " << a.z;
  }
  // The status record's convention: R = Rx * Ry * Rz with these signs.
  MATRIX3 rx = simhost::geo::eulerToMatrix(_V(0.5, 0, 0));
  EXPECT_NEAR(rx.m23, std::sin(0.5), 1e-15);
  MATRIX3 ry = simhost::geo::eulerToMatrix(_V(0, 0.5, 0));
  EXPECT_NEAR(ry.m13, -std::sin(0.5), 1e-15);
  MATRIX3 rz = simhost::geo::eulerToMatrix(_V(0, 0, 0.5));
  EXPECT_NEAR(rz.m12, std::sin(0.5), 1e-15);
}

TEST_F(Geometry, StatusRecordsRecreateTheSameVessel) {
  load(simtest::landedShip("Base", "Crate", 40, -10, 45) +
       "Flyer:Crate\n  STATUS Orbiting Moon\n  RPOS 1000000 1200000 800000\n  RVEL 100 -20 30\n"
       "  AROT 10 20 30\n  VROT 0 0 0\nEND\n");
  for (const char *name : {"Base", "Flyer"}) {
    VESSEL *v = vesselNamed(name);
    VESSELSTATUS vs;
    v->GetStatus(vs);
    std::string copy = std::string(name) + "Copy";
    OBJHANDLE h = oapiCreateVessel(copy.c_str(), "Crate", vs);
    ASSERT_NE(h, nullptr);
    VESSEL *c = oapiGetVesselInterface(h);
    MATRIX3 a, b;
    v->GetRotationMatrix(a);
    c->GetRotationMatrix(b);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(a.data[i], b.data[i], 1e-12) << name;
    VECTOR3 pa, pb;
    v->GetGlobalPos(pa);
    c->GetGlobalPos(pb);
    EXPECT_LT(dist(pa, pb), 1e-6) << name;
    VECTOR3 rel;
    c->GetRelativePos(v->GetHandle(), rel);
    EXPECT_LT(simhost::geo::length(rel), 1e-6);
    // Local2Rel is relative to the Moon's centre, the global origin.
    VECTOR3 l2r, l2g;
    v->Local2Rel(_V(1, 2, 3), l2r);
    v->Local2Global(_V(1, 2, 3), l2g);
    EXPECT_LT(dist(l2r, l2g), 1e-9);
  }
}

TEST_F(Geometry, LandedCreationFromStatusExLandsWhereAsked) {
  load(simtest::landedShip("Base", "Crate", 40, -10, 45));
  VESSEL *base = vesselNamed("Base");
  VESSELSTATUS2 vs{};
  vs.version = 2;
  base->GetStatusEx(&vs);
  EXPECT_EQ(vs.status, 1);
  EXPECT_NEAR(vs.surf_hdg, 45 * kDeg, 1e-12);
  // A record of another version is left alone.
  VESSELSTATUS2 other{};
  other.version = 1;
  base->GetStatusEx(&other);
  EXPECT_EQ(other.rbody, nullptr);
  vs.surf_lng = 40.001 * kDeg;
  vs.surf_lat = -10.002 * kDeg;
  OBJHANDLE h = oapiCreateVesselEx("Put", "Crate", &vs);
  ASSERT_NE(h, nullptr);
  VESSELSTATUS2 got{};
  got.version = 2;
  oapiGetVesselInterface(h)->GetStatusEx(&got);
  EXPECT_EQ(got.status, 1);
  EXPECT_NEAR(got.surf_lng, 40.001 * kDeg, 1e-12);
  EXPECT_NEAR(got.surf_lat, -10.002 * kDeg, 1e-12);
  EXPECT_NEAR(got.surf_hdg, 45 * kDeg, 1e-12);
  EXPECT_NEAR(oapiGetVesselInterface(h)->GetAltitude(), 1.0, 1e-6);
}

TEST_F(Geometry, FreeFlightFallsAndLands) {
  load(simtest::landedShip("Base", "Crate", 0, 0, 0));
  VESSEL *base = vesselNamed("Base");
  VESSELSTATUS vs;
  base->GetStatus(vs);
  vs.status = 0;
  VECTOR3 up = simhost::geo::unit(vs.rpos);
  vs.rpos = simhost::geo::add(vs.rpos, simhost::geo::scale(up, 100));
  OBJHANDLE h = oapiCreateVessel("Drop", "Crate", vs);
  ASSERT_NE(h, nullptr);
  VESSEL *drop = oapiGetVesselInterface(h);
  VESSELSTATUS s;
  drop->GetStatus(s);
  EXPECT_EQ(s.status, 0);
  double alt0 = drop->GetAltitude();
  sim.frame();
  EXPECT_LT(drop->GetAltitude(), alt0);  // falling
  for (int i = 0; i < 400; ++i) sim.frame();  // 40 s, enough for 100 m
  drop->GetStatus(s);
  EXPECT_EQ(s.status, 1);
  EXPECT_NEAR(drop->GetAltitude(), drop->GetCOG_elev(), 1e-6);
  VECTOR3 rel;
  drop->GetRelativePos(base->GetHandle(), rel);
  EXPECT_LT(simhost::geo::length(rel), 50.0);  // came down near where it was dropped
}

TEST_F(Geometry, ForcesAddUpForOneStep) {
  load("High:Crate\n  STATUS Orbiting Moon\n  RPOS 0 3000000 0\n  RVEL 0 0 0\n  AROT 0 0 0\nEND\n");
  VESSEL *v = vesselNamed("High");
  v->AddForce(_V(0, 0, 100), _V(0, 0, 0));
  v->AddForce(_V(0, 0, 100), _V(1, 0, 0));
  sim.frame();
  VECTOR3 vel;
  v->GetGlobalVel(vel);
  // 200 N on 100 kg for 0.1 s along the vessel's z axis (global z here).
  EXPECT_NEAR(vel.z, 0.2, 1e-12);
  sim.frame();
  VECTOR3 vel2;
  v->GetGlobalVel(vel2);
  EXPECT_NEAR(vel2.z, 0.2, 1e-6);  // the force was used once
  EXPECT_LT(vel2.y, vel.y);         // gravity goes on
}

}  // namespace
