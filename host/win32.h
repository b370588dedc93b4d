// The few Windows calls a vessel module makes: loading another module,
// finding one of its exports, and drawing HUD text into a device context.
//
// On Windows these are the real ones from <windows.h>, and so are the types.
// Everywhere else the simulator stand-in provides them: LoadLibraryA
// resolves its path with the simulator's path rules (see module/host_extras.h) and
// loads with dlopen, GetProcAddress uses dlsym, and TextOutA records the
// text into the HUD surface that the host handed to clbkDrawHUD.
#pragma once

#ifdef _WIN32

// The real types and calls (HDC, DWORD, LoadLibraryA, TextOutA ...), without
// the parts of <windows.h> a module has no use for, and without its min and
// max macros, which would break the standard library's.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The 16-bit pointer qualifiers, still defined as empty macros: they would
// swallow every name "near" or "far" in code that includes this header.
#undef near
#undef far

#else

#include <cstdint>

#define HOST_EXPORT __attribute__((visibility("default")))

typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef unsigned int UINT;
typedef int BOOL;
typedef const char *LPCSTR;
typedef void *HMODULE;
typedef HMODULE HINSTANCE;
typedef struct HostDeviceContext *HDC;
typedef int (*FARPROC)();

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

extern "C" {
// Loads a module by a simulator-relative path such as "Modules\Ummu.dll".
// Null when the file does not exist or cannot be loaded.
HOST_EXPORT HMODULE LoadLibraryA(LPCSTR path);
// Address of an export of a loaded module; null when it has none.
HOST_EXPORT FARPROC GetProcAddress(HMODULE module, LPCSTR name);
// The stand-in never unloads modules: the crew module's shared table must
// stay valid for the life of the process. Returns TRUE.
HOST_EXPORT BOOL FreeLibrary(HMODULE module);
// Draws len characters of text at pixel (x, y) of the HUD surface.
HOST_EXPORT BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int len);
}

#endif
