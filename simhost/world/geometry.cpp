#include "world/geometry.h"

#include <cmath>

namespace simhost::geo {

VECTOR3 cross(const VECTOR3 &a, const VECTOR3 &b) {
  return _V(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
double length(const VECTOR3 &a) { return std::sqrt(dot(a, a)); }
VECTOR3 unit(const VECTOR3 &a) {
  double l = length(a);
  return l > 0 ? scale(a, 1.0 / l) : a;
}

MATRIX3 identity() { return _M(1, 0, 0, 0, 1, 0, 0, 0, 1); }
MATRIX3 fromColumns(const VECTOR3 &x, const VECTOR3 &y, const VECTOR3 &z) {
  return _M(x.x, y.x, z.x, x.y, y.y, z.y, x.z, y.z, z.z);
}
VECTOR3 column(const MATRIX3 &m, int i) { return _V(m.data[i], m.data[3 + i], m.data[6 + i]); }
MATRIX3 transpose(const MATRIX3 &m) {
  return _M(m.m11, m.m21, m.m31, m.m12, m.m22, m.m32, m.m13, m.m23, m.m33);
}
MATRIX3 orthonormalize(const MATRIX3 &m) {
  VECTOR3 z = unit(column(m, 2));
  VECTOR3 y = column(m, 1);
  y = unit(sub(y, scale(z, dot(y, z))));
  VECTOR3 x = cross(y, z);
  return fromColumns(x, y, z);
}
MATRIX3 axisRotation(const VECTOR3 &axis, double angle) {
  VECTOR3 k = unit(axis);
  double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
  return _M(t * k.x * k.x + c, t * k.x * k.y - s * k.z, t * k.x * k.z + s * k.y,  //
            t * k.x * k.y + s * k.z, t * k.y * k.y + c, t * k.y * k.z - s * k.x,  //
            t * k.x * k.z - s * k.y, t * k.y * k.z + s * k.x, t * k.z * k.z + c);
}

MATRIX3 eulerToMatrix(const VECTOR3 &a) {
  double cx = std::cos(a.x), sx = std::sin(a.x);
  double cy = std::cos(a.y), sy = std::sin(a.y);
  double cz = std::cos(a.z), sz = std::sin(a.z);
  MATRIX3 rx = _M(1, 0, 0, 0, cx, sx, 0, -sx, cx);
  MATRIX3 ry = _M(cy, 0, -sy, 0, 1, 0, sy, 0, cy);
  MATRIX3 rz = _M(cz, sz, 0, -sz, cz, 0, 0, 0, 1);
  return mul(rx, mul(ry, rz));
}

VECTOR3 matrixToEuler(const MATRIX3 &m) {
  // m13 = -sin(b), m23 = sin(a) cos(b), m33 = cos(a) cos(b),
  // m12 = cos(b) sin(c), m11 = cos(b) cos(c).
  double sb = -m.m13;
  if (sb > 1) sb = 1;
  if (sb < -1) sb = -1;
  double b = std::asin(sb);
  if (std::fabs(sb) < 1 - 1e-12) return _V(std::atan2(m.m23, m.m33), b, std::atan2(m.m12, m.m11));
  // Gimbal lock: only a +- c is defined; put it all in a (c = 0), where
  // m21 = sin(a) sin(b) and m22 = cos(a).
  return _V(std::atan2(m.m21 * sb, m.m22), b, 0.0);
}

bool finite(const VECTOR3 &v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace simhost::geo

namespace simhost::surface {

using geo::kPi;

MATRIX3 rotation(double phi) {
  double c = std::cos(phi), s = std::sin(phi);
  return _M(c, 0, -s, 0, 1, 0, s, 0, c);
}

VECTOR3 up(double lon, double lat) {
  return _V(std::cos(lat) * std::cos(lon), std::sin(lat), std::cos(lat) * std::sin(lon));
}
VECTOR3 north(double lon, double lat) {
  return _V(-std::sin(lat) * std::cos(lon), std::cos(lat), -std::sin(lat) * std::sin(lon));
}
VECTOR3 east(double lon) { return _V(-std::sin(lon), 0, std::cos(lon)); }

MATRIX3 surfaceFrame(double lon, double lat, double hdg) {
  VECTOR3 u = up(lon, lat);
  VECTOR3 forward = geo::add(geo::scale(north(lon, lat), std::cos(hdg)), geo::scale(east(lon), std::sin(hdg)));
  VECTOR3 x = geo::cross(u, forward);
  return geo::fromColumns(x, u, forward);
}

void lonLat(const VECTOR3 &b, double &lon, double &lat) {
  double r = geo::length(b);
  if (r <= 0) {
    lon = lat = 0;
    return;
  }
  lon = std::atan2(b.z, b.x);
  double s = b.y / r;
  lat = std::asin(s > 1 ? 1 : (s < -1 ? -1 : s));
}

double heading(const VECTOR3 &forward, double lon, double lat) {
  double n = geo::dot(forward, north(lon, lat));
  double e = geo::dot(forward, east(lon));
  if (std::fabs(n) < 1e-12 && std::fabs(e) < 1e-12) return 0.0;
  double h = std::atan2(e, n);
  return h < 0 ? h + 2 * kPi : h;
}

VECTOR3 surfaceVelocity(const VECTOR3 &g, double rate) { return _V(-g.z * rate, 0, g.x * rate); }

}  // namespace simhost::surface
