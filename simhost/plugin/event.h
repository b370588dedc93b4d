// Events: what the operator would see, told as JSON objects with "t"
// (simulation time), "sys" (system time), "kind" and the fields of that
// kind (simulation.h lists them). The run hands them to its observer.
#pragma once

#include <functional>

#include <nlohmann/json.hpp>

namespace simhost {

using Event = nlohmann::json;
using EventObserver = std::function<void(const Event &)>;

}  // namespace simhost
