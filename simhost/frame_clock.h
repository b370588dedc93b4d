// FrameClock: a time that advances by whole frames.
//
// Summing the step frame by frame drifts (a hundred and forty steps of 0.1 s
// sum to 13.999999999999966 s), and so does a product with a step that a
// double cannot hold (ten steps of 0.7 s at 3x make 20.999999999999996 s);
// the mill's whole-second timers then fire a second early or late. Frame
// lengths and accelerations are given as decimals, so a step is a whole
// number of ticks of 10^-k s: the clock counts ticks in an integer and turns
// them into seconds with one division, which lands every frame on the
// decimal time it stands for (n / 10 for the n-th frame of 0.1 s) as exactly
// as a double holds it, also after the step changed.
//
// A step that is no decimal of at most kMostDecimals places (1/3 s) counts
// from the time it began: frames times step.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace simhost {

class FrameClock {
public:
  double now() const { return now_; }

  // The next frame, step seconds after the last one.
  void advance(double step) {
    if (step != step_) begin(step);
    ++frames_;
    if (!decimalStep_) {
      now_ = base_ + static_cast<double>(frames_) * step_;
      return;
    }
    if (ticks_ > kMostTicks - stepTicks_) restartFrom(now_);
    ticks_ += stepTicks_;
    now_ = base_ + static_cast<double>(ticks_) / kPowersOfTen[scale_];
  }

  void reset() { *this = FrameClock(); }

private:
  static constexpr int kMostDecimals = 9;
  static constexpr double kPowersOfTen[kMostDecimals + 1] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  static constexpr std::int64_t kMostTicks = std::numeric_limits<std::int64_t>::max();
  // Longer steps (about 30 years) are counted as frames times step.
  static constexpr double kLongestDecimalStep = 1e9;

  void begin(double step) {
    const bool ticksHoldTheTime = decimalStep_ || frames_ == 0;
    step_ = step;
    frames_ = 0;
    int scale = 0;
    decimalStep_ = decimalTicks(step, stepTicks_, scale);
    if (!decimalStep_ || !ticksHoldTheTime) restartFrom(now_);
    if (!decimalStep_) return;
    // Both counts in the finer of the two tick lengths.
    for (; scale_ < scale; ++scale_) {
      if (ticks_ > kMostTicks / 10) restartFrom(now_);
      ticks_ *= 10;
    }
    for (; scale < scale_; ++scale) stepTicks_ *= 10;
  }

  // The step as a whole number of ticks of 10^-scale s, with the fewest
  // places that hold it to within the rounding of a product of decimals.
  static bool decimalTicks(double step, std::int64_t &ticks, int &scale) {
    if (!(step > 0) || !(step < kLongestDecimalStep)) return false;
    for (scale = 0; scale <= kMostDecimals; ++scale) {
      const double scaled = step * kPowersOfTen[scale];
      const double whole = std::round(scaled);
      if (whole >= 1 && std::fabs(scaled - whole) <= scaled * 8 * std::numeric_limits<double>::epsilon()) {
        ticks = static_cast<std::int64_t>(whole);
        return true;
      }
    }
    return false;
  }

  // The time so far becomes the base from which ticks count afresh.
  void restartFrom(double time) {
    base_ = time;
    ticks_ = 0;
  }

  double now_ = 0, base_ = 0, step_ = 0;
  std::int64_t frames_ = 0, ticks_ = 0, stepTicks_ = 0;
  int scale_ = 0;
  bool decimalStep_ = false;
};

}  // namespace simhost
