// A scenario file's bytes, read at once, and its lines viewed in them
// (without the line break, and without a carriage return before it).
// Where each line starts is kept in four bytes, where a world of a hundred
// thousand vessels has six hundred thousand lines. A big file's bytes and
// starts lie on large pages: touching ten megabytes a small page at a time
// costs more than reading them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "world/large_block.h"

namespace simhost {

class ScenarioLines {
public:
  // The most bytes a scenario may have.
  static constexpr size_t kMaxBytes = 0xffffffffu;

  // Reads the file at path and indexes its lines. False with the reason
  // when the file cannot be opened, is larger than a scenario may be or
  // finds no room. What cannot be read (a folder) reads as nothing.
  bool read(const std::string &path, std::string &error);

  std::string_view bytes() const { return {static_cast<const char *>(bytes_.data()), byteCount_}; }
  size_t size() const { return lineCount_; }
  std::string_view operator[](size_t i) const;
  // How many lines read "END", as a ship's block ends: what a load makes
  // room for before its first vessel, rather than growing its tables a
  // vessel at a time.
  size_t endLines() const { return endLines_; }

private:
  bool index();
  const std::uint32_t *starts() const { return static_cast<const std::uint32_t *>(starts_.data()); }

  LargeBlock bytes_;
  size_t byteCount_ = 0;
  LargeBlock starts_;  // of each line, then the end of the last
  size_t lineCount_ = 0;
  size_t endLines_ = 0;
};

}  // namespace simhost
