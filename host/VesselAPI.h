// The vessel interface: class VESSEL, whose non-virtual methods the host
// implements for any vessel, and class VESSEL2, whose virtual callbacks a
// vessel module overrides. Every callback of VESSEL2 has a default that keeps
// the host's own behaviour.
//
// The host calls the callbacks of a module vessel in this order:
// clbkSetClassCaps once; clbkLoadStateEx when the vessel comes from a
// scenario, or clbkSetStateEx when it is created at run time;
// clbkPostCreation; clbkVisualCreated when a visual is made; then per step
// clbkPreStep and clbkPostStep, clbkDrawHUD while its HUD is drawn,
// clbkConsumeBufferedKey on key presses, clbkSaveState on save.
#pragma once

#include "OrbiterAPI.h"

class OAPIFUNC VESSEL {
public:
  // Binds the interface to the vessel behind hVessel.
  VESSEL(OBJHANDLE hVessel, int fmodel = 1);
  virtual ~VESSEL();

  const OBJHANDLE GetHandle() const;
  char *GetName() const;
  char *GetClassNameA() const;
  int GetFlightModel() const;

  // ---- definition
  void SetSize(double size) const;
  double GetSize() const;
  void SetEmptyMass(double m) const;
  double GetEmptyMass() const;
  double GetMass() const;
  void SetCameraOffset(const VECTOR3 &co) const;
  void SetCameraDefaultDirection(const VECTOR3 &cd) const;
  // Three ground contact points; the first in front, the others behind.
  void SetTouchdownPoints(const VECTOR3 &pt1, const VECTOR3 &pt2, const VECTOR3 &pt3) const;
  // Height of the centre of gravity above the touchdown plane.
  double GetCOG_elev() const;

  // ---- meshes; the mesh list may have gaps
  UINT AddMesh(const char *meshname, const VECTOR3 *ofs = 0) const;
  UINT AddMesh(MESHHANDLE hMesh, const VECTOR3 *ofs = 0) const;
  // Puts the mesh at index idx, replacing any mesh there; returns the index.
  UINT InsertMesh(const char *meshname, UINT idx, const VECTOR3 *ofs = 0) const;
  UINT InsertMesh(MESHHANDLE hMesh, UINT idx, const VECTOR3 *ofs = 0) const;
  bool DelMesh(UINT idx, bool retain_anim = false) const;
  void ClearMeshes(bool retain_anim = false) const;
  bool ShiftMesh(UINT idx, const VECTOR3 &ofs) const;
  void SetMeshVisibilityMode(UINT idx, WORD mode) const;
  UINT GetMeshCount() const;
  // 0 on success, a negative value when the mesh or group does not exist.
  int MeshgroupTransform(VISHANDLE vis, const MESHGROUP_TRANSFORM &mt) const;

  // ---- state
  void GetStatus(VESSELSTATUS &status) const;
  // status points to a record whose version field the caller has set.
  void GetStatusEx(void *status) const;
  void DefSetState(const VESSELSTATUS *status) const;
  void DefSetStateEx(const void *status) const;
  double GetAltitude() const;
  OBJHANDLE GetSurfaceRef() const;
  OBJHANDLE GetGravityRef() const;
  void GetGlobalPos(VECTOR3 &pos) const;
  void GetGlobalVel(VECTOR3 &vel) const;
  void GetRelativePos(OBJHANDLE hRef, VECTOR3 &pos) const;
  void GetRelativeVel(OBJHANDLE hRef, VECTOR3 &vel) const;
  void GetAngularVel(VECTOR3 &avel) const;
  void SetAngularVel(const VECTOR3 &avel) const;
  // Vessel frame to global frame.
  void GetRotationMatrix(MATRIX3 &R) const;
  void SetRotationMatrix(const MATRIX3 &R) const;
  void Global2Local(const VECTOR3 &glob, VECTOR3 &loc) const;
  void Local2Global(const VECTOR3 &loc, VECTOR3 &glob) const;
  // A direction in the vessel frame turned into the global frame.
  void GlobalRot(const VECTOR3 &rloc, VECTOR3 &rglob) const;
  // A point in the vessel frame, in the global frame relative to the
  // vessel's reference body.
  void Local2Rel(const VECTOR3 &loc, VECTOR3 &rel) const;
  // A force in the vessel frame applied at point r for the next step.
  void AddForce(const VECTOR3 &F, const VECTOR3 &r) const;
  int GetADCtrlMode() const;
  void SetADCtrlMode(DWORD mode) const;

