#include "pictures/svg.h"

#include <cmath>
#include <cstdio>

#include "shared/numbers.h"

namespace simhost::command::svg {

std::string escape(const std::string &text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // Control characters are not allowed in XML 1.0.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') out += c;
    }
  }
  return out;
}

std::string num(double value) { return std::isfinite(value) ? trimmed(value, 2) : "0"; }

namespace {

std::string tag(const char *name, std::initializer_list<Attribute> attributes) {
  std::string s = std::string("<") + name;
  for (const auto &[key, value] : attributes) s += std::string(" ") + key + "=\"" + escape(value) + "\"";
  return s;
}

}  // namespace

std::string element(const char *name, std::initializer_list<Attribute> attributes) {
  return tag(name, attributes) + "/>\n";
}

std::string element(const char *name, std::initializer_list<Attribute> attributes, const std::string &text) {
  return tag(name, attributes) + ">" + escape(text) + "</" + name + ">\n";
}

std::string open(const char *name, std::initializer_list<Attribute> attributes) {
  return tag(name, attributes) + ">\n";
}

}  // namespace simhost::command::svg
