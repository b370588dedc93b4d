// FrameClock: a time that advances by whole frames.
//
// Summing the step frame by frame drifts (a hundred and forty steps of 0.1 s
// sum to 13.999999999999966 s), and the mill's whole-second timers then fire
// a second early. The clock counts frames since its step last changed
// instead, so that at a steady step the n-th frame lands on n x step as
// exactly as a double holds it (n / 10 for a step of 0.1 s).
#pragma once

#include <cmath>
#include <cstdint>

namespace simhost {

class FrameClock {
public:
  double now() const { return now_; }

  // The next frame, step seconds after the last one.
  void advance(double step) {
    if (step != step_) {
      base_ = now_;
      frames_ = 0;
      step_ = step;
    }
    ++frames_;
    now_ = base_ + elapsed();
  }

  void reset() { *this = FrameClock(); }

private:
  // A step that is an exact fraction 1/k of a second divides by k, which
  // rounds once; a product with the inexact step would round twice.
  double elapsed() const {
    double perSecond = 1.0 / step_;
    double frames = static_cast<double>(frames_);
    return perSecond == std::round(perSecond) ? frames / perSecond : frames * step_;
  }

  double now_ = 0, base_ = 0, step_ = 0;
  std::int64_t frames_ = 0;
};

}  // namespace simhost
