// Runs a fuzz target's inputs without the fuzzer, for the test suite: every
// file named, and every file in the folders named, in name order. The seeds
// and the inputs that once found a fault (fuzz/regressions/<target>/) run so
// under the test build's own sanitizers, with any compiler.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

namespace fs = std::filesystem;

bool collectInputs(const fs::path &path, std::vector<fs::path> &inputs) {
  std::error_code error;
  if (fs::is_regular_file(path, error)) {
    inputs.push_back(path);
    return true;
  }
  if (!fs::is_directory(path, error)) {
    std::fprintf(stderr, "replay: %s is neither a file nor a folder\n", path.c_str());
    return false;
  }
  std::vector<fs::path> files;
  for (const fs::directory_entry &entry : fs::directory_iterator(path, error))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  inputs.insert(inputs.end(), files.begin(), files.end());
  return !error;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\nRuns each input through the fuzz target once.\n", argv[0]);
    return 2;
  }
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i)
    if (!collectInputs(argv[i], inputs)) return 2;
  for (const fs::path &input : inputs) {
    std::ifstream in(input, std::ios::binary);
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::printf("replay: %s (%zu bytes)\n", input.c_str(), data.size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(data.data(), data.size());
  }
  std::printf("replay: %zu inputs, no fault\n", inputs.size());
  return 0;
}
