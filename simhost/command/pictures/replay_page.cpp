#include "pictures/replay_page.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "shared/replay_assets.h"
#include "shared/session.h"

namespace simhost::command {

namespace {

// Where the template takes what simhost puts in.
constexpr const char *kImportMapMark = "<!--three-import-map-->";
constexpr const char *kDataMark = "/*replay-data*/";
constexpr const char *kScriptMark = "/*replay-script*/";
// three's main module imports its core by this relative path, which means
// nothing inside a data: URL; the import map names the core instead.
constexpr const char *kCoreImport = "'./three.core.js'";
constexpr const char *kCoreName = "three-core";

bool readFile(const std::string &path, std::string &text, std::string &error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  std::ostringstream all;
  all << in.rdbuf();
  text = all.str();
  return true;
}

std::string base64(const std::string &bytes) {
  static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned n = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                       static_cast<unsigned char>(bytes[i + 2]);
    for (int shift : {18, 12, 6, 0}) out += digits[(n >> shift) & 63];
  }
  if (i < bytes.size()) {
    unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += digits[(n >> 18) & 63];
    out += digits[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? digits[(n >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string replaceAll(std::string text, const std::string &from, const std::string &to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// Puts what into text at its mark; false when the mark is missing.
bool fill(std::string &text, const std::string &mark, const std::string &what) {
  const size_t at = text.find(mark);
  if (at == std::string::npos) return false;
  text.replace(at, mark.size(), what);
  return true;
}

// Text inside a <script> element must not close it.
std::string scriptSafe(const std::string &text) { return replaceAll(text, "</", "<\\/"); }

std::string dataUrl(const std::string &module) { return "data:text/javascript;base64," + base64(module); }

}  // namespace

bool writeReplayPage(const std::string &path, const std::string &assetsDir, const nlohmann::json &data,
                     std::string &error) {
  if (!checkReplayAssets(assetsDir, error)) return false;
  const std::filesystem::path dir(assetsDir);
  std::string page, script, three, core;
  if (!readFile((dir / "replay.html").string(), page, error) || !readFile((dir / "replay.js").string(), script, error) ||
      !readFile((dir / "three/three.module.js").string(), three, error) ||
      !readFile((dir / "three/three.core.js").string(), core, error))
    return false;
  three = replaceAll(three, kCoreImport, std::string("'") + kCoreName + "'");
  const nlohmann::json imports = {{"imports", {{"three", dataUrl(three)}, {kCoreName, dataUrl(core)}}}};
  const std::string importMap = "<script type=\"importmap\">" + imports.dump() + "</script>";
  const std::string json = data.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  // The run's data goes in last: no mark is looked for in its text.
  if (!fill(page, kScriptMark, scriptSafe(script)) || !fill(page, kImportMapMark, importMap) ||
      !fill(page, kDataMark, scriptSafe(json))) {
    error = "the replay template " + (dir / "replay.html").string() + " lacks one of its marks";
    return false;
  }
  return writeWholeFile(path, page, "replay", error);
}

}  // namespace simhost::command
