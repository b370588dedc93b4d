// The HUD surface: the device context handed to clbkDrawHUD records each
// TextOutA call instead of drawing it.

#include <cstring>

#include "runtime.h"

namespace {

// Longer texts are not HUD lines but a caller's fault.
constexpr int kMaxHudText = 4096;

}  // namespace

extern "C" BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int len) {
  simhost::Runtime *rt = simhost::currentRuntime();
  if (!rt || !hdc || hdc != &rt->hudSurface || !hdc->open || !text || len < 0 || len > kMaxHudText) return FALSE;
  size_t n = strnlen(text, static_cast<size_t>(len));
  hdc->lines.push_back({x, y, std::string(text, n)});
  return TRUE;
}
