// The HUD surface: the device context simhost hands to a vessel's
// clbkDrawHUD, and the texts drawn into it with TextOutA, in drawing order.
//
// One implementation per platform. On POSIX (hud.cpp) the context is
// simhost's own record, which its TextOutA fills. On Windows
// (hud_windows.cpp) it is a real device context, an enhanced metafile that
// records the calls of the real TextOutA, read back when the drawing ends.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "OrbiterAPI.h"

namespace simhost {

// One TextOutA call: where and what.
struct HudText {
  int x, y;
  std::string text;
};

class HudSurface {
public:
  HudSurface();
  ~HudSurface();
  HudSurface(const HudSurface &) = delete;
  HudSurface &operator=(const HudSurface &) = delete;

  // A fresh surface for one clbkDrawHUD call.
  HDC open();
  // Ends that call: what was drawn, in drawing order.
  std::vector<HudText> close();
  // Whether hdc is this surface and open for drawing.
  bool isOpen(HDC hdc) const;

private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace simhost
