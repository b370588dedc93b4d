// Plugins of the simulator tree: the libraries in Modules/ that define
// vessel classes. A plugin is loaded once per process and stays loaded for
// the life of the process (the crew module's shared table and every vessel
// object a plugin made must outlive any one run); its InitModule runs once,
// when it is first loaded as a vessel module.
#pragma once

#include <string>

#include "Orbitersdk.h"

namespace simhost {

struct VesselModule {
  std::string path;  // as loaded, for messages
  void *library = nullptr;
  VESSEL *(*ovcInit)(OBJHANDLE, int) = nullptr;
  void (*ovcExit)(VESSEL *) = nullptr;
};

// A module the run loaded: a vessel module, or one a module loaded itself.
struct LoadedLibrary {
  void *handle = nullptr;
  void (*opcDeleteVessel)(OBJHANDLE) = nullptr;
  bool initialised = false;  // its InitModule ran
  VesselModule module;       // bound when it is first loaded as a vessel module
};

// Loads the module file (a resolved path) for the life of the process, once
// however it is named. Null with the loader's reason in error.
LoadedLibrary *openLibrary(const std::string &resolved, std::string &error);

// The vessel module Modules/<name>.dll of the tree at root. Null with a
// reason in error when the file is missing, cannot be loaded or exports no
// ovcInit. The result lives for the process.
const VesselModule *loadVesselModule(const std::string &root, const std::string &name, std::string &error);

// Tells every loaded plugin that exports opcDeleteVessel that vessel is
// about to be destroyed, as the simulator does, so that none keeps acting
// for a handle a later vessel may get.
void notifyVesselDeleted(OBJHANDLE vessel);

// The tree whose files hostOpenFile and LoadLibraryA resolve: the current
// simulation's root, or the working folder when none runs.
std::string currentTreeRoot();

}  // namespace simhost
