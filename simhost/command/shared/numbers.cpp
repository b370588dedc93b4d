#include "shared/numbers.h"

#include <charconv>
#include <cmath>

#include "world/fixed_digits.h"

namespace simhost::command {

void appendFixed(std::string &text, double value, int decimals) { text::appendFixed(text, value, decimals); }

void appendTrimmed(std::string &text, double value, int maxDecimals) {
  // Masses and counts are mostly whole: their digits need no decimals to
  // drop. Below 2^53 every such value is an exact integer.
  if (value == std::trunc(value) && std::fabs(value) < 0x1p53) {
    char digits[24];
    const auto whole = static_cast<long long>(value);  // -0.0 becomes 0
    text.append(digits, static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, whole).ptr - digits));
    return;
  }
  const size_t start = text.size();
  appendFixed(text, value, maxDecimals);
  if (text.find('.', start) != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
}

std::string fixed(double value, int decimals) {
  std::string s;
  appendFixed(s, value, decimals);
  return s;
}

std::string trimmed(double value, int maxDecimals) {
  std::string s;
  appendTrimmed(s, value, maxDecimals);
  return s;
}

}  // namespace simhost::command
