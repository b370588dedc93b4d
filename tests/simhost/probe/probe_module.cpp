// The probe vessel module: records what the host calls, in order, into a
// log the tests read through the export ProbeLog, and reacts in simple,
// visible ways:
//   clbkSetClassCaps  size 3, empty mass 500, touchdown plane 1.5 m below,
//                     mesh "ProbeBox" at index 0
//   scenario          "PROBE text" lines are its own (saved back); every
//                     other line goes to the host's parser
//   key C             returns 1 and toggles the HUD line "probe on"
//   key 7             writes "seven" into the debug text; returns 0
//   key D             deletes the vessel itself (from inside its callback)
//   key N / key L     its saved line becomes "a<newline>END" / 1100 characters
// A vessel whose name starts with "Null" is refused by ovcInit.
#include <cstdio>
#include <cstring>
#include <string>

#include "Orbitersdk.h"
#include "host_extras.h"

namespace {

std::string g_log;
int g_initCount = 0;

void note(const std::string &s) {
  g_log += s;
  g_log += '\n';
}

class Probe : public VESSEL2 {
public:
  Probe(OBJHANDLE h, int fm) : VESSEL2(h, fm) {}
  std::string name() const { return GetName(); }

  void clbkSetClassCaps(FILEHANDLE) override {
    note("setclasscaps " + name());
    SetSize(3);
    SetEmptyMass(500);
    SetTouchdownPoints(_V(0, -1.5, 1), _V(-1, -1.5, -1), _V(1, -1.5, -1));
    AddMesh("ProbeBox");
  }
  void clbkLoadStateEx(FILEHANDLE scn, void *status) override {
    note("loadstate " + name());
    char *line;
    while (oapiReadScenario_nextline(scn, line)) {
      if (!strncmp(line, "PROBE ", 6)) {
        text_ = line + 6;
        note("line " + text_);
      } else {
        ParseScenarioLineEx(line, status);
      }
    }
  }
  void clbkSaveState(FILEHANDLE scn) override {
    VESSEL2::clbkSaveState(scn);
    if (!text_.empty()) oapiWriteScenario_string(scn, const_cast<char *>("PROBE"), text_.data());
  }
  void clbkSetStateEx(const void *status) override {
    note("setstate " + name());
    VESSEL2::clbkSetStateEx(status);
  }
  void clbkPostCreation() override { note("postcreation " + name()); }
  void clbkVisualCreated(VISHANDLE vis, int refcount) override {
    note("visual " + name() + " " + std::to_string(refcount) + (vis ? " set" : " null"));
  }
  void clbkPreStep(double, double, double) override { ++pre_; }
  void clbkPostStep(double simt, double, double) override {
    ++post_;
    if (post_ == 1) note("first poststep " + name() + " " + std::to_string(static_cast<int>(simt * 10)));
  }
  void clbkDrawHUD(int mode, const HUDPAINTSPEC *hps, HDC hdc) override {
    if (hudOn_) TextOutA(hdc, 5, hps->H / 60 * 12, "probe on", 8);
    if (mode != 1) note("hud mode");
  }
  int clbkConsumeBufferedKey(DWORD key, bool down, char *kstate) override {
    note(std::string("key ") + std::to_string(key) + (down ? " down" : " up") + (KEYMOD_SHIFT(kstate) ? " shift" : "") +
         (KEYMOD_CONTROL(kstate) ? " ctrl" : ""));
    if (!down) return 0;
    if (key == OAPI_KEY_C) {
      hudOn_ = !hudOn_;
      return 1;
    }
    if (key == OAPI_KEY_7) std::snprintf(oapiDebugString(), DEBUG_STRING_CAPACITY, "seven");
    if (key == OAPI_KEY_D) oapiDeleteVessel(GetHandle());
    if (key == OAPI_KEY_N) text_ = "a\nEND";
    if (key == OAPI_KEY_L) text_ = std::string(1100, 'l');
    return 0;
  }

private:
  std::string text_;
  bool hudOn_ = false;
  int pre_ = 0, post_ = 0;
};

}  // namespace

DLLCLBK void InitModule(HINSTANCE) { ++g_initCount; }

DLLCLBK VESSEL *ovcInit(OBJHANDLE h, int fm) {
  char name[64];
  oapiGetObjectName(h, name, sizeof name);
  note("init " + std::string(name));
  if (!strncmp(name, "Null", 4)) return nullptr;
  return new Probe(h, fm);
}

DLLCLBK void ovcExit(VESSEL *v) {
  if (!v) return;
  note("exit " + std::string(v->GetName()));
  delete static_cast<Probe *>(v);
}

DLLCLBK const char *ProbeLog() { return g_log.c_str(); }
DLLCLBK void ProbeClearLog() { g_log.clear(); }
DLLCLBK int ProbeInitCount() { return g_initCount; }
