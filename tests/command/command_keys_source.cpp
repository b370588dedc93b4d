// The simhost command's keys.cpp, compiled into this test program so that it
// can be tested as functions; the executable itself is tested by running it.
#include "command/keys.cpp"
