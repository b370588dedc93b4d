// Finding the file a simulator path names inside a tree, the way the
// simulator's own file system would: '\' or '/' separate, case is ignored,
// "." is skipped and ".." may not leave the root; an exact match wins.
//
// The exact name is tried first, with one system call. Only when it fails
// are folders listed, and a listing is used again while its folder is
// unchanged (its modification time is the same, and it was listed well
// after that time, so that a change within the clock's resolution is not
// missed). A path whose case differs from the tree's is remembered with the
// file it named: the next open tries the exact name again, then that file.
// A file that appears or vanishes is seen at the next open: one of the
// exact name wins, and a remembered file that is gone is looked for anew.
// (Where a tree holds two names that differ only in case, which the
// simulator's own file system cannot, the one remembered is kept.)
//
// Process-wide and safe to call from any thread.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace simhost {

// The components of a simulator path, "." and empty ones skipped and ".."
// taking the one before away; false when ".." would leave the root.
bool splitSimPath(const std::string &simPath, std::vector<std::string> &parts);

// The path on disk, or empty when nothing matches. With forWriting the
// last component need not exist yet.
std::string lookUpPath(const std::string &root, const std::string &simPath, bool forWriting);

// Opens the file for reading (mode without 'w', 'a' or '+'); null when
// nothing matches or it is a folder.
FILE *openPathForReading(const std::string &root, const std::string &simPath, const char *mode);

// Resolves a simulator path ("config\vessels\X.cfg") inside root as the
// simulator would find it: '\' or '/' separate, case is ignored, ".." may
// not leave the root. Empty when nothing matches. With forWriting the last
// component need not exist yet.
inline std::string resolvePath(const std::string &root, const std::string &simPath, bool forWriting = false) {
  return lookUpPath(root, simPath, forWriting);
}

}  // namespace simhost
