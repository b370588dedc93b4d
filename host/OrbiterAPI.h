// The simulator's module interface: types, records, key codes and the global
// oapi functions that a vessel module calls.
//
// The shapes follow the simulator's published API, so the system's sources
// compile against the simulator's own SDK when host/ is swapped for it. On
// POSIX the stand-in simulator (libsimhost) implements every function here.
//
// Conventions of the simulator: frames are left-handed; a body's longitude is
// atan2(z, x) and its latitude asin(y / r) in the body's own frame; lengths
// are metres, masses kilograms, angles radians, times seconds.
#pragma once

#include <cstdint>

#include "win32.h"

#ifdef _WIN32
// Modules import the simulator's functions; the simulator (here the stand-in
// library, built with HOST_IMPLEMENTATION) exports them.
#ifdef HOST_IMPLEMENTATION
#define OAPIFUNC __declspec(dllexport)
#else
#define OAPIFUNC __declspec(dllimport)
#endif
#define DLLCLBK extern "C" __declspec(dllexport)
#else
#define OAPIFUNC __attribute__((visibility("default")))
#define DLLCLBK extern "C" __attribute__((visibility("default")))
#endif

// ---------------------------------------------------------------- types

typedef union {
  double data[3];
  struct {
    double x, y, z;
  };
} VECTOR3;

// Row by row: m11 m12 m13 / m21 m22 m23 / m31 m32 m33.
typedef union {
  double data[9];
  struct {
    double m11, m12, m13, m21, m22, m23, m31, m32, m33;
  };
} MATRIX3;

typedef void *OBJHANDLE;
typedef void *VISHANDLE;
typedef void *MESHHANDLE;
typedef void *ATTACHMENTHANDLE;
typedef void *FILEHANDLE;
typedef void *SURFHANDLE;

inline VECTOR3 _V(double x, double y, double z) {
  VECTOR3 v;
  v.x = x;
  v.y = y;
  v.z = z;
  return v;
}

inline MATRIX3 _M(double m11, double m12, double m13, double m21, double m22, double m23, double m31,
                  double m32, double m33) {
  MATRIX3 m;
  m.m11 = m11, m.m12 = m12, m.m13 = m13;
  m.m21 = m21, m.m22 = m22, m.m23 = m23;
  m.m31 = m31, m.m32 = m32, m.m33 = m33;
  return m;
}

// A vessel's state as the simulator hands it to and takes it from a module.
// rpos/rvel are relative to rbody in the global frame; arot holds the
// orientation as angles about x, y and z (R = Rx * Ry * Rz); status is 0 in
// free flight and 1 when landed, in which case vdata[0] holds (longitude,
// latitude, heading) on rbody.
typedef struct {
  VECTOR3 rpos;
  VECTOR3 rvel;
  VECTOR3 vrot;
  VECTOR3 arot;
  double fuel;
  double eng_main;
  double eng_hovr;
  OBJHANDLE rbody;
  OBJHANDLE base;
  int port;
  int status;
  VECTOR3 vdata[10];
  double fdata[10];
  DWORD flag[10];
} VESSELSTATUS;

// The extended state record, version 2. The caller sets version = 2 before
// GetStatusEx fills it. A landed vessel (status 1) sits at surf_lng, surf_lat
// with heading surf_hdg on rbody.
typedef struct {
  DWORD version;
  DWORD flag;
  OBJHANDLE rbody;
  OBJHANDLE base;
  int port;
  int status;
  VECTOR3 rpos;
  VECTOR3 rvel;
  VECTOR3 vrot;
  VECTOR3 arot;
  double surf_lng;
  double surf_lat;
  double surf_hdg;
  DWORD nfuel;
  struct FUELSPEC {
    DWORD idx;
    double level;
  } *fuel;
  DWORD nthruster;
  struct THRUSTSPEC {
    DWORD idx;
    double level;
  } *thruster;
  DWORD ndockinfo;
  struct DOCKINFOSPEC {
    DWORD idx;
    DWORD ridx;
    OBJHANDLE rvessel;
  } *dockinfo;
  DWORD xpdr;
} VESSELSTATUS2;

// A transform of one group (ngrp >= 0) or of all groups (ngrp = -1) of mesh
// nmesh of a vessel's visual.
typedef struct {
  union {
    struct {
      VECTOR3 ref;
      VECTOR3 axis;
      float angle;
    } rotparam;
    struct {
      VECTOR3 shift;
    } transparam;
    struct {
      VECTOR3 scale;
    } scaleparam;
  } P;
  int nmesh;
  int ngrp;
  enum { TRANSLATE = 0, ROTATE = 1, SCALE = 2 } transform;
} MESHGROUP_TRANSFORM;

