#include "shared/object_name.h"

namespace simhost::command {

std::string objectName(OBJHANDLE object) {
  char name[256] = {};
  oapiGetObjectName(object, name, static_cast<int>(sizeof name));
  return name;
}

}  // namespace simhost::command
