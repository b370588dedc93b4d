// Vector and matrix arithmetic on the simulator's VECTOR3 and MATRIX3, the
// Euler angles of status records, and a body's surface: its rotation and the
// local horizon frames of landed vessels.
//
// Used by every part of the stand-in that places or moves a vessel. All
// frames are the simulator's: the global frame does not rotate; a body frame
// has its origin at the body's centre and turns with the body; a vessel's
// rotation matrix takes vessel-frame vectors into the global frame.
#pragma once

#include "OrbiterAPI.h"

namespace simhost::geo {

constexpr double kPi = 3.14159265358979323846;

// The small operations are inline: the scans of a busy world call them
// for every vessel.
inline VECTOR3 add(const VECTOR3 &a, const VECTOR3 &b) { return _V(a.x + b.x, a.y + b.y, a.z + b.z); }
inline VECTOR3 sub(const VECTOR3 &a, const VECTOR3 &b) { return _V(a.x - b.x, a.y - b.y, a.z - b.z); }
inline VECTOR3 scale(const VECTOR3 &a, double s) { return _V(a.x * s, a.y * s, a.z * s); }
inline double dot(const VECTOR3 &a, const VECTOR3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
VECTOR3 cross(const VECTOR3 &a, const VECTOR3 &b);
double length(const VECTOR3 &a);
// The unit vector along a; the zero vector stays zero.
VECTOR3 unit(const VECTOR3 &a);

MATRIX3 identity();
MATRIX3 fromColumns(const VECTOR3 &x, const VECTOR3 &y, const VECTOR3 &z);
VECTOR3 column(const MATRIX3 &m, int i);
MATRIX3 transpose(const MATRIX3 &m);
inline MATRIX3 mul(const MATRIX3 &a, const MATRIX3 &b) {
  MATRIX3 r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      r.data[3 * i + j] = a.data[3 * i] * b.data[j] + a.data[3 * i + 1] * b.data[3 + j] + a.data[3 * i + 2] * b.data[6 + j];
  return r;
}
inline VECTOR3 mul(const MATRIX3 &m, const VECTOR3 &v) {
  return _V(m.m11 * v.x + m.m12 * v.y + m.m13 * v.z, m.m21 * v.x + m.m22 * v.y + m.m23 * v.z,
            m.m31 * v.x + m.m32 * v.y + m.m33 * v.z);
}
// m transposed times v: the inverse rotation.
inline VECTOR3 tmul(const MATRIX3 &m, const VECTOR3 &v) {
  return _V(m.m11 * v.x + m.m21 * v.y + m.m31 * v.z, m.m12 * v.x + m.m22 * v.y + m.m32 * v.z,
            m.m13 * v.x + m.m23 * v.y + m.m33 * v.z);
}
// The nearest rotation to m (Gram-Schmidt on its columns), so that repeated
// small turns do not let a vessel's frame drift out of shape.
MATRIX3 orthonormalize(const MATRIX3 &m);
// Turn by angle about a unit axis (right-hand rule on the components).
MATRIX3 axisRotation(const VECTOR3 &axis, double angle);

// Status-record angles: R = Rx(a.x) * Ry(a.y) * Rz(a.z).
MATRIX3 eulerToMatrix(const VECTOR3 &arot);
VECTOR3 matrixToEuler(const MATRIX3 &m);

bool finite(const VECTOR3 &v);

}  // namespace simhost::geo

namespace simhost::surface {

// Body frame to global frame at rotation angle phi (about the body's y axis).
MATRIX3 rotation(double phi);

// Directions at lon, lat in the body's frame.
VECTOR3 up(double lon, double lat);
VECTOR3 north(double lon, double lat);
VECTOR3 east(double lon);
// The frame of a vessel standing at lon, lat with heading hdg, as a rotation
// from the vessel frame to the body frame.
MATRIX3 surfaceFrame(double lon, double lat, double hdg);
// Longitude and latitude of a point given in the body frame; (0, 0) for the
// centre itself.
void lonLat(const VECTOR3 &body, double &lon, double &lat);
// Heading of a body-frame forward axis seen from lon, lat: its projection on
// the horizon, from north towards east, in [0, 2 pi).
double heading(const VECTOR3 &forward, double lon, double lat);
// Velocity of a point turning with a body at angular rate (rad/s), from its
// position relative to the body's centre in the global frame.
VECTOR3 surfaceVelocity(const VECTOR3 &fromCentre, double angularRate);

}  // namespace simhost::surface
