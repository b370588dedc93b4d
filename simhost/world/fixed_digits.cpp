#include "world/fixed_digits.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "world/text.h"

namespace simhost::text {

namespace {

constexpr int kMostDecimals = kMostFixedDecimals;
constexpr auto kPowersOfTen = [] {
  std::array<uint64_t, kMostDecimals + 1> powers{};
  uint64_t p = 1;
  for (uint64_t &power : powers) power = std::exchange(p, p * 10);
  return powers;
}();

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The eight digits of a number below 10^8, leading zeros included: two
// halves and four pairs, none waiting on the one before.
inline void writeEightDigits(uint32_t n, char *to) {
  const uint32_t high = n / 10000, low = n % 10000;
  std::memcpy(to, kDigitPairs + 2 * (high / 100), 2);
  std::memcpy(to + 2, kDigitPairs + 2 * (high % 100), 2);
  std::memcpy(to + 4, kDigitPairs + 2 * (low / 100), 2);
  std::memcpy(to + 6, kDigitPairs + 2 * (low % 100), 2);
}

// A number's digits, as they end its buffer.
struct Digits {
  char buffer[48];
  const char *start = buffer + sizeof buffer;
  std::string_view text() const { return {start, static_cast<size_t>(buffer + sizeof buffer - start)}; }
};

// The digits of a number split at its point, |value| = whole + part /
// 10^decimals. Right to left, each digit stored once: the decimals end the
// buffer (a chunk's leading zeros fill what lies before them), then the
// point, the whole part and the sign.
inline void setDigits(Digits &digits, bool negative, uint64_t whole, uint64_t part, int decimals) {
  char *const end = digits.buffer + sizeof digits.buffer;
  char *start = end - decimals;
  if (decimals > 2) {
    for (char *chunk = end - 8; chunk + 8 > start; chunk -= 8, part /= 100000000)
      writeEightDigits(static_cast<uint32_t>(part % 100000000), chunk);
  } else if (decimals > 0) {  // a distance or a mass: a pair, its first digit unused for one decimal
    std::memcpy(end - 2, kDigitPairs + 2 * part, 2);
  }
  if (decimals > 0) *--start = '.';
  for (; whole >= 100; whole /= 100) {
    start -= 2;
    std::memcpy(start, kDigitPairs + 2 * (whole % 100), 2);
  }
  if (whole >= 10) {
    start -= 2;
    std::memcpy(start, kDigitPairs + 2 * whole, 2);
  } else {
    *--start = static_cast<char>('0' + whole);
  }
  if (negative) *--start = '-';
  digits.start = start;
}

// The usual number, a place or a heading, in plain double arithmetic: the
// product with the power of ten is within a quarter of a thousandth of the
// exact one below 2^42, so it rounds as the exact one does unless it lies
// that close to a half. False for any other value.
inline bool plainDigits(Digits &digits, double value, int decimals) {
  // Every power of ten up to 10^18 is exact as a double.
  const double magnitude = std::fabs(value);
  const double scaled = magnitude * static_cast<double>(kPowersOfTen[decimals]);
  if (!(scaled < 0x1p42)) return false;
  const auto truncated = static_cast<uint64_t>(scaled);
  const double fraction = scaled - static_cast<double>(truncated);
  if (std::fabs(fraction - 0.5) <= 0x1p-10) return false;
  const uint64_t units = truncated + (fraction > 0.5 ? 1 : 0);
  // Rounding may carry into the whole part: 9.96 to one decimal is 10.0.
  uint64_t whole = static_cast<uint64_t>(magnitude);
  uint64_t part = units - whole * kPowersOfTen[decimals];
  if (part >= kPowersOfTen[decimals]) {
    ++whole;
    part -= kPowersOfTen[decimals];
  }
  setDigits(digits, std::signbit(value), whole, part, decimals);
  return true;
}

// printf's digits for the common case, in whole numbers: a double is an
// integer times a power of two, so value * 10^decimals rounds exactly as
// printf rounds it (to the nearest, ties to even) without the general
// algorithm's long arithmetic. False for a value not finite or of 2^53 or
// more, or digits that do not fit in 64 bits.
bool smallDigits(Digits &digits, double value, int decimals) {
#ifndef __SIZEOF_INT128__
  // A 32-bit target has no 128-bit integers: the general algorithm does it.
  (void)digits, (void)value, (void)decimals;
  return false;
#else
  if (!(std::fabs(value) < 0x1p53)) return false;
  const uint64_t bits = std::bit_cast<uint64_t>(value);
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
  // |value| = mantissa * 2^exponent
  const uint64_t mantissa = biased == 0 ? fraction : fraction | (uint64_t{1} << 52);
  const int exponent = (biased == 0 ? 1 : biased) - 1075;
  // Below 2^113: the mantissa is below 2^53 and the power below 2^60.
  const unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * kPowersOfTen[decimals];
  unsigned __int128 rounded = 0;  // |value| * 10^decimals, to the nearest
  if (exponent >= 0) {
    rounded = scaled << exponent;  // the value is below 2^53: still below 2^113
  } else if (exponent > -120) {  // further down, what is left is below one half
    const int shift = -exponent;
    rounded = scaled >> shift;
    const unsigned __int128 rest = scaled & ((static_cast<unsigned __int128>(1) << shift) - 1);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    if (rest > half || (rest == half && (rounded & 1) != 0)) ++rounded;
  }
  if ((rounded >> 64) != 0) return false;
  const uint64_t units = static_cast<uint64_t>(rounded);
  const uint64_t whole = units / kPowersOfTen[decimals];
  setDigits(digits, std::signbit(value), whole, units - whole * kPowersOfTen[decimals], decimals);
  return true;
#endif
}

// The digits of the common cases; false for the general algorithm's. The
// decimals of a distance (1), a heading (6) and a place as shown (7) and as
// saved (10) each have a copy of their own, their power of ten and their
// chunks of eight known: a save or an account writes millions of them.
inline bool fastDigits(Digits &digits, double value, int decimals) {
  const auto fast = [&digits, value](int known) {
    return plainDigits(digits, value, known) || smallDigits(digits, value, known);
  };
  switch (decimals) {
    case 1:
      return fast(1);
    case 6:
      return fast(6);
    case 7:
      return fast(7);
    case 10:
      return fast(10);
    default:
      return decimals >= 0 && decimals <= kMostDecimals && fast(decimals);
  }
}

}  // namespace

char *writePrintfFixed(char *to, double value, int decimals) {
  Digits digits;
  if (fastDigits(digits, value, decimals)) return copyPiece(to, digits.text());
  // std::to_chars rounds as printf does and spells infinities and NaNs
  // alike. The room holds the longest: 309 digits, the point, the
  // decimals and the sign.
  return std::to_chars(to, to + kFixedRoom, value, std::chars_format::fixed, decimals).ptr;
}

void appendPrintfFixed(std::string &out, double value, int decimals) {
  Digits digits;
  if (fastDigits(digits, value, decimals)) {
    out += digits.text();
    return;
  }
  if (decimals >= 0 && decimals <= kMostFixedDecimals) {
    char room[kFixedRoom];
    out.append(room, static_cast<size_t>(writePrintfFixed(room, value, decimals) - room));
    return;
  }
  // More decimals than a double holds: the general algorithm, in room
  // for up to 309 digits before the point.
  std::vector<char> wide(320 + static_cast<size_t>(std::max(decimals, 0)));
  const std::to_chars_result w = std::to_chars(wide.data(), wide.data() + wide.size(), value, std::chars_format::fixed, decimals);
  out.append(wide.data(), static_cast<size_t>(w.ptr - wide.data()));
}

void appendFixed(std::string &out, double value, int decimals) {
  const size_t start = out.size();
  appendPrintfFixed(out, value, decimals);
  if (out[start] == '-' && out.find_first_not_of("0.", start + 1) == std::string::npos) out.erase(start, 1);
}

}  // namespace simhost::text
