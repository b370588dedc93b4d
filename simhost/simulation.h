// simhost: a headless, deterministic stand-in for the simulator.
//
// A Simulation is one run of the simulator on a simulator tree (Config/,
// Meshes/, Modules/, Scenarios/): a world of vessels on rotating bodies (the Moon, Mars, ...),
// vessel classes read from Config/Vessels, module vessels driven by their
// plugins through the VESSEL2 callbacks, scenario files read and written in
// the simulator's format, and a frame loop with simulation time, system time,
// time acceleration, a HUD drawn into a recording surface and buffered keys.
//
// The global oapi functions and the VESSEL methods of host/ act on the one
// Simulation that is alive; at most one exists at a time in a process.
// Plugins stay loaded for the life of the process (InitModule runs once per
// process), as in the simulator.
//
// Everything the operator would see is reported as events to the observer:
// plain records (plugin/event.h) with the simulation time, the system time,
// the kind and the fields of that kind; as a trace writes them (toJson),
// objects with "t", "sys", "kind" and these fields:
//   created  name, class, status ("landed"|"flight"), lon, lat (degrees),
//            local [x,y,z] (position in the focus vessel's frame), empty_mass
//   deleted  name
//   mass     name, empty_mass                 (a vessel's empty mass changed)
//   mesh     name, index, action ("added"|"inserted"|"deleted"|"shifted"|
//            "visibility"|"transform"), and mesh, mode or offset where known
//   hud      lines [{x, y, text}], height     (the drawn HUD changed; height:
//            the HUD area's height in pixels)
//   debug    text                             (the debug text changed)
//   key      code, name, shift, ctrl, rshift, rctrl, result, up_result
//            (a buffered key was pressed and released)
//   focus    name
//   saved    file
//   loaded   file
//   note     text                             (anything else worth telling)
//   fault    fault, and name/class, mesh, file or count (an injected fault
//            struck; see the fault methods below)
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "OrbiterAPI.h"
#include "files/path_lookup.h"
#include "files/scenario_file.h"
#include "plugin/event.h"
#include "plugin/hud_surface.h"

namespace simhost {

class World;
struct MeshData;

class Simulation {
public:
  // root: the simulator tree. Nothing is loaded yet.
  explicit Simulation(const std::string &root);
  // Ends the run: ovcExit for every module vessel that still lives.
  ~Simulation();
  Simulation(const Simulation &) = delete;
  Simulation &operator=(const Simulation &) = delete;

  static Simulation *current();

  const std::string &root() const;
  // A path the operator gave (relative to the folder simhost started in),
  // as it names that file while the run lives: on Windows the process
  // stands in the tree then (platform/platform.h). Files the run writes for
  // the operator (a map, a replay page) go through it.
  std::string operatorPath(const std::string &path) const;
  void setObserver(EventObserver observer, EventKinds kinds = kAllEvents);
  // Hands an event to the observer, with its times filled in; for parts
  // of the stand-in outside this class (the crew module, the command).
  void report(Event event);

  // Loads a scenario file into an empty world. On a malformed file returns
  // false with "FILE:LINE: what is wrong" in error and leaves no vessel.
  bool loadScenario(const std::string &path, std::string &error);
  // Writes the world as a scenario file; reports a "saved" event. A path
  // that is a symbolic link is written through to its target (see
  // saveTarget below).
  bool saveScenario(const std::string &path, std::string &error);
  // The lines a save would write in the vessel's block, between its
  // NAME:CLASS line and END, without their indentation. False when there
  // is no vessel of that name.
  bool vesselBlockLines(const std::string &name, std::vector<std::string> &lines, std::string &error);
  // The same lines of the vessel behind a handle, as written, each ended
  // by '\n' and indented as in the file: an account of every vessel of a
  // large world looks none up by name and keeps none. The text stays as it
  // is until the next call for a vessel's block. False when the handle is
  // no vessel's.
  bool blockText(OBJHANDLE vessel, std::string_view &text);
  // What the last load kept as read and noted: the ships held as read, not
  // in the world, and the notes with their lines, in file order.
  const ScenarioMeta &scenarioRead() const;

