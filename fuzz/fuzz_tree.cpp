#include "fuzz_tree.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace fuzz_support {

FuzzTree::FuzzTree(const char *purpose) {
  std::string pattern = (fs::temp_directory_path() / (std::string("kvt_fuzz_") + purpose + "_XXXXXX")).string();
  if (!mkdtemp(pattern.data())) {
    std::perror("kvt fuzz: cannot make a temporary simulator tree");
    std::abort();
  }
  root_ = pattern;
  for (const char *folder : {"Config/Vessels", "Meshes", "Modules", "Scenarios"})
    fs::create_directories(fs::path(root_) / folder);
}

FuzzTree::~FuzzTree() {
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

void FuzzTree::write(const std::string &relative, const void *data, size_t size) const {
  const fs::path file = fs::path(root_) / relative;
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char *>(data), static_cast<std::streamsize>(size));
}

void FuzzTree::write(const std::string &relative, const std::string &text) const {
  write(relative, text.data(), text.size());
}

void FuzzTree::copyBuiltTree() const {
  fs::copy(KVT_TREE_DIR, root_, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

std::vector<std::string> inputLines(const uint8_t *data, size_t size, size_t maxLines) {
  std::vector<std::string> lines;
  const char *text = reinterpret_cast<const char *>(data);
  size_t start = 0;
  while (start <= size && lines.size() < maxLines) {
    size_t end = start;
    while (end < size && text[end] != '\n') ++end;
    size_t length = end - start;
    if (length > 0 && text[start + length - 1] == '\r') --length;
    if (length > kLineCapacity) length = kLineCapacity;
    if (end < size || length > 0) lines.emplace_back(text + start, length);
    start = end + 1;
  }
  return lines;
}

std::unique_ptr<char[]> exactLine(const std::string &line) {
  std::unique_ptr<char[]> buffer(new char[line.size() + 1]);
  std::copy(line.begin(), line.end(), buffer.get());
  buffer[line.size()] = '\0';
  return buffer;
}

std::unique_ptr<simhost::Simulation> loadScenario(const FuzzTree &tree, const std::string &relative) {
  auto sim = std::make_unique<simhost::Simulation>(tree.root());
  std::string error;
  if (!sim->loadScenario(tree.path(relative), error)) return nullptr;
  return sim;
}

const FuzzTree &processTree(const char *purpose, const std::vector<ExtraFile> &extraFiles) {
  static const FuzzTree tree(purpose);
  static const bool filled = [&] {
    tree.copyBuiltTree();
    for (const ExtraFile &file : extraFiles) tree.write(file.relative, file.text);
    return true;
  }();
  (void)filled;
  return tree;
}

const FuzzTree &emptyTreeWithARun(const char *purpose) {
  static const FuzzTree tree(purpose);
  static const simhost::Simulation sim(tree.root());
  return tree;
}

void savedScenarioMustLoad(std::unique_ptr<simhost::Simulation> sim, const FuzzTree &tree, const char *what) {
  std::string error;
  if (!sim->saveScenario(tree.path("Scenarios/Saved.scn"), error)) return;
  sim.reset();
  if (!loadScenario(tree, "Scenarios/Saved.scn")) {
    std::fprintf(stderr, "a saved %s was refused on loading\n", what);
    __builtin_trap();
  }
}

std::string scenarioHead(const std::string &focusShip) {
  return "BEGIN_DESC\nA world for fuzzing.\nEND_DESC\n\n"
         "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 60000.5\nEND_ENVIRONMENT\n\n"
         "BEGIN_FOCUS\n  Ship " +
         focusShip + "\nEND_FOCUS\n\nBEGIN_SHIPS\n";
}

}  // namespace fuzz_support