  // ---- attachments
  ATTACHMENTHANDLE CreateAttachment(bool toparent, const VECTOR3 &pos, const VECTOR3 &dir, const VECTOR3 &rot,
                                    const char *id, bool loose = false) const;
  bool DelAttachment(ATTACHMENTHANDLE attachment) const;
  void SetAttachmentParams(ATTACHMENTHANDLE attachment, const VECTOR3 &pos, const VECTOR3 &dir,
                           const VECTOR3 &rot) const;
  void GetAttachmentParams(ATTACHMENTHANDLE attachment, VECTOR3 &pos, VECTOR3 &dir, VECTOR3 &rot) const;
  const char *GetAttachmentId(ATTACHMENTHANDLE attachment) const;
  // The object attached at the point, null when it is free.
  OBJHANDLE GetAttachmentStatus(ATTACHMENTHANDLE attachment) const;
  DWORD AttachmentCount(bool toparent) const;
  DWORD GetAttachmentIndex(ATTACHMENTHANDLE attachment) const;
  ATTACHMENTHANDLE GetAttachmentHandle(bool toparent, DWORD i) const;
  bool AttachChild(OBJHANDLE child, ATTACHMENTHANDLE attachment, ATTACHMENTHANDLE child_attachment) const;
  bool DetachChild(ATTACHMENTHANDLE attachment, double vel = 0.0) const;

  // ---- scenarios
  // Takes one of the host's own vessel lines (STATUS, POS, HEADING, RPOS,
  // RVEL, AROT, VROT, AFCMODE ...) into the record given to clbkLoadStateEx.
  // False when the line is none of them.
  bool ParseScenarioLineEx(char *line, void *status) const;

protected:
  void *vessel;  // the host's vessel behind this interface
  short flightmodel;
  short version;  // 0 for VESSEL, 1 for VESSEL2
};

class OAPIFUNC VESSEL2 : public VESSEL {
public:
  VESSEL2(OBJHANDLE hVessel, int fmodel = 1);

  // Slot order is the host's; do not reorder.
  virtual void clbkSetClassCaps(FILEHANDLE cfg);
  // Default: the host's own lines for the vessel.
  virtual void clbkSaveState(FILEHANDLE scn);
  // Default: every line to ParseScenarioLineEx.
  virtual void clbkLoadStateEx(FILEHANDLE scn, void *status);
  // Default: DefSetStateEx(status).
  virtual void clbkSetStateEx(const void *status);
  virtual void clbkPostCreation();
  virtual void clbkFocusChanged(bool getfocus, OBJHANDLE hNewVessel, OBJHANDLE hOldVessel);
  virtual void clbkPreStep(double simt, double simdt, double mjd);
  virtual void clbkPostStep(double simt, double simdt, double mjd);
  virtual bool clbkPlaybackEvent(double simt, double event_t, const char *event_type, const char *event);
  virtual void clbkVisualCreated(VISHANDLE vis, int refcount);
  virtual void clbkVisualDestroyed(VISHANDLE vis, int refcount);
  virtual void clbkDrawHUD(int mode, const HUDPAINTSPEC *hps, HDC hDC);
  virtual void clbkRCSMode(int mode);
  virtual void clbkADCtrlMode(DWORD mode);
  virtual void clbkHUDMode(int mode);
  virtual void clbkMFDMode(int mfd, int mode);
  virtual void clbkNavMode(int mode, bool active);
  virtual void clbkDockEvent(int dock, OBJHANDLE mate);
  virtual void clbkAnimate(double simt);
  virtual int clbkConsumeDirectKey(char *kstate);
  // 1 when the vessel took the key, 0 to leave it to the host.
  virtual int clbkConsumeBufferedKey(DWORD key, bool down, char *kstate);
  // Default true: the host's generic cockpit is available.
  virtual bool clbkLoadGenericCockpit();
  virtual bool clbkLoadPanel(int id);
  virtual bool clbkPanelMouseEvent(int id, int event, int mx, int my);
  virtual bool clbkPanelRedrawEvent(int id, int event, SURFHANDLE surf);
  virtual bool clbkLoadVC(int id);
  virtual bool clbkVCMouseEvent(int id, int event, VECTOR3 &p);
  virtual bool clbkVCRedrawEvent(int id, int event, SURFHANDLE surf);
};

// Entry points a vessel module exports with C linkage:
//   DLLCLBK void InitModule(HINSTANCE hModule);            once per process
//   DLLCLBK VESSEL *ovcInit(OBJHANDLE hVessel, int flightmodel);
//   DLLCLBK void ovcExit(VESSEL *vessel);
