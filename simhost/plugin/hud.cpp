// The POSIX HUD surface (hud_surface.h): the device context handed to
// clbkDrawHUD records each TextOutA call instead of drawing it.
#ifndef _WIN32

#include <cstring>

#include "plugin/hud_surface.h"
#include "plugin/module_host.h"

// The POSIX stand-in's device context (win32.h declares HDC as a pointer to
// it).
struct HostDeviceContext {
  std::vector<simhost::HudText> lines;
  bool open = false;  // only while the host's clbkDrawHUD call runs
};

namespace simhost {

struct HudSurface::State {
  HostDeviceContext context;
};

HudSurface::HudSurface() : state_(std::make_unique<State>()) {}
HudSurface::~HudSurface() = default;

HDC HudSurface::open() {
  state_->context.lines.clear();
  state_->context.open = true;
  return &state_->context;
}

std::vector<HudText> HudSurface::close() {
  state_->context.open = false;
  std::vector<HudText> drawn;
  drawn.swap(state_->context.lines);
  return drawn;
}

bool HudSurface::isOpen(HDC hdc) const { return hdc && hdc == &state_->context && hdc->open; }

}  // namespace simhost

namespace {

// Longer texts are not HUD lines but a caller's fault.
constexpr int kMaxHudText = 4096;

}  // namespace

extern "C" BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int len) {
  simhost::ModuleHost *rt = simhost::currentHost();
  if (!rt || !rt->hudSurface.isOpen(hdc) || !text || len < 0 || len > kMaxHudText) return FALSE;
  size_t n = strnlen(text, static_cast<size_t>(len));
  hdc->lines.push_back({x, y, std::string(text, n)});
  return TRUE;
}

#endif  // !_WIN32
