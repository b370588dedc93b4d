#include "world/text.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace simhost::text {

namespace {

// Calls take(word) for each blank-separated word until it answers false;
// false when it did.
template <typename Take>
bool forEachWord(std::string_view s, Take take) {
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && blank(s[i])) ++i;
    const size_t start = i;
    while (i < s.size() && !blank(s[i])) ++i;
    if (i > start && !take(s.substr(start, i - start))) return false;
  }
  return true;
}

// The "C" locale's tolower, without the call: only A-Z change.
char lowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::string lower(std::string_view s) {
  std::string r(s);
  for (char &c : r) c = lowerChar(c);
  return r;
}

bool iequalsSameSize(std::string_view a, std::string_view b) {
  // Names and keys are mostly written as the other side spells them.
  if (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0) return true;
  for (size_t i = 0; i < a.size(); ++i)
    if (lowerChar(a[i]) != lowerChar(b[i])) return false;
  return true;
}

bool NoCaseLess::operator()(std::string_view a, std::string_view b) const {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = static_cast<unsigned char>(lowerChar(a[i])), y = static_cast<unsigned char>(lowerChar(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

bool istartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && iequals(s.substr(0, prefix.size()), prefix);
}

std::string_view firstWord(std::string_view s) {
  size_t start = 0;
  while (start < s.size() && blank(s[start])) ++start;
  size_t end = start;
  while (end < s.size() && !blank(s[end])) ++end;
  return s.substr(start, end - start);
}

FirstWords::FirstWords(std::string_view s) {
  forEachWord(s, [this](std::string_view word) {
    if (count_ < kKept) word_[count_] = word;
    ++count_;
    return true;
  });
}

std::vector<std::string_view> words(std::string_view s) {
  std::vector<std::string_view> out;
  forEachWord(s, [&out](std::string_view word) {
    out.push_back(word);
    return true;
  });
  return out;
}

bool parseNumber(std::string_view s, double &value) {
  s = trim(s);
  if (s.empty()) return false;
  if (s.front() == '+') s.remove_prefix(1);
  double v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

bool parseInteger(std::string_view s, long long &value) {
  s = trim(s);
  if (s.empty()) return false;
  bool negative = false;
  if (s.front() == '+' || s.front() == '-') {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  unsigned long long v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
  if (ec != std::errc() || end != s.data() + s.size() || v > 0x7fffffffffffffffULL) return false;
  value = negative ? -static_cast<long long>(v) : static_cast<long long>(v);
  return true;
}

bool parseNumbers(std::string_view s, double *values, int n) {
  int found = 0;
  const bool read = forEachWord(s, [&](std::string_view word) {
    return found < n && parseNumber(word, values[found++]);
  });
  return read && found == n;
}

std::string formatRoundTrip(double d) {
  if (!std::isfinite(d)) return "0.0";
  if (d == 0) d = 0;  // no "-0.0"
  char buf[400];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed);
  if (ec != std::errc()) return "0.0";
  std::string s(buf, end);
  if (s.find('.') == std::string::npos) s += ".0";
  return s;
}

// Eight characters at a time, each A-Z made a-z without a branch (a name
// is hashed for every lookup, insertion and removal of a big world's table
// of names), then mixed so that every character reaches the low bits the
// table's slot is taken from; folded to size_t in a 32-bit build.
size_t NoCaseHash::operator()(std::string_view s) const {
  constexpr uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
  auto lowered = [](uint64_t x) {
    const uint64_t seven = x & ~kHighs;
    const uint64_t fromA = seven + (0x80 - 'A') * kOnes;      // high bit: at least 'A'
    const uint64_t pastZ = seven + (0x80 - 'Z' - 1) * kOnes;  // high bit: beyond 'Z'
    const uint64_t upper = fromA & ~pastZ & ~x & kHighs;
    return x | (upper >> 2);
  };
  uint64_t h = 0x9E3779B97F4A7C15ULL ^ s.size();
  size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, s.data() + i, 8);
    h = (h ^ lowered(word)) * 0xFF51AFD7ED558CCDULL;
    h ^= h >> 32;
  }
  if (i < s.size()) {
    uint64_t word = 0;
    std::memcpy(&word, s.data() + i, s.size() - i);
    h = (h ^ lowered(word)) * 0xFF51AFD7ED558CCDULL;
  }
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ULL;
  h ^= h >> 33;
  return static_cast<size_t>(h ^ (h >> 32));
}

}  // namespace simhost::text
