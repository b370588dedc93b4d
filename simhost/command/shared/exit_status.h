// The exit statuses of every simhost command (main.cpp tells them in its
// usage): the run, the live session and the account of a scenario end alike.
#pragma once

namespace simhost::command {

inline constexpr int kRunOk = 0;
inline constexpr int kRunFailed = 1;
inline constexpr int kBadUsage = 2;

}  // namespace simhost::command
