// Numbers as the commands write them for people: the timeline, the account
// of `simhost show`, the map's labels and coordinates all take them from
// here, so that one value reads the same wherever it is shown.
#pragma once

#include <string>

namespace simhost::command {

// Fixed decimals without a "-0.0" for values that round to zero.
std::string fixed(double value, int decimals);

// Up to maxDecimals decimals, trailing zeros dropped: "4000", "0.1", "75.5".
std::string trimmed(double value, int maxDecimals);

// The same, added to the end of text: an account of a world of a hundred
// thousand vessels writes a million numbers, without a string apiece.
void appendFixed(std::string &text, double value, int decimals);
void appendTrimmed(std::string &text, double value, int maxDecimals);

}  // namespace simhost::command
