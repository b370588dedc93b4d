#include "files/scenario_lines.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "world/text.h"

namespace simhost {

namespace {

struct FileCloser {
  void operator()(std::FILE *f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The file's size as its end tells it; 0 where it tells none that room
// could be made for: a pipe, or a folder, whose end may lie far out.
size_t sizeHint(std::FILE *f) {
  if (std::fseek(f, 0, SEEK_END) != 0) return 0;
  const long size = std::ftell(f);
  std::rewind(f);
  return size > 0 && static_cast<unsigned long>(size) < ScenarioLines::kMaxBytes ? static_cast<size_t>(size) : 0;
}

// A file that grows while it is read gets room twice as large each time.
bool grow(LargeBlock &block, size_t &capacity, size_t used) {
  const size_t larger = capacity > ScenarioLines::kMaxBytes / 2 ? ScenarioLines::kMaxBytes : capacity * 2;
  LargeBlock bigger(larger);
  if (!bigger.data()) return false;
  std::memcpy(bigger.data(), block.data(), used);
  block = std::move(bigger);
  capacity = larger;
  return true;
}

// Calls at(offset) for each line break in order: eight bytes at a time, as
// a scenario of a hundred thousand vessels has half a million of them, and
// a call to find each would cost more than the looking.
template <typename At>
void forEachBreak(std::string_view text, At at) {
  size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 8 <= text.size(); i += 8) {
      std::uint64_t eight;
      std::memcpy(&eight, text.data() + i, 8);
      for (std::uint64_t found = text::bytesEqualTo(eight, '\n'); found != 0; found &= found - 1)
        at(i + static_cast<size_t>(std::countr_zero(found)) / 8);
    }
  }
  for (; i < text.size(); ++i)
    if (text[i] == '\n') at(i);
}

// Whether the line that ends at the break at offset reads "END", blanks
// before it and a carriage return after it allowed.
bool endsAnEndLine(std::string_view text, size_t breakAt) {
  size_t end = breakAt;
  if (end > 0 && text[end - 1] == '\r') --end;
  if (end < 3 || text[end - 1] != 'D' || text[end - 2] != 'N' || text[end - 3] != 'E') return false;
  size_t start = end - 3;
  while (start > 0 && (text[start - 1] == ' ' || text[start - 1] == '\t')) --start;
  return start == 0 || text[start - 1] == '\n';
}

}  // namespace

bool ScenarioLines::read(const std::string &path, std::string &error) {
  File f(std::fopen(path.c_str(), "rb"));
  if (!f) {
    error = path + ": cannot be opened";
    return false;
  }
  const std::string tooLarge = path + ": larger than a scenario may be (4 GiB)";
  const std::string noRoom = path + ": no room in memory to read it";
  const size_t hint = sizeHint(f.get());
  // One byte more than the file has, so that reading it whole ends at once.
  size_t capacity = std::max<size_t>(hint + 1, 64 * 1024);
  LargeBlock block(capacity);
  size_t used = 0;
  for (;;) {
    if (!block.data()) {
      error = noRoom;
      return false;
    }
    used += std::fread(static_cast<char *>(block.data()) + used, 1, capacity - used, f.get());
    if (used < capacity) break;
    if (capacity == kMaxBytes) {
      char beyond;
      if (std::fread(&beyond, 1, 1, f.get()) == 0) break;
      error = tooLarge;
      return false;
    }
    if (!grow(block, capacity, used)) {
      error = noRoom;
      return false;
    }
  }
  bytes_ = std::move(block);
  byteCount_ = used;
  if (index()) return true;
  error = noRoom;
  return false;
}

bool ScenarioLines::index() {
  const std::string_view text = bytes();
  size_t breaks = 0, ends = 0;
  forEachBreak(text, [&](size_t where) {
    ++breaks;
    if (endsAnEndLine(text, where)) ++ends;
  });
  starts_ = LargeBlock((breaks + 2) * sizeof(std::uint32_t));
  auto *at = static_cast<std::uint32_t *>(starts_.data());
  if (!at) return false;
  size_t count = 0;
  at[0] = 0;
  forEachBreak(text, [&](size_t where) { at[++count] = static_cast<std::uint32_t>(where + 1); });
  // A last line without a break of its own.
  if (at[count] < text.size()) at[++count] = static_cast<std::uint32_t>(text.size());
  lineCount_ = count;
  endLines_ = ends;
  return true;
}

std::string_view ScenarioLines::operator[](size_t i) const {
  std::string_view line = bytes().substr(starts()[i], starts()[i + 1] - starts()[i]);
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace simhost
