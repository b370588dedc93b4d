// The name of a simulator object (a vessel) as the host's oapiGetObjectName
// gives it, as a string: every command names vessels by it.
#pragma once

#include <string>

#include "OrbiterAPI.h"

namespace simhost::command {

std::string objectName(OBJHANDLE object);

}  // namespace simhost::command
