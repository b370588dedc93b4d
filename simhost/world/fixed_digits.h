// A number in fixed decimals, digit for digit as printf's "%.*f" writes it:
// the saved scenario's places and headings and every number the commands
// show take it from here. A world of a hundred thousand vessels writes
// millions of them, so the common cases are done in plain doubles or whole
// numbers rather than by the general algorithm.
#pragma once

#include <string>

namespace simhost::text {

// Adds value with decimals digits after the point to the end of out, "-0.0"
// and "inf" included, as printf would.
void appendPrintfFixed(std::string &out, double value, int decimals);
// The same without a "-0.0" for a value that rounds to zero: one value is
// written one way.
void appendFixed(std::string &out, double value, int decimals);

}  // namespace simhost::text