// The HUD area handed to clbkDrawHUD: width and height in pixels, centre,
// scale (pixels per degree) and the size of HUD markers.
typedef struct {
  int W, H;
  int CX, CY;
  double Scale;
  int Markersize;
} HUDPAINTSPEC;

// A virtual-cockpit HUD: the mesh and group that carry it, its centre and size.
typedef struct {
  DWORD nmesh;
  DWORD ngroup;
  VECTOR3 hudcnt;
  double size;
} VCHUDSPEC;

// ---------------------------------------------------------------- constants

// Mesh visibility modes for VESSEL::SetMeshVisibilityMode.
const WORD MESHVIS_NEVER = 0x00;
const WORD MESHVIS_EXTERNAL = 0x01;
const WORD MESHVIS_COCKPIT = 0x02;
const WORD MESHVIS_ALWAYS = 0x03;
const WORD MESHVIS_VC = 0x04;

// Buffered key codes (DirectInput numbering) as clbkConsumeBufferedKey gets
// them, and indices into its 256-byte key-state array.
const DWORD OAPI_KEY_ESCAPE = 0x01;
const DWORD OAPI_KEY_1 = 0x02;
const DWORD OAPI_KEY_2 = 0x03;
const DWORD OAPI_KEY_3 = 0x04;
const DWORD OAPI_KEY_4 = 0x05;
const DWORD OAPI_KEY_5 = 0x06;
const DWORD OAPI_KEY_6 = 0x07;
const DWORD OAPI_KEY_7 = 0x08;
const DWORD OAPI_KEY_8 = 0x09;
const DWORD OAPI_KEY_9 = 0x0A;
const DWORD OAPI_KEY_0 = 0x0B;
const DWORD OAPI_KEY_Q = 0x10;
const DWORD OAPI_KEY_W = 0x11;
const DWORD OAPI_KEY_E = 0x12;
const DWORD OAPI_KEY_R = 0x13;
const DWORD OAPI_KEY_T = 0x14;
const DWORD OAPI_KEY_Y = 0x15;
const DWORD OAPI_KEY_U = 0x16;
const DWORD OAPI_KEY_I = 0x17;
const DWORD OAPI_KEY_O = 0x18;
const DWORD OAPI_KEY_P = 0x19;
const DWORD OAPI_KEY_LCONTROL = 0x1D;
const DWORD OAPI_KEY_A = 0x1E;
const DWORD OAPI_KEY_S = 0x1F;
const DWORD OAPI_KEY_D = 0x20;
const DWORD OAPI_KEY_F = 0x21;
const DWORD OAPI_KEY_G = 0x22;
const DWORD OAPI_KEY_H = 0x23;
const DWORD OAPI_KEY_J = 0x24;
const DWORD OAPI_KEY_K = 0x25;
const DWORD OAPI_KEY_L = 0x26;
const DWORD OAPI_KEY_LSHIFT = 0x2A;
const DWORD OAPI_KEY_Z = 0x2C;
const DWORD OAPI_KEY_X = 0x2D;
const DWORD OAPI_KEY_C = 0x2E;
const DWORD OAPI_KEY_V = 0x2F;
const DWORD OAPI_KEY_B = 0x30;
const DWORD OAPI_KEY_N = 0x31;
const DWORD OAPI_KEY_M = 0x32;
const DWORD OAPI_KEY_RSHIFT = 0x36;
const DWORD OAPI_KEY_SPACE = 0x39;
const DWORD OAPI_KEY_RCONTROL = 0x9D;

// A key counts as held when bit 7 of its byte in the key-state array is set.
#define KEYDOWN(buf, key) (((buf)[key] & 0x80) != 0)
#define KEYMOD_SHIFT(buf) (KEYDOWN(buf, OAPI_KEY_LSHIFT) || KEYDOWN(buf, OAPI_KEY_RSHIFT))
#define KEYMOD_CONTROL(buf) (KEYDOWN(buf, OAPI_KEY_LCONTROL) || KEYDOWN(buf, OAPI_KEY_RCONTROL))

class VESSEL;

// ---------------------------------------------------------------- functions

