// What the operator sees and presses: the mill's three HUD lines and its
// three key commands.
#include "calvane.h"
#include "whole_seconds.h"

namespace {

// Rows of the three lines, in units of a sixtieth of the HUD's height.
const int ReleaseRow = 12;
const int MillRow = 18;
const int StatusRow = 21;
const int TextX = 5;  // px

const int AnySlot = -1;

}  // namespace

void Calvane::clbkDrawHUD(int /*mode*/, const HUDPAINTSPEC *hps, HDC hDC) {
  oapiOpenMFD(0, 0);
  oapiOpenMFD(0, 1);
  if (!hps) return;
  const int rowUnit = hps->H / 60;
  DrawHudLine(releaseMessage, rowUnit * ReleaseRow, hDC);
  DrawHudLine(millMessage, rowUnit * MillRow, hDC);
  DrawHudLine(statusMessage, rowUnit * StatusRow, hDC);
}

void Calvane::DrawHudLine(HudMessage &message, int y, HDC hDC) {
  if (!message.IsShown()) return;
  const char *text = message.Text();
  int length = 0;
  while (text[length] != '\0') ++length;
  TextOutA(hDC, TextX, y, text, length);
  // The line counts down only while the HUD is drawn, by simulation time.
  message.Elapse(oapiGetSimStep());
}

int Calvane::clbkConsumeBufferedKey(DWORD key, bool down, char *kstate) {
  if (!down) return 0;
  const bool shift = kstate && KEYMOD_SHIFT(kstate);
  const bool control = kstate && KEYMOD_CONTROL(kstate);
  if (key == OAPI_KEY_C && shift && !control) {
    if (cargoBay.ReleaseCargo(AnySlot) == 1) {
      releaseMessage.Post("Ore Cargo released");
    } else {
      releaseMessage.Post("Cargo not released (empty slot, no cargo aboard?)");
    }
    return 1;
  }
  if (shift || control) return 0;
  if (key == OAPI_KEY_7) {
    ProduceOreCargo();
    return 1;
  }
  if (key == OAPI_KEY_4) {
    ToggleProcessingByKey();
    // The host sees the key as well.
    return 0;
  }
  return 0;
}

void Calvane::ToggleProcessingByKey() {
  if (autospawn == 1) {
    autospawn = 0;
    millMessage.Post("Autoprocessing disabled");
    return;
  }
  autospawn = 1;
  millMessage.Post("Autoprocessing enabled");
  // Switched on by hand, the first production comes one interval later.
  nextSpawnTime = WholeSeconds(oapiGetSimTime() + spawnTime);
}
