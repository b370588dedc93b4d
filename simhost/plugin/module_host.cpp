#include "plugin/module_host.h"

#include "plugin/modules.h"

namespace simhost {

namespace {

// Reaches VESSEL's protected version field through a pointer to member,
// which is well defined for any VESSEL object.
struct VersionAccess : VESSEL {
  static short VESSEL::*field() { return &VersionAccess::version; }
};

}  // namespace

ModuleHost *g_currentHost = nullptr;
void setCurrentHost(ModuleHost *host) { g_currentHost = host; }

VESSEL2 *callbacksOf(VesselRecord *vessel) {
  if (!vessel || !vessel->iface) return nullptr;
  if (vessel->iface->*VersionAccess::field() < 1) return nullptr;
  return static_cast<VESSEL2 *>(vessel->iface);
}

ModuleHost::ModuleHost(std::string treeRoot) : root(std::move(treeRoot)), meshes(root, this) {}

void ModuleHost::report(Event event) {
  if (!reporting(event.kind)) return;
  event.t = simt;
  event.sys = sysT;
  if (holdEvents) {
    heldEvents.push_back(std::move(event));
    return;
  }
  if (observer) observer(event);
}

void ModuleHost::releaseHeldEvents() {
  holdEvents = false;
  std::vector<Event> events;
  events.swap(heldEvents);
  if (observer)
    for (const auto &e : events) observer(e);
}

std::string currentTreeRoot() {
  ModuleHost *host = currentHost();
  return host ? host->root : ".";
}

}  // namespace simhost
