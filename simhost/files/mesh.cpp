#include "files/mesh.h"

#include <fstream>

#include "files/path_lookup.h"
#include "world/text.h"

namespace simhost {

namespace {

// Reads the file's lines one by one, skipping blank lines and cutting
// comments after ';'.
class LineSource {
public:
  explicit LineSource(std::istream &in) : in_(in) {}
  bool next(std::string &line) {
    std::string raw;
    while (std::getline(in_, raw)) {
      ++number_;
      size_t semi = raw.find(';');
      if (semi != std::string::npos) raw.resize(semi);
      std::string_view t = text::trim(raw);
      if (t.empty()) continue;
      line.assign(t);
      return true;
    }
    return false;
  }
  int number() const { return number_; }

private:
  std::istream &in_;
  int number_ = 0;
};

bool fail(const LineSource &src, const std::string &what, std::string &error) {
  error = std::to_string(src.number()) + ": " + what;
  return false;
}

// "KEY n" with n a whole number in [0, limit].
bool keyCount(const std::string &line, const char *key, long long limit, long long &n) {
  auto w = text::words(line);
  return w.size() == 2 && text::iequals(w[0], key) && text::parseInteger(w[1], n) && n >= 0 && n <= limit;
}

bool readGroup(LineSource &src, MeshGroup &group, std::string &error) {
  std::string line;
  for (;;) {
    if (!src.next(line)) return fail(src, "missing GEOM", error);
    auto w = text::words(line);
    std::string key = text::lower(w[0]);
    if (key == "geom") break;
    long long v = 0;
    if (key == "label") {
      group.label = line.size() > 5 ? std::string(text::trim(std::string_view(line).substr(5))) : "";
    } else if (key == "material" || key == "texture") {
      if (w.size() != 2 || !text::parseInteger(w[1], v) || v < 0) return fail(src, "bad " + key + " index", error);
      (key == "material" ? group.material : group.texture) = static_cast<int>(v);
    } else if (key == "flag" || key == "nonormal" || key == "zbias" || key == "texwrap") {
      // rendering hints: nothing to keep
    } else {
      return fail(src, "unknown group line '" + line + "'", error);
    }
  }
  auto w = text::words(line);
  long long nv = 0, nt = 0;
  if (w.size() != 3 || !text::parseInteger(w[1], nv) || !text::parseInteger(w[2], nt) || nv < 0 || nt < 0 ||
      nv > 10000000 || nt > 10000000)
    return fail(src, "bad GEOM line", error);
  for (long long i = 0; i < nv; ++i) {
    if (!src.next(line)) return fail(src, "missing vertex lines", error);
    auto n = text::words(line);
    if (n.size() != 3 && n.size() != 6 && n.size() != 8) return fail(src, "a vertex needs 3, 6 or 8 numbers", error);
    double d;
    for (size_t k = 0; k < n.size(); ++k) {
      if (!text::parseNumber(n[k], d)) return fail(src, "bad vertex number", error);
      if (k < 3) group.positions.push_back(static_cast<float>(d));
    }
  }
  for (long long i = 0; i < nt; ++i) {
    if (!src.next(line)) return fail(src, "missing triangle lines", error);
    auto n = text::words(line);
    long long idx;
    if (n.size() != 3) return fail(src, "a triangle needs 3 indices", error);
    for (auto x : n) {
      if (!text::parseInteger(x, idx) || idx < 0 || idx >= nv) return fail(src, "bad triangle index", error);
      group.indices.push_back(static_cast<int>(idx));
    }
  }
  group.vertices = static_cast<int>(nv);
  group.triangles = static_cast<int>(nt);
  return true;
}

bool readMaterials(LineSource &src, long long n, MeshData &mesh, std::string &error) {
  std::string line;
  for (long long i = 0; i < n; ++i) {
    if (!src.next(line)) return fail(src, "missing material names", error);
    mesh.materials.push_back(line);
  }
  for (long long i = 0; i < n; ++i) {
    if (!src.next(line) || !text::istartsWith(line, "MATERIAL")) return fail(src, "missing MATERIAL block", error);
    // Diffuse, ambient, specular and emissive, in that order.
    for (int c = 0; c < 4; ++c) {
      if (!src.next(line)) return fail(src, "missing colour line", error);
      auto w = text::words(line);
      double d[5] = {};
      if (w.size() != 4 && w.size() != 5) return fail(src, "a colour needs 4 or 5 numbers", error);
      for (size_t k = 0; k < w.size(); ++k)
        if (!text::parseNumber(w[k], d[k])) return fail(src, "bad colour number", error);
      if (c == 0)
        mesh.diffuse.push_back({static_cast<float>(d[0]), static_cast<float>(d[1]), static_cast<float>(d[2]),
                                static_cast<float>(d[3])});
    }
  }
  return true;
}

}  // namespace

bool parseMeshFile(const std::string &path, MeshData &mesh, std::string &error) {
  std::ifstream in(path);
  if (!in) {
    error = "0: cannot be opened";
    return false;
  }
  LineSource src(in);
  std::string line;
  if (!src.next(line) || line != "MSHX1") return fail(src, "first line must be MSHX1", error);
  long long n = 0;
  if (!src.next(line) || !keyCount(line, "GROUPS", 100000, n)) return fail(src, "expected GROUPS n", error);
  mesh.groups.resize(static_cast<size_t>(n));
  for (auto &g : mesh.groups)
    if (!readGroup(src, g, error)) return false;
  while (src.next(line)) {
    long long count = 0;
    if (keyCount(line, "MATERIALS", 100000, count)) {
      if (!readMaterials(src, count, mesh, error)) return false;
    } else if (keyCount(line, "TEXTURES", 100000, count)) {
      for (long long i = 0; i < count; ++i) {
        if (!src.next(line)) return fail(src, "missing texture names", error);
        mesh.textures.push_back(line);
      }
    } else {
      return fail(src, "unexpected line '" + line + "'", error);
    }
  }
  for (const auto &g : mesh.groups) {
    if (g.material > static_cast<int>(mesh.materials.size()))
      return fail(src, "a group uses material " + std::to_string(g.material) + " that is not defined", error);
    if (g.texture > static_cast<int>(mesh.textures.size()))
      return fail(src, "a group uses texture " + std::to_string(g.texture) + " that is not defined", error);
  }
  return true;
}

const MeshData *MeshLibrary::load(const std::string &name) {
  // An injected failure is not remembered: once cleared, the mesh loads.
  if (gate_ && gate_->meshFails(name)) return nullptr;
  if (last_ && text::iequals(last_->name, name)) return last_;
  auto it = byName_.find(name);
  if (it != byName_.end()) return last_ = it->second.get();
  // Only meshes that loaded are remembered: a mesh file that is missing or
  // malformed is looked for again at the next load, so one copied back or
  // put right during the run is seen.
  std::string path = resolvePath(root_, "Meshes\\" + name + ".msh");
  if (path.empty() || (gate_ && gate_->openFails(path))) return nullptr;
  auto mesh = std::make_unique<MeshData>();
  mesh->name = name;
  std::string error;
  if (!parseMeshFile(path, *mesh, error)) return nullptr;
  return last_ = byName_.emplace(text::lower(name), std::move(mesh)).first->second.get();
}

bool MeshLibrary::owns(const void *mesh) const {
  if (!mesh) return false;
  for (const auto &[key, data] : byName_)
    if (data.get() == mesh) return true;
  return false;
}

}  // namespace simhost
