// The replay page's parts (its template, its script and three.js): where
// simhost finds them, and whether they are all there. The plan checks them
// before a run with --replay starts; the page (pictures/replay_page.h)
// inlines them at its end.
#pragma once

#include <string>

namespace simhost::command {

// The files of the assets folder that the page is made of.
inline constexpr const char *kReplayAssets[] = {"replay.html", "replay.js", "three/three.module.js",
                                                 "three/three.core.js"};

// Where simhost finds the page's parts: share/simhost beside the
// executable's folder (the build puts them there).
std::string replayAssetsDir();
// False with what is missing in error when the folder lacks a file the
// page needs.
bool checkReplayAssets(const std::string &assetsDir, std::string &error);

}  // namespace simhost::command
