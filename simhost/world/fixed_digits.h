// A number in fixed decimals, digit for digit as printf's "%.*f" writes it:
// the saved scenario's places and headings and every number the commands
// show take it from here. A world of a hundred thousand vessels writes
// millions of them, so the common cases are done in plain doubles or whole
// numbers rather than by the general algorithm.
#pragma once

#include <cstddef>
#include <string>

namespace simhost::text {

// The most decimals writePrintfFixed takes (every power of ten up to 10^18
// is exact as a double), and the room it may need: the longest double
// has 309 digits before the point.
constexpr int kMostFixedDecimals = 18;
constexpr size_t kFixedRoom = 336;

// Writes value with decimals (0 to kMostFixedDecimals) digits after the
// point at to, which has kFixedRoom bytes of room, as printf would; returns
// the end. An account of a big world writes millions of numbers into room
// of its own.
char *writePrintfFixed(char *to, double value, int decimals);

// Adds value with decimals digits after the point to the end of out, "-0.0"
// and "inf" included, as printf would.
void appendPrintfFixed(std::string &out, double value, int decimals);
// The same without a "-0.0" for a value that rounds to zero: one value is
// written one way.
void appendFixed(std::string &out, double value, int decimals);

}  // namespace simhost::text
