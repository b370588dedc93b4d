// A small writer of SVG text for the site map: elements with attributes,
// text escaped for XML, numbers written short.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

namespace simhost::command::svg {

// Text for XML character data and attribute values.
std::string escape(const std::string &text);
// A coordinate or length: at most two decimals, no trailing zeros.
std::string num(double value);

using Attribute = std::pair<const char *, std::string>;

// <name a="v" .../> and <name a="v">text</name>, text escaped.
std::string element(const char *name, std::initializer_list<Attribute> attributes);
std::string element(const char *name, std::initializer_list<Attribute> attributes, const std::string &text);
// An opening tag of a group of elements.
std::string open(const char *name, std::initializer_list<Attribute> attributes);

}  // namespace simhost::command::svg