  // ---- time and display
  void setFrameLength(double seconds);  // real seconds per frame, default 0.1
  void setWarp(double factor);          // time acceleration, default 1
  void setPaused(bool paused);
  void setHudVisible(bool visible);     // default on
  void setHudSize(int width, int height);  // default 1024 x 768
  // One frame: system time advances by the frame length; unless paused,
  // simulation time by frame length x warp, and every vessel gets
  // clbkPreStep, moves, and gets clbkPostStep; then, while the HUD is on,
  // the focus vessel's clbkDrawHUD. Changes are reported as events.
  void frame();
  double simTime() const;
  double simStep() const;
  double sysTime() const;
  double mjd() const;
  double warp() const;
  bool paused() const;

  // ---- operations, as the operator or a script makes them. Each returns
  // false with a message in error when it cannot be done.
  // The modifier keys held with a buffered key, as bits.
  enum KeyModifier : unsigned { LeftShift = 1, LeftCtrl = 2, RightShift = 4, RightCtrl = 8 };
  // A buffered key: pressed (down) and released, with the modifiers held
  // (KeyModifier bits). The "key" event gives what the vessel answered to
  // both: "result" for the press, "up_result" for the release.
  bool pressKey(DWORD code, unsigned modifiers, std::string &error);
  // The same with the left shift and left control keys.
  bool pressKey(DWORD code, bool shift, bool ctrl, std::string &error);
  bool setFocus(const std::string &name, std::string &error);
  // A new vessel of the class, landed at (x, z) of vessel near's frame,
  // heading in degrees relative to near's heading.
  bool placeVessel(const std::string &name, const std::string &className, const std::string &near, double x,
                   double z, double headingDeg, std::string &error);
  bool deleteVessel(const std::string &name, std::string &error);
  bool setEmptyMass(const std::string &name, double kg, std::string &error);
  bool attach(const std::string &child, const std::string &parent, std::string &error);
  bool detach(const std::string &child, std::string &error);
  bool setAfcMode(const std::string &name, DWORD bits, std::string &error);

  // ---- injected faults, for reliability tests and scripts. Each strikes
  // at the host call it names and is then reported as a "fault" event.
  // Creation of vessels of the class ("*": any) fails, the next `times`
  // times or, with times < 0, until cleared; the scenario loader, the
  // operator's placeVessel and oapiCreateVesselEx all fail alike.
  void failVesselCreation(const std::string &classPattern, int times);
  // oapiLoadMesh and the class meshes cannot load the mesh ("UCGO\Box").
  void failMesh(const std::string &meshName);
  // The tree's file (a simulator path) is deleted the next time hostOpenFile
  // or the class or mesh reader opens it, and that open fails. False when
  // there is no such file.
  bool vanishFile(const std::string &simPath, std::string &error);
  // hostOpenFile and the class and mesh readers cannot open the file, while
  // it stays in place. False when there is no such file.
  bool blockFile(const std::string &simPath, std::string &error);
  // Ends every injected fault of the run (the crew module's table is the
  // crew module's: see crew_module.h).
  void clearFaults();

  // ---- what the operator sees
  OBJHANDLE focus() const;
  // The HUD as last drawn: one entry per TextOutA call, in drawing order.
  using HudText = simhost::HudText;
  const std::vector<HudText> &hud() const;
  std::string debugText() const;

  // ---- the site as it stands, for pictures of the run
  struct MeshView {
    int index = 0;
    std::string name;                // the mesh's name, empty when unknown
    const MeshData *mesh = nullptr;  // null when the file could not be loaded
    VECTOR3 offset{};                // vessel frame, m
    WORD visibility = 0;             // MESHVIS_ bits; 0: hidden
  };
  struct PointView {
    std::string id;
    VECTOR3 pos{};  // vessel frame, m
    bool toParent = false;
  };
  struct VesselView {
    std::string name, className;
    double emptyMass = 0;
    bool landed = false;
    double cogElevation = 0;  // centre of gravity above the ground when landed, m
    VECTOR3 pos{};            // centre of gravity in the reference's frame, m
    MATRIX3 rot{};            // the vessel's frame to the reference's frame
    std::vector<MeshView> meshes;  // the mesh slots in use, by index
    std::vector<PointView> attachments;
  };
  struct SiteView {
    VECTOR3 north{};  // the horizon's north, a unit vector of the reference's frame
    std::vector<VesselView> vessels;  // in creation order, the reference among them
  };
  // Every vessel as it stands, seen from the frame of the vessel named
  // reference (its centre of gravity the origin; x right, y up, z forward).
  // False when there is no vessel of that name.
  bool viewSite(const std::string &reference, SiteView &site, std::string &error);

  World &world();

private:
  struct Impl;
  std::unique_ptr<Impl> impl;
};

}  // namespace simhost
