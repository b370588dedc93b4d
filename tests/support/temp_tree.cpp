#include "temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "test_platform.h"

namespace fs = std::filesystem;

namespace kvt_test {

TempTree::TempTree(const std::string &prefix) : root_(makeTempFolder(prefix)) {
  if (root_.empty()) ADD_FAILURE() << "cannot make a temporary folder " << prefix << " in " << fs::temp_directory_path();
}

TempTree::~TempTree() {
  std::error_code ignored;
  if (ok()) fs::remove_all(root_, ignored);
}

std::string TempTree::path(const std::string &relative) const { return (fs::path(root_) / relative).string(); }

void TempTree::addBody(const std::string &name) const {
  write("Config/" + name + ".cfg", readFile(KVT_SOURCE_DIR "/sample/Config/" + name + ".cfg"));
}

std::string TempTree::write(const std::string &relative, const std::string &content) const {
  const fs::path file = fs::path(root_) / relative;
  std::error_code error;
  fs::create_directories(file.parent_path(), error);
  std::ofstream out(file, std::ios::binary);
  out << content;
  if (!out) ADD_FAILURE() << "cannot write " << file;
  return file.string();
}

void TempTree::remove(const std::string &relative) const {
  std::error_code ignored;
  fs::remove(fs::path(root_) / relative, ignored);
}

void TempTree::link(const std::string &relative, const std::string &target) const {
  const fs::path file = fs::path(root_) / relative;
  std::error_code error;
  fs::create_directories(file.parent_path(), error);
  std::string why;
  if (!linkFile(target, file.string(), why)) ADD_FAILURE() << "cannot link " << file << ": " << why;
}

std::string TempTree::read(const std::string &relative) const { return readFile(path(relative)); }

std::string readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace kvt_test
