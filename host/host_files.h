// Opening the simulator's files by the paths a module uses.
//
// Modules name files the way the simulator does: relative to the simulator's
// root folder, with backslashes as separators and without regard to case,
// e.g. "config\vessels\UCGO\Cargos\Box.cfg" for the file that lies on disk as
// Config/Vessels/UCGO/Cargos/Box.cfg. hostOpenFile is the one door through
// which the system opens such files.
//
// On Windows it is plain fopen relative to the simulator's folder. The POSIX
// stand-in resolves the path inside its simulator tree: '\' and '/' both
// separate, each component is matched ignoring case, "." is skipped and ".."
// may not climb above the tree's root (such a path opens nothing). An
// absolute path is opened as it stands. For writing, the folders must exist
// and the last component is created as written when no file matches it.
#pragma once

#include <cstdio>

#ifdef _WIN32
inline FILE *hostOpenFile(const char *path, const char *mode) { return std::fopen(path, mode); }
#else
extern "C" __attribute__((visibility("default"))) FILE *hostOpenFile(const char *path, const char *mode);
#endif
