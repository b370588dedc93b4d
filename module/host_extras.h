// What the module needs from its host beyond the simulator's SDK: a door to
// the simulator's files, and the size of the simulator's debug text.
//
// Modules name files the way the simulator does: relative to the simulator's
// root folder, with backslashes as separators and without regard to case,
// e.g. "config\vessels\UCGO\Cargos\Box.cfg" for the file that lies on disk as
// Config/Vessels/UCGO/Cargos/Box.cfg. hostOpenFile is the one door through
// which the system opens such files.
//
// On Windows, in the simulator as in simhost.exe, it is plain fopen relative
// to the simulator's folder, its current folder. On POSIX simhost provides
// it: it resolves the path inside its simulator tree ('\' and '/' both
// separate, each component is matched ignoring case, "." is skipped and ".."
// may not climb above the tree's root, where such a path opens nothing). An
// absolute path is opened as it stands. For writing, the folders must exist
// and the last component is created as written when no file matches it.
#pragma once

#include <cstdio>

#ifdef _WIN32
inline FILE *hostOpenFile(const char *path, const char *mode) { return std::fopen(path, mode); }
#else
extern "C" __attribute__((visibility("default"))) FILE *hostOpenFile(const char *path, const char *mode);
#endif

// The simulator's debug text (oapiDebugString) is a buffer of 256
// characters, terminator included; writers keep within it.
const int DEBUG_STRING_CAPACITY = 256;
