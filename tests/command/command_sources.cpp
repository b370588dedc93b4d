// The simhost command's own sources, compiled into this test program so the
// parsing and formatting can be tested as functions; main.cpp stays out, the
// executable is tested by running it (run_test.cpp).
#include "command/keys.cpp"
#include "command/plan.cpp"
#include "command/run.cpp"
#include "command/script.cpp"
#include "command/timeline.cpp"
