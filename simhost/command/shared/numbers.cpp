#include "shared/numbers.h"

#include "world/fixed_digits.h"

namespace simhost::command {

void appendPrintf(std::string &text, double value, int decimals) { text::appendPrintfFixed(text, value, decimals); }

void appendFixed(std::string &text, double value, int decimals) { text::appendFixed(text, value, decimals); }

void appendTrimmed(std::string &text, double value, int maxDecimals) {
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
