#include "plugin/event.h"

namespace simhost {

using nlohmann::json;

const char *kindName(EventKind kind) {
  switch (kind) {
    case EventKind::Run: return "run";
    case EventKind::Created: return "created";
    case EventKind::Deleted: return "deleted";
    case EventKind::Mass: return "mass";
    case EventKind::Mesh: return "mesh";
    case EventKind::Hud: return "hud";
    case EventKind::Debug: return "debug";
    case EventKind::Key: return "key";
    case EventKind::Focus: return "focus";
    case EventKind::Eva: return "eva";
    case EventKind::Activate: return "activate";
    case EventKind::Airlock: return "airlock";
    case EventKind::Saved: return "saved";
    case EventKind::Loaded: return "loaded";
    case EventKind::Story: return "story";
    case EventKind::Script: return "script";
    case EventKind::Note: return "note";
    case EventKind::Fault: return "fault";
    case EventKind::Error: return "error";
  }
  return "event";
}

const char *meshActionName(MeshAction action) {
  switch (action) {
    case MeshAction::Added: return "added";
    case MeshAction::Inserted: return "inserted";
    case MeshAction::Deleted: return "deleted";
    case MeshAction::Shifted: return "shifted";
    case MeshAction::Visibility: return "visibility";
    case MeshAction::Transform: return "transform";
  }
  return "changed";
}

namespace {

json vec(const std::array<double, 3> &v) { return json::array({v[0], v[1], v[2]}); }

void meshFields(const Event &e, json &j) {
  j["name"] = e.vessel;
  j["index"] = e.index;
  j["action"] = meshActionName(e.meshAction);
  switch (e.meshAction) {
    case MeshAction::Added:
    case MeshAction::Inserted:
      j["mesh"] = e.mesh;
      break;
    case MeshAction::Shifted:
      break;
    case MeshAction::Visibility:
      j["mode"] = e.mode;
      break;
    case MeshAction::Transform:
      j["mesh"] = e.mesh;
      j["group"] = e.group;
      j["transform"] = e.transform;
      break;
    case MeshAction::Deleted:
      break;
  }
  if (e.offsetKnown) j["offset"] = vec(e.offset);
  if (e.rotationKnown) {
    j["axis"] = vec(e.axis);
    j["angle"] = e.angle;
  }
}

void runFields(const RunEvent &r, json &j) {
  if (!r.start) {
    j["phase"] = "end";
    j["status"] = r.ok ? "ok" : "failed";
    j["frames"] = r.frames;
    j["vessels"] = r.vessels;
    return;
  }
  j["phase"] = "start";
  if (r.play) j["mode"] = "play";
  j["scenario"] = r.scenario;
  j["root"] = r.root;
  j["dt"] = r.dt;
  j["warp"] = r.warp;
  if (r.play) {
    j["record"] = r.record.empty() ? json(nullptr) : json(r.record);
    return;
  }
  j["until"] = r.until;
  j["script"] = nullptr;
  if (!r.script.empty()) {
    j["script"] = r.script;
    j["script_from"] = r.scriptBeside ? "beside" : "option";
    j["events"] = r.events;
  }
}

void faultFields(const Event &e, json &j) {
  j["fault"] = e.fault;
  if (e.fault == "create-fails") {
    j["name"] = e.vessel;
    j["class"] = e.className;
  } else if (e.fault == "mesh-fails") {
    j["mesh"] = e.mesh;
  } else if (e.fault == "file-vanishes" || e.fault == "file-unopenable") {
    j["file"] = e.file;
  } else if (e.fault == "crew-count") {
    j["count"] = e.count;
  }
}

}  // namespace

json toJson(const Event &e) {
  json j = json::object();
  j["kind"] = kindName(e.kind);
  switch (e.kind) {
    case EventKind::Run:
      runFields(e.run, j);
      break;
    case EventKind::Created:
      j["name"] = e.vessel;
      j["class"] = e.className;
      j["status"] = e.landed ? "landed" : "flight";
      j["lon"] = e.lon;
      j["lat"] = e.lat;
      j["local"] = vec(e.local);
      j["empty_mass"] = e.emptyMass;
      break;
    case EventKind::Deleted:
    case EventKind::Focus:
      j["name"] = e.vessel;
      break;
    case EventKind::Mass:
      j["name"] = e.vessel;
      j["empty_mass"] = e.emptyMass;
      break;
    case EventKind::Mesh:
      meshFields(e, j);
      break;
    case EventKind::Hud: {
      json lines = json::array();
      for (const HudText &l : e.hud) lines.push_back({{"x", l.x}, {"y", l.y}, {"text", l.text}});
      j["lines"] = std::move(lines);
      j["height"] = e.height;
      break;
    }
    case EventKind::Debug:
    case EventKind::Note:
      j["text"] = e.text;
      break;
    case EventKind::Key:
      j["code"] = e.code;
      j["name"] = e.text;
      j["shift"] = e.shift;
      j["ctrl"] = e.ctrl;
      j["rshift"] = e.rshift;
      j["rctrl"] = e.rctrl;
      if (e.answered) {
        j["result"] = e.result;
        j["up_result"] = e.upResult;
      }
      break;
    case EventKind::Eva:
      j["vessel"] = e.vessel;
      j["pos"] = vec(e.pos);
      break;
    case EventKind::Activate:
      j["vessel"] = e.vessel;
      if (e.id == -1)
        j["miss"] = true;
      else
        j["id"] = e.id;
      break;
    case EventKind::Airlock:
      j["vessel"] = e.vessel;
      if (e.boxKnown) j["box"] = e.box;
      j["door"] = e.door;
      j["aux"] = e.aux;
      j["free_seats"] = e.freeSeats;
      break;
    case EventKind::Saved:
    case EventKind::Loaded:
      j["file"] = e.file;
      break;
    case EventKind::Story:
      j["line"] = e.line;
      j["text"] = e.text;
      break;
    case EventKind::Script:
      j["line"] = e.line;
      j["action"] = e.action;
      break;
    case EventKind::Fault:
      faultFields(e, j);
      break;
    case EventKind::Error:
      if (e.line >= 0) {
        j["line"] = e.line;
        j["action"] = e.action;
      }
      j["text"] = e.text;
      break;
  }
  j["t"] = e.t;
  j["sys"] = e.sys;
  return j;
}

}  // namespace simhost
