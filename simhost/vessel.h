// The host's record of one vessel: what the simulator knows about it besides
// the module's own object. An OBJHANDLE of a vessel is the address of its
// VesselRecord; the VESSEL interface reaches the record through the same
// address.
//
// The state is kept the way the vessel lives: a landed vessel by longitude,
// latitude and heading on the Moon (it turns with the Moon), a vessel in
// free flight by position, velocity and rotation in the global frame, and an
// attached child through its parent. vessel_state.cpp derives the global
// position and rotation from whichever applies.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Orbitersdk.h"

namespace simhost {

struct MeshData;
struct VesselClass;
struct VesselModule;
struct VesselRecord;
struct ScenarioBlock;

// One attachment point (an ATTACHMENTHANDLE is its address).
struct Attachment {
  VesselRecord *owner = nullptr;
  bool toParent = false;
  VECTOR3 pos{}, dir{}, rot{};
  char id[33] = {};  // the whole id, up to 32 characters
  bool loose = false;
  Attachment *peer = nullptr;  // the point of the other vessel it is joined to
};

struct MeshSlot {
  bool used = false;
  std::string name;                // the mesh's name, empty when added by handle of unknown name
  const MeshData *mesh = nullptr;  // null when the file could not be loaded
  VECTOR3 offset{};
  WORD visibility = MESHVIS_EXTERNAL;
};

// A mesh group transform applied to a vessel's visual.
struct GroupTransform {
  int mesh = 0, group = -1;
  int kind = 0;  // MESHGROUP_TRANSFORM::TRANSLATE, ROTATE or SCALE
  VECTOR3 ref{}, axis{}, shift{}, scale{};
  float angle = 0;
};

struct Visual {
  VesselRecord *owner = nullptr;
  std::vector<GroupTransform> transforms;
};

struct VesselRecord {
  uint64_t serial = 0;  // unique per process: tells a reused address apart
  size_t index = 0;     // position in the world's list
  std::string name;
  std::string className;
  const VesselClass *cls = nullptr;
  const VesselModule *module = nullptr;  // null: passive vessel
  VESSEL *iface = nullptr;
  std::unique_ptr<VESSEL> hostIface;  // the interface of a passive vessel

  // ---- state
  bool landed = true;
  double lon = 0, lat = 0, hdg = 0;  // landed: on the Moon, radians
  VECTOR3 bodyPos{};                 // landed: centre of gravity in the Moon's frame
  MATRIX3 bodyRot{};                 // landed: vessel frame to the Moon's frame
  VECTOR3 pos{}, vel{};              // in flight: global frame
  MATRIX3 rot{};                     // in flight: vessel frame to global frame
  VECTOR3 angVel{};                  // in flight: rad/s about the vessel's axes
  VECTOR3 force{};                   // forces for the next step, vessel frame
  Attachment *parentLink = nullptr;  // attached child: its own point joined to the parent

  // ---- definition
  double size = 1.0;
  double emptyMass = 0.0;
  VECTOR3 touchdown[3]{};
  double cogElev = 0.5;
  VECTOR3 cameraOffset{}, cameraDir{0, 0, 1};
  DWORD adcMode = 0;
  std::vector<MeshSlot> meshes;
  std::unique_ptr<Visual> visual;
  VISHANDLE visHandle = nullptr;
  std::vector<std::unique_ptr<Attachment>> parentPoints;  // toparent = true
  std::vector<std::unique_ptr<Attachment>> childPoints;   // toparent = false

  // ---- scenario
  std::vector<std::string> keptLines;  // a passive vessel's lines the host does not know
  ScenarioBlock *loading = nullptr;    // the block being read while the vessel loads
  std::string pendingParent;           // "ATTACHED" line: resolved once all vessels exist
  long pendingParentPoint = -1, pendingChildPoint = -1;
  int pendingLine = 0;

  bool announced = false;  // "created" reported; later changes are reported too
  bool listedFlying = false;  // in the world's list of vessels the frame moves
};

}  // namespace simhost
