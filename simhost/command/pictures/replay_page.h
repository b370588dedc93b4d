// The replay page itself: the template simhost/replay/replay.html with the
// run's data, the page's script and three.js put inside it, so that the one
// file opens from disk with no network. three.js (the npm package `three`,
// installed by the build from the committed package-lock.json) is inlined as
// ES modules behind an import map of data: URLs.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace simhost::command {

bool writeReplayPage(const std::string &path, const std::string &assetsDir, const nlohmann::json &data,
                     std::string &error);

}  // namespace simhost::command