// Vessels of the simulation. Indices run from 0 to oapiGetVesselCount() - 1
// in creation order; deleting a vessel removes it from the list at once.
OAPIFUNC DWORD oapiGetVesselCount();
OAPIFUNC OBJHANDLE oapiGetVesselByIndex(DWORD index);
OAPIFUNC OBJHANDLE oapiGetVesselByName(char *name);
OAPIFUNC VESSEL *oapiGetVesselInterface(OBJHANDLE hVessel);
// Any object (vessel or celestial body) by name, ignoring case; null if none.
OAPIFUNC OBJHANDLE oapiGetObjectByName(char *name);
OAPIFUNC OBJHANDLE oapiGetGbodyByName(char *name);
OAPIFUNC OBJHANDLE oapiGetFocusObject();
OAPIFUNC void oapiGetObjectName(OBJHANDLE hObj, char *name, int n);
OAPIFUNC double oapiGetSize(OBJHANDLE hObj);
OAPIFUNC double oapiGetMass(OBJHANDLE hObj);
OAPIFUNC double oapiGetEmptyMass(OBJHANDLE hVessel);
OAPIFUNC void oapiSetEmptyMass(OBJHANDLE hVessel, double mass);
OAPIFUNC void oapiGetGlobalPos(OBJHANDLE hObj, VECTOR3 *pos);
OAPIFUNC void oapiGetGlobalVel(OBJHANDLE hObj, VECTOR3 *vel);
// Rotation of an object: its own frame to the global frame.
OAPIFUNC void oapiGetRotationMatrix(OBJHANDLE hObj, MATRIX3 *mat);

// Creation from a VESSELSTATUS (free flight or landed); null when the class
// cannot be created or the name is taken.
OAPIFUNC OBJHANDLE oapiCreateVessel(const char *name, const char *classname, const VESSELSTATUS &status);
// Creation from an extended status record (its version field says which).
OAPIFUNC OBJHANDLE oapiCreateVesselEx(const char *name, const char *classname, const void *status);
// Deletes a vessel at once; alt names the new camera target when the deleted
// vessel had the focus. False when the handle is not a vessel.
OAPIFUNC bool oapiDeleteVessel(OBJHANDLE hVessel, OBJHANDLE hAlt = 0);

// Scenario files, inside clbkLoadStateEx and clbkSaveState. A written line is
// the item, one space and the value.
OAPIFUNC bool oapiReadScenario_nextline(FILEHANDLE scn, char *&line);
OAPIFUNC void oapiWriteLine(FILEHANDLE file, char *line);
OAPIFUNC void oapiWriteScenario_string(FILEHANDLE scn, char *item, char *string);
OAPIFUNC void oapiWriteScenario_int(FILEHANDLE scn, char *item, int i);
OAPIFUNC void oapiWriteScenario_float(FILEHANDLE scn, char *item, double d);
OAPIFUNC void oapiWriteScenario_vec(FILEHANDLE scn, char *item, const VECTOR3 &vec);

// Time. Simulation time and step stop while paused; system time runs on.
OAPIFUNC double oapiGetSimTime();
OAPIFUNC double oapiGetSimStep();
OAPIFUNC double oapiGetSysTime();
OAPIFUNC double oapiGetSysStep();
OAPIFUNC double oapiGetSimMJD();
OAPIFUNC double oapiGetTimeAcceleration();

// Uniform in [0, 1].
OAPIFUNC double oapiRand();

// The one-line debug text, a buffer of 256 characters; shown while it is
// not empty. Writers keep within the buffer.
OAPIFUNC char *oapiDebugString();

// Meshes: a mesh file Meshes\<name>.msh; null when missing or malformed.
OAPIFUNC MESHHANDLE oapiLoadMesh(const char *fname);
OAPIFUNC MESHHANDLE oapiLoadMeshGlobal(const char *fname);
OAPIFUNC void oapiDeleteMesh(MESHHANDLE hMesh);
OAPIFUNC DWORD oapiMeshGroupCount(MESHHANDLE hMesh);
// Points at the handle of the object's current visual (null inside when none).
OAPIFUNC VISHANDLE *oapiObjectVisualPtr(OBJHANDLE hObject);

// Display.
OAPIFUNC void oapiOpenMFD(int mode, int id);
OAPIFUNC void oapiSetDefNavDisplay(int mode);
OAPIFUNC void oapiSetDefRCSDisplay(int mode);
OAPIFUNC void oapiVCRegisterHUD(const VCHUDSPEC *hudspec);
