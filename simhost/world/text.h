// Small text helpers for the simulator's files: trimming, comparing without
// regard to case as the simulator does, splitting "Key = value" lines and
// reading numbers strictly (a number that does not parse is an error, not a
// zero).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace simhost::text {

// Blanks as the simulator's files have them; looked up rather than
// compared six times, as the readers split every word of a hundred
// thousand vessels' lines.
inline constexpr auto kBlanks = [] {
  std::array<bool, 256> table{};
  for (unsigned char c : {' ', '\t', '\r', '\n', '\f', '\v'}) table[c] = true;
  return table;
}();
inline bool blank(char c) { return kBlanks[static_cast<unsigned char>(c)]; }

// Inline: every line of a scenario is trimmed, most of them more than once.
inline std::string_view trim(std::string_view s) {
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// The first line of rest, trimmed, taken off rest with its '\n'.
inline std::string_view takeLine(std::string_view &rest) {
  const size_t end = std::min(rest.find('\n'), rest.size());
  const std::string_view line = trim(rest.substr(0, end));
  rest.remove_prefix(std::min(end + 1, rest.size()));
  return line;
}

// n bytes, sizeof(Word) to twice that, as two words that may overlap.
template <typename Word>
void copyAsTwoWords(char *to, const char *from, size_t n) {
  Word head, tail;
  std::memcpy(&head, from, sizeof head);
  std::memcpy(&tail, from + n - sizeof tail, sizeof tail);
  std::memcpy(to, &head, sizeof head);
  std::memcpy(to + n - sizeof tail, &tail, sizeof tail);
}

// Copies a piece into room made for it and returns where it ends: a saved
// line or an account is put together from millions of pieces of a few
// characters, which two overlapping word copies move for less than a call.
inline char *copyPiece(char *to, std::string_view piece) {
  const size_t n = piece.size();
  if (n >= 16)
    std::memcpy(to, piece.data(), n);
  else if (n >= 8)
    copyAsTwoWords<std::uint64_t>(to, piece.data(), n);
  else if (n >= 4)
    copyAsTwoWords<std::uint32_t>(to, piece.data(), n);
  else
    for (size_t i = 0; i < n; ++i) to[i] = piece[i];
  return to + n;
}

// The bytes among eight that equal c, as the top bit of each: a byte
// equals c where its difference from c is zero, and a byte is zero where
// neither its low seven bits nor its top bit are set. Eight bytes are
// looked at in a step where a scenario has millions to look at.
inline std::uint64_t bytesEqualTo(std::uint64_t eight, char c) {
  constexpr std::uint64_t kLow7 = 0x7f7f7f7f7f7f7f7full;
  const std::uint64_t x = eight ^ (0x0101010101010101ull * static_cast<unsigned char>(c));
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

std::string lower(std::string_view s);
// Texts of one size, compared without regard to case.
bool iequalsSameSize(std::string_view a, std::string_view b);
// Inline: the readers ask it of every key of every line, and the sizes
// mostly differ.
inline bool iequals(std::string_view a, std::string_view b) { return a.size() == b.size() && iequalsSameSize(a, b); }
bool istartsWith(std::string_view s, std::string_view prefix);
// Blank-separated words.
std::vector<std::string_view> words(std::string_view s);
// The first blank-separated word; empty when there is none. Most of the
// readers' keys need no more than this.
std::string_view firstWord(std::string_view s);
// The first few blank-separated words of a text, without allocating: what
// the readers of a hundred thousand vessel lines need. size() counts all the
// words, also those beyond the first kKept.
class FirstWords {
public:
  static constexpr size_t kKept = 3;
  explicit FirstWords(std::string_view s);
  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  // The word at i, below kKept; empty beyond the words there are.
  std::string_view operator[](size_t i) const { return i < kKept ? word_[i] : std::string_view(); }

private:
  std::string_view word_[kKept];
  size_t count_ = 0;
};
// One decimal number, the whole text; false when it is not one or not finite.
bool parseNumber(std::string_view s, double &value);
// One integer (decimal, or 0x hexadecimal), the whole text.
bool parseInteger(std::string_view s, long long &value);
// Exactly n numbers separated by blanks.
bool parseNumbers(std::string_view s, double *values, int n);
// A double written so that reading it back gives the same value, without an
// exponent and with at least one decimal ("300.0", "0.1", "1234.5677490234375").
std::string formatRoundTrip(double d);

// Case-insensitive hashing for tables keyed by names.
struct NoCaseHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const;
};
struct NoCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return iequals(a, b); }
};

// Case-insensitive ordering for maps keyed by names; looks up by any text
// without making a key.
struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

}  // namespace simhost::text
