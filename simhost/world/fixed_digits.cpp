#include "world/fixed_digits.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace simhost::text {

namespace {

#ifdef __SIZEOF_INT128__
constexpr int kMostDecimals = 18;
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
#endif

// printf's digits for the common case, in whole numbers: a double is an
// integer times a power of two, so value * 10^decimals rounds exactly as
// printf rounds it (to the nearest, ties to even) without the general
// algorithm's long arithmetic. False, with nothing written, for a value
// not finite or of 2^53 or more, more than 18 decimals, or digits that do
// not fit in 64 bits.
bool appendSmallFixed(std::string &out, double value, int decimals) {
#ifndef __SIZEOF_INT128__
  // A 32-bit target has no 128-bit integers: the general algorithm does it.
  (void)out, (void)value, (void)decimals;
  return false;
#else
  if (decimals < 0 || decimals > kMostDecimals || !(std::fabs(value) < 0x1p53)) return false;
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
  uint64_t part = units - whole * kPowersOfTen[decimals];
  char buffer[48];
  char *end = buffer;
  if (std::signbit(value)) *end++ = '-';
  end = std::to_chars(end, buffer + sizeof buffer, whole).ptr;
  if (decimals > 0) {
    *end++ = '.';
    char *digits = end;
    end += decimals;
    char *d = end;
    // Two digits a step, from the last.
    for (; d - digits >= 2; part /= 100) {
      d -= 2;
      std::memcpy(d, kDigitPairs + 2 * (part % 100), 2);
    }
    if (d != digits) *--d = static_cast<char>('0' + part % 10);
  }
  out.append(buffer, static_cast<size_t>(end - buffer));
  return true;
#endif
}

}  // namespace

void appendPrintfFixed(std::string &out, double value, int decimals) {
  if (appendSmallFixed(out, value, decimals)) return;
  // std::to_chars rounds as printf does and spells infinities and NaNs
  // alike.
  char buffer[128];
  const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (r.ec == std::errc()) {
    out.append(buffer, static_cast<size_t>(r.ptr - buffer));
    return;
  }
  // Too long for the buffer: up to 309 digits before the point.
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
