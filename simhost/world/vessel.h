// The host's record of one vessel: what the simulator knows about it besides
// the module's own object. An OBJHANDLE of a vessel is the address of its
// VesselRecord; the VESSEL interface reaches the record through the same
// address.
//
// The state is kept the way the vessel lives: a landed vessel by longitude,
// latitude and heading on its body (it turns with the body), a vessel in
// free flight by position, velocity and rotation in the global frame (kept
// apart: most vessels never fly), and an attached child through its parent.
// vessel_state.cpp derives the global position and rotation from whichever
// applies.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "Orbitersdk.h"
#include "world/attachment_list.h"
#include "world/body.h"
#include "world/mesh_slots.h"

namespace simhost {

struct MeshData;
struct VesselClass;
struct VesselModule;
struct VesselRecord;
struct ScenarioBlock;

// A mesh group transform applied to a vessel's visual.
struct GroupTransform {
  int mesh = 0, group = -1;
  int kind = 0;  // MESHGROUP_TRANSFORM::TRANSLATE, ROTATE or SCALE
  VECTOR3 ref{}, axis{}, shift{}, scale{};
  float angle = 0;
};

// The state of a vessel in free flight.
struct FlightState {
  VECTOR3 pos{}, vel{};  // global frame
  MATRIX3 rot{};         // vessel frame to global frame
  VECTOR3 angVel{};      // rad/s about the vessel's axes
  VECTOR3 force{};       // forces for the next step, vessel frame
};

// "ATTACHED CHILDPOINT:PARENTPOINT,PARENT" as read, with its line; and the
// ship's block as read, kept should simhost not hold the parent.
struct PendingAttachment {
  std::string parent;
  long parentPoint = -1, childPoint = -1;
  int line = 0;
  int shipLine = 0;
  std::vector<std::string> verbatim;
  uint64_t after = 0;  // the serial of the vessel the file made before it
};

struct Visual {
  VesselRecord *owner = nullptr;
  std::vector<GroupTransform> transforms;
};

// What a scan reads for every vessel (the first attachment point's peer and
// id, the interface, where a landed vessel stands, the class name, the
// attachment list) lies in the second to fourth cache lines of its record;
// records start on a cache line (vessel_pool.h).
struct alignas(64) VesselRecord {
  VesselRecord() = default;
  ~VesselRecord() {
    if (hostIfaceMade) std::launder(reinterpret_cast<VESSEL2 *>(hostIfaceBytes))->~VESSEL2();
  }
  VesselRecord(const VesselRecord &) = delete;
  VesselRecord &operator=(const VesselRecord &) = delete;
  // The interface of a passive vessel, made in place.
  VESSEL2 *makeHostIface() {
    hostIfaceMade = true;
    return new (hostIfaceBytes) VESSEL2(this, 1);
  }

  // ---- hot: read for every vessel by scans
  AttachmentPlace firstParentPoint;  // the place of parentPoints' first point
  alignas(VESSEL2) unsigned char hostIfaceBytes[sizeof(VESSEL2)];
  VESSEL *iface = nullptr;
  Attachment *parentLink = nullptr;  // attached child: its own point joined to the parent
  bool landed = true;
  bool announced = false;      // "created" reported; later changes are reported too
  bool listedFlying = false;   // in the world's list of vessels the frame moves
  bool hostIfaceMade = false;  // hostIfaceBytes hold the passive interface
  DWORD adcMode = 0;
  VECTOR3 bodyPos{};  // landed: centre of gravity in its body's frame
  // The body it stands on, or whose gravity it flies in; an attached child
  // follows its root's.
  const CelestialBody *body = &nowhere();
  AttachmentList parentPoints{&firstParentPoint};  // toparent = true
  // Kept once by the world for all vessels that spell it alike, and ended
  // by '\0': its characters' address is read by scans.
  std::string_view className;
  AttachmentList childPoints;  // toparent = false

  uint64_t serial = 0;  // unique per process: tells a reused address apart
  size_t index = 0;     // position in the world's list
  std::string name;
  const VesselClass *cls = nullptr;
  const VesselModule *module = nullptr;  // null: passive vessel

  // ---- state
  // Landed: on its body, radians. The vessel's rotation into the body's
  // frame follows from them (surface::surfaceFrame) and is computed when
  // asked.
  double lon = 0, lat = 0, hdg = 0;
  // Free flight; none for a vessel that never left the ground (all zero).
  std::unique_ptr<FlightState> flightState;
  const FlightState &flightOrRest() const {
    static const FlightState rest;
    return flightState ? *flightState : rest;
  }
  FlightState &flight() {
    if (!flightState) flightState = std::make_unique<FlightState>();
    return *flightState;
  }

  // ---- definition
  double size = 1.0;
  double emptyMass = 0.0;
  double cogElev = 0.5;  // from the touchdown points, the class's or the module's
  // What a module set of its shape, as it set it; none until it sets one. A
  // passive vessel stands on its class's touchdown points, which give its
  // cogElev and need no copy in each of a hundred thousand records.
  struct SetShape {
    VECTOR3 touchdown[3]{};
    VECTOR3 cameraOffset{}, cameraDir{0, 0, 1};
  };
  std::unique_ptr<SetShape> setShape;
  SetShape &shape() {
    if (!setShape) setShape = std::make_unique<SetShape>();
    return *setShape;
  }
  MeshSlots meshes;
  Visual visual;                // its owner is set once the visual is made
  VISHANDLE visHandle = nullptr;  // the visual, once made

  // ---- scenario
  // A stand-in for a class the tree lacks.
  bool standIn = false;
  // Lines kept as read; most vessels have none, so they are kept apart.
  struct AsRead {
    std::vector<std::string> keptLines;  // a passive vessel's lines the host does not know
    std::vector<std::string> verbatim;   // a stand-in's lines from NAME to END, written back unchanged
  };
  std::unique_ptr<AsRead> asRead;
  const std::vector<std::string> &keptLines() const { return asRead ? asRead->keptLines : noLines(); }
  const std::vector<std::string> &verbatim() const { return asRead ? asRead->verbatim : noLines(); }
  AsRead &keepAsRead() {
    if (!asRead) asRead = std::make_unique<AsRead>();
    return *asRead;
  }
  static const std::vector<std::string> &noLines() {
    static const std::vector<std::string> none;
    return none;
  }
  ScenarioBlock *loading = nullptr;    // the block being read while the vessel loads
  // An "ATTACHED" line, resolved once all vessels exist.
  std::unique_ptr<PendingAttachment> pendingAttachment;
};

}  // namespace simhost
