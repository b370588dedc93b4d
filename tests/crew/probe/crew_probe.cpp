// The crew probe vessel: a CrewRoster behind the host's callbacks, set up
// with the ore mill's values.
#include <cstdio>
#include <new>

#include "crew_probe_api.h"
#include "crew_roster.h"

namespace {

const char PROBE_DISPLAY_NAME[] = "Crew Probe";
const int PROBE_SLOTS = 4096;

class CrewProbe;
CrewProbe *liveProbes[PROBE_SLOTS];
int liveProbeCount = 0;

class CrewProbe : public VESSEL2 {
public:
  CrewProbe(OBJHANDLE handle, int flightModel) : VESSEL2(handle, flightModel) { Register(); }
  ~CrewProbe() override { Unregister(); }

  void clbkSetClassCaps(FILEHANDLE) override {
    initResult = roster.Init(GetHandle());
    roster.DefineAirlock(0, -3.0f, 3.0f, 0.0f, 4.0f, -7.0f, 7.0f);
    roster.DeclareActionArea(1, _V(5, 0, 2.2), 5.0, 1, "action_clickOk.wav", nullptr);
    roster.SetEvaStartPose(_V(1.7, 1.2, -0.2), _V(0, 0, 0));
    roster.SetMaxSeats(1);
    SetSize(5);
    SetEmptyMass(2000);
    SetTouchdownPoints(_V(0, -0.5, 3), _V(-3, -0.5, -3), _V(3, -0.5, -3));
  }

  void clbkLoadStateEx(FILEHANDLE scn, void *status) override {
    char *line;
    while (oapiReadScenario_nextline(scn, line)) {
      if (roster.LoadStateLine(line) == 1) continue;
      ParseScenarioLineEx(line, status);
    }
  }

  void clbkSaveState(FILEHANDLE scn) override {
    VESSEL2::clbkSaveState(scn);
    roster.SaveState(scn);
  }

  void clbkPostStep(double, double, double) override {
    const int id = roster.PollActionArea();
    if (id != -1) {
      ++activations;
      lastActivatedId = id;
    }
    roster.UpdateAdvisory(PROBE_DISPLAY_NAME);
  }

  void Fill(CrewProbeState &state) const {
    state.setupFlags = roster.SetupFlags();
    state.memberCount = roster.MemberCount();
    state.seatCount = roster.SeatCount();
    state.crewMass = roster.CrewMass();
    state.airlockIndex = roster.AirlockIndex();
    state.instanceCount = CrewRoster::InstanceCount();
    state.initResult = initResult;
    state.activations = activations;
    state.lastActivatedId = lastActivatedId;
    state.liveProbes = liveProbeCount;
    const CrewMember *first = roster.Member(0);
    std::snprintf(state.firstMemberName, sizeof state.firstMemberName, "%s", first ? first->name : "");
    std::snprintf(state.firstMemberCode, sizeof state.firstMemberCode, "%s", first ? first->functionCode : "");
  }

private:
  void Register() {
    for (CrewProbe *&slot : liveProbes)
      if (!slot) {
        slot = this;
        ++liveProbeCount;
        return;
      }
  }
  void Unregister() {
    for (CrewProbe *&slot : liveProbes)
      if (slot == this) {
        slot = nullptr;
        --liveProbeCount;
        return;
      }
  }

  CrewRoster roster;
  int initResult = 0;
  int activations = 0;
  int lastActivatedId = 0;
};

}  // namespace

DLLCLBK VESSEL *ovcInit(OBJHANDLE handle, int flightModel) { return new (std::nothrow) CrewProbe(handle, flightModel); }

DLLCLBK void ovcExit(VESSEL *vessel) { delete vessel; }

DLLCLBK int CrewProbeGetState(OBJHANDLE vessel, CrewProbeState *state) {
  if (!vessel || !state) return 0;
  for (CrewProbe *probe : liveProbes)
    if (probe && probe->GetHandle() == vessel) {
      probe->Fill(*state);
      return 1;
    }
  return 0;
}
